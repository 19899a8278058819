// Pixmora's window program: opens the main window and runs until it is closed.
#include <QApplication>

#include "ui/application_title.h"
#include "ui/artwork.h"
#include "ui/uf_main.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(
        pixmora::ApplicationTitle(QCoreApplication::applicationFilePath()));
    QApplication::setWindowIcon(pixmora::AppIcon());
    pixmora::TF_Main window;
    window.show();
    return QApplication::exec();
}
