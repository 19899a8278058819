// The list box, its header and the drop hint as the list rebuild sees them; the window
// implements it, tests record it.
#pragma once

#include <string>

namespace pixmora {

class FileListView {
public:
    virtual ~FileListView() = default;

    virtual void ClearItems() = 0;
    virtual void AddItem(const std::string& text) = 0;
    virtual int ItemCount() const = 0;
    // Selects a line from the program: runs no click handler.
    virtual void SelectItem(int index) = 0;
    virtual void SetHeaderText(const std::string& text) = 0;
    virtual void SetDropHintVisible(bool visible) = 0;
    // What a click on the list does (the preview of the selected line); may throw.
    virtual void ListClicked() = 0;
};

}  // namespace pixmora
