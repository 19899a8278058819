// How the program's error box words a failure's message.
#pragma once

#include <string>

namespace pixmora {

// The message with a full stop added when its last character's code is greater than that of
// the full stop (a message ending in punctuation keeps it).
inline std::string WithFinalStop(std::string text) {
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
    return text;
}

}  // namespace pixmora
