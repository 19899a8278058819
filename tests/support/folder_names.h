// The names in a folder, for tests that check what a run left behind.
#pragma once

#include <string>
#include <vector>

namespace pixmora::test {

// The names of the entries of folder, sorted; none when the folder is not there.
std::vector<std::string> NamesIn(const std::string& folder);

}  // namespace pixmora::test
