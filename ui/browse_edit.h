// The folder box: a flat one-line text with a browse button at its right end that opens the
// folder picker.
#pragma once

#include <functional>

#include <QLineEdit>

class QToolButton;

namespace pixmora {

// Shows the folder picker over `parent`, starting at `start` when it is not empty; returns
// the chosen folder, or an empty string when the user cancelled.
using FolderPicker = std::function<QString(QWidget* parent, const QString& start)>;

// A picked folder as the box shows it: blanks around it removed, no trailing "/" except
// for the root folder itself.
QString PickedFolderText(const QString& picked);

class TBrowseEdit : public QLineEdit {
    Q_OBJECT
public:
    static constexpr int kButtonWidth = 18;

    explicit TBrowseEdit(QWidget* parent = nullptr);

    QString Path() const { return text(); }
    // The text unchanged; its start is what the box shows.
    void SetPath(const QString& path);

    // Replaces the system folder picker (tests).
    void SetFolderPicker(FolderPicker picker) { picker_ = std::move(picker); }

    QToolButton* BrowseButton() const { return button_; }

    // What the browse button does: focus, picker, new text when confirmed, then OnBrowse.
    void Browse();

signals:
    // The folder picker has closed, confirmed or cancelled. Typing never raises it.
    void OnBrowse();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* button_;
    FolderPicker picker_;
};

}  // namespace pixmora
