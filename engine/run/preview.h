// The preview of the selected list line: its measures before, and after a resize at the
// current ratio, with the encoded size taken from a temporary file in the data folder.
#pragma once

#include <string>
#include <vector>

#include "engine/run/batch_view.h"
#include "engine/files/file_entry.h"

namespace pixmora {

inline constexpr char kPreviewFileName[] = "jpg_tmp.jpg";

// Failures in showing or loading the selected file reach the caller (the window shows them);
// failures of the resize and of the temporary file are silent. Without a data folder the
// temporary file is not written.
void PreviewFile(const std::vector<TListe_File>& files, BatchView& view,
                 const std::string& data_dir);

}  // namespace pixmora
