// The application's title.
#include "ui/application_title.h"

namespace pixmora {

QString ApplicationTitle(const QString& executable_path) {
    QString name = executable_path.mid(executable_path.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    if (dot >= 0) name.truncate(dot);
    if (name.size() > 1) name = name.left(1) + name.mid(1).toLower();
    return name;
}

}  // namespace pixmora
