// What the user's regional settings say about numbers.
#pragma once

#include <string>

namespace pixmora {

// The decimal separator of the user's LC_NUMERIC settings (from the environment, whatever
// the process-wide C locale is); "." when they cannot be read.
std::string UserDecimalSeparator();

}  // namespace pixmora
