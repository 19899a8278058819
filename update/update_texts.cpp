// Update dialog texts.
#include "update/update_texts.h"

#include "update/version_check.h"

namespace pixmora {

namespace {
constexpr char kCr[] = "\r";
}

std::string OutOfDateText(const std::string& app_name) {
    return std::string("Your application :") + kCr + app_name + kCr +
           " may be out of date and you could miss the benefit of new functions !" + kCr +
           "Do you want to proceed to check the latest version of this application ?";
}

std::string NewVersionText(const std::string& app_name, const std::string& current_version,
                           const std::string& latest_version) {
    return "Your version " + current_version + " of " + app_name + " is out of date !" + kCr +
           "Actual version available : " + latest_version + kCr +
           "You could miss the benefit of new functions and fixed issues !" + kCr +
           "Proceed to download this new application version ...";
}

std::string UpdateMessage(const std::string& app_name, const std::string& current_version,
                          const std::string& latest_version) {
    if (VersionsDiffer(latest_version, current_version))
        return NewVersionText(app_name, current_version, latest_version);
    return OutOfDateText(app_name);
}

}  // namespace pixmora
