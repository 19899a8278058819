// The application object.
#include "ui/pixmora_application.h"

#include "ui/application_title.h"
#include "ui/artwork.h"
#include "ui/failure_box.h"

namespace pixmora {

TPixmoraApplication::TPixmoraApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(ApplicationTitle(applicationFilePath()));
    setWindowIcon(AppIcon());
}

bool TPixmoraApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowCurrentFailure(activeWindow());
        return false;
    }
}

}  // namespace pixmora
