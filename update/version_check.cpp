// Version comparison, age rule and the update check that combines them.
#include "update/version_check.h"

#include "update/app_identity.h"
#include "update/program_file.h"
#include "update/update_texts.h"

namespace pixmora {

namespace {
constexpr std::size_t kVersionLength = 4;
constexpr long kDaysBeforeStale = 20;
}  // namespace

VersionFetch FetchLatestVersion(HttpClient& client, std::string_view version_file_url) {
    VersionFetch fetch;
    try {
        std::string body;
        try {
            client.Get(version_file_url, body);
        } catch (...) {
            // No network, an error status or a broken connection: there is simply no news,
            // but a body cut short still tells the version.
            fetch.failure = std::current_exception();
        }
        if (body.empty()) return fetch;
        fetch.latest_version = body.substr(0, kVersionLength);
        fetch.fetched = true;
    } catch (...) {
        // Out of memory while taking the version: no news either.
        fetch = VersionFetch{};
        fetch.failure = std::current_exception();
    }
    return fetch;
}

bool VersionsDiffer(const std::string& latest_version, const std::string& current_version) {
    return !latest_version.empty() && !current_version.empty() && latest_version != current_version;
}

bool IsStale(const PackedFileTime& written, const CivilDate& today) {
    return DayNumber(today) - DayNumber(written.date) > kDaysBeforeStale;
}

UpdateCheckInputs RunningProgramUpdateCheckInputs() {
    return {kAppName, kAppVersion, VersionFileUrl(), RunningProgramFile(), LocalToday()};
}

UpdateCheckResult FinishUpdateCheck(const UpdateCheckInputs& inputs, const VersionFetch& fetch) {
    UpdateCheckResult result;
    result.fetched = fetch.fetched;
    result.latest_version = fetch.latest_version;
    result.differs =
        result.fetched && VersionsDiffer(result.latest_version, inputs.current_version);
    // The age is read only once the request is over, whatever it brought.
    result.stale = IsStale(ProgramFileTime(inputs.program_file), inputs.today);
    result.show_dialog = result.differs || result.stale;
    if (result.show_dialog)
        result.message =
            UpdateMessage(inputs.app_name, inputs.current_version, result.latest_version);
    return result;
}

UpdateCheckResult CheckForUpdate(HttpClient& client, const UpdateCheckInputs& inputs) {
    return FinishUpdateCheck(inputs, FetchLatestVersion(client, inputs.version_file_url));
}

}  // namespace pixmora
