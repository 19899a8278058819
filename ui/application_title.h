// The title the desktop shows for the application (its taskbar entry, message boxes).
#pragma once

#include <QString>

namespace pixmora {

// The executable's file name without its folder, cut at its first ".", every character
// after the first in lower case: "/usr/bin/Pixmora.bin" gives "Pixmora".
QString ApplicationTitle(const QString& executable_path);

}  // namespace pixmora
