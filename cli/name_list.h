// The names of a list given to --files-from: one per line, or separated by NUL characters
// as `find -print0` writes them.
#pragma once

#include <istream>
#include <string>
#include <vector>

namespace pixmora {

// Every name of in, in order; empty names are skipped.
std::vector<std::string> ReadNameList(std::istream& in, char separator);

}  // namespace pixmora
