// The program's name, version and the addresses on the maker's web site.
#pragma once

#include <string>

namespace pixmora {

inline constexpr char kAppName[] = "Pixmora";
inline constexpr char kAppVersion[] = "V2.0";
inline constexpr char kContactAddress[] = "contact@tolvek.example";

// Host chosen at build time (PIXMORA_SITE_HOST), so no build talks to a host the maker does
// not own.
std::string SiteHost();
std::string VersionFileUrl();  // http://HOST/tolvek/Pixmora/Pixmora.ver
std::string DownloadUrl();     // http://HOST/tolvek/Pixmora/Pixmora.exe
std::string SiteUrl();         // http://HOST/software/index.html

}  // namespace pixmora
