// How many files a run works on at once by default: one per online core.
#pragma once

namespace pixmora {

int OnlineCores();

}  // namespace pixmora
