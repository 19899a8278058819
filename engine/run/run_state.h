// The state of the batch run that the window keeps between its handlers.
#pragma once

#include <cstdint>

namespace pixmora {

struct RunState {
    int32_t FileCount = 0;       // entries of the run under way
    bool StopRequested = false;  // set by Stop; the run ends after the file in progress
};

}  // namespace pixmora
