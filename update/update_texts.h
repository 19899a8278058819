// The texts of the update dialog. Lines are separated by CR alone (byte 13), never by LF.
#pragma once

#include <string>

namespace pixmora {

inline constexpr char kUpdateYesCaption[] = "Check update now ...";
inline constexpr char kUpdateNoCaption[] = "No, I will do it later...";
inline constexpr char kUpdateCaption[] = "Update ...";

// Shown when only the age of the program file speaks for an update.
std::string OutOfDateText(const std::string& app_name);
// Shown when a different version is published.
std::string NewVersionText(const std::string& app_name, const std::string& current_version,
                           const std::string& latest_version);
// NewVersionText when both versions are known and differ, otherwise OutOfDateText.
std::string UpdateMessage(const std::string& app_name, const std::string& current_version,
                          const std::string& latest_version);

}  // namespace pixmora
