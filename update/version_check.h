// The update check without any window: fetch the published version, compare it with the
// running one, look at the program file's age, and decide whether to offer the download
// and with which text.
#pragma once

#include <exception>
#include <filesystem>
#include <string>
#include <string_view>

#include "update/http_client.h"
#include "update/packed_file_time.h"

namespace pixmora {

// What one request for the version file brought.
struct VersionFetch {
    bool fetched = false;        // at least one body byte arrived
    std::string latest_version;  // its first four bytes (all when fewer); empty unless fetched
    // How the request failed (one of update/http_errors.h), null when it succeeded. A body
    // cut short by the failure still counts as fetched; one cut by the client's time or size
    // limit never arrives (HttpClient::Get).
    std::exception_ptr failure;
};

// Gets `version_file_url` and takes the first four bytes of whatever body arrived, even when
// the request failed part way. Never throws: the failure is only kept in the result.
VersionFetch FetchLatestVersion(HttpClient& client, std::string_view version_file_url);

// Both known and not the same bytes (case and length count).
bool VersionsDiffer(const std::string& latest_version, const std::string& current_version);

// Stale from the 21st calendar day after the day the file was written, whatever the hour.
bool IsStale(const PackedFileTime& written, const CivilDate& today);

struct UpdateCheckInputs {
    std::string app_name;
    std::string current_version;
    std::string version_file_url;
    std::filesystem::path program_file;
    CivilDate today;
};

// The running program's values: its name and version, the version file address, its own
// executable and the local date of today.
UpdateCheckInputs RunningProgramUpdateCheckInputs();

struct UpdateCheckResult {
    bool fetched = false;
    std::string latest_version;
    bool differs = false;
    bool stale = false;
    bool show_dialog = false;  // differs or stale
    std::string message;       // the dialog's text (CR-separated lines) when it is shown
};

// The steps after the fetch, for a fetch made elsewhere (on another thread): *differs*, the
// program file's age, read now, and the dialog's text. A program file whose time cannot be
// read throws ProgramFileTimeError for the caller to report.
UpdateCheckResult FinishUpdateCheck(const UpdateCheckInputs& inputs, const VersionFetch& fetch);

// Fetches on the calling thread, then FinishUpdateCheck. Request failures never throw.
UpdateCheckResult CheckForUpdate(HttpClient& client, const UpdateCheckInputs& inputs);

}  // namespace pixmora
