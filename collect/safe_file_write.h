// Reading a small file whole, and replacing its contents so that a crash never leaves a
// half-written file behind.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pixmora {

// The file's bytes; "" when it does not exist; nothing when it exists but cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Writes `bytes` to a new file beside `path` and renames it over `path`, keeping the old
// file's permissions. A symbolic link is followed, so the link stays and its target is
// replaced. Fails without touching anything when the folder does not exist or cannot be
// written, or when the existing file is read-only (owner write bit clear, which holds for
// root too).
bool ReplaceFileContents(const std::string& path, std::string_view bytes);

}  // namespace pixmora
