// Link labels.
#include "ui/simple_label.h"

#include <QDesktopServices>
#include <QUrl>

namespace pixmora {

QString CompleteAddress(const QString& address) {
    if (address.contains(QLatin1Char(':'))) return address;
    if (address.startsWith(QLatin1String("www"))) return QStringLiteral("http://") + address;
    if (address.startsWith(QLatin1String("ftp"))) return QStringLiteral("ftp://") + address;
    if (address.indexOf(QLatin1Char('@')) > 0) return QStringLiteral("mailto:") + address;
    return address;
}

namespace {

bool OpenWithDesktop(const QString& address) {
    return QDesktopServices::openUrl(QUrl(address, QUrl::TolerantMode));
}

}  // namespace

TSimpleLabel::TSimpleLabel(const QString& caption, QWidget* parent)
    : QLabel(caption, parent), opener_(OpenWithDesktop) {}

void TSimpleLabel::Click() {
    if (mode_ == pixmora::JumpMode::jmInternet) {
        const QString address = jump_.trimmed().isEmpty() ? text() : jump_;
        if (!opener_(CompleteAddress(address))) {
            // Nothing is shown; the label simply stops trying.
            mode_ = pixmora::JumpMode::jmNone;
            setEnabled(false);
        }
    }
    emit Clicked();
}

}  // namespace pixmora
