#include "update/app_identity.h"

namespace pixmora {

std::string SiteHost() { return PIXMORA_SITE_HOST; }
std::string VersionFileUrl() { return "http://" + SiteHost() + "/tolvek/Pixmora/Pixmora.ver"; }
std::string DownloadUrl() { return "http://" + SiteHost() + "/tolvek/Pixmora/Pixmora.exe"; }
std::string SiteUrl() { return "http://" + SiteHost() + "/software/index.html"; }

}  // namespace pixmora
