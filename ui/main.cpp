// Pixmora's window program: opens the main window and runs until it is closed.
#include "ui/pixmora_application.h"
#include "ui/uf_main.h"

int main(int argc, char** argv) {
    pixmora::TPixmoraApplication app(argc, argv);
    pixmora::TF_Main window;
    window.show();
    return pixmora::TPixmoraApplication::exec();
}
