// The four small settings-file operations; each opens the file, does its one job and closes
// it, and swallows every failure.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pixmora {

// Read with create: a key missing from the file is first written with the default text
// ("" for a string, "0" for an integer), then read. When that write fails, or the file
// cannot be read, the default comes back without the file being read. An empty `file`
// means there is no settings file: every operation then fails silently.
std::string IniReadString(const std::string& file, std::string_view section, std::string_view key);
int32_t IniReadInteger(const std::string& file, std::string_view section, std::string_view key);

void IniWriteString(const std::string& file, std::string_view section, std::string_view key,
                    std::string_view value);
void IniWriteInteger(const std::string& file, std::string_view section, std::string_view key,
                     int32_t value);

}  // namespace pixmora
