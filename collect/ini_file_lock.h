// The advisory lock that makes a load, change and save of the settings file one step, so
// that two copies of the program never lose each other's keys.
#pragma once

#include <string>

namespace pixmora {

// Holds an exclusive flock on "<file>.lock", beside the settings file, while alive; waits
// for another holder to let go. Where no lock file can be opened (a folder that cannot be
// written), nothing is held: reads still work there and saves fail anyway.
class IniFileLock {
public:
    explicit IniFileLock(const std::string& file);
    ~IniFileLock();
    IniFileLock(const IniFileLock&) = delete;
    IniFileLock& operator=(const IniFileLock&) = delete;

private:
    int fd_ = -1;
};

}  // namespace pixmora
