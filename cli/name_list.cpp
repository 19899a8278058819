// Splitting a list of names.
#include "cli/name_list.h"

namespace pixmora {

std::vector<std::string> ReadNameList(std::istream& in, char separator) {
    std::vector<std::string> names;
    for (std::string name; std::getline(in, name, separator);) {
        if (!name.empty()) names.push_back(std::move(name));
    }
    return names;
}

}  // namespace pixmora
