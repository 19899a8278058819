// The cores the system runs this process on.
#include "engine/run/online_cores.h"

#include <thread>

namespace pixmora {

int OnlineCores() {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : static_cast<int>(cores);
}

}  // namespace pixmora
