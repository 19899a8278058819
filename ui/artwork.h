// The window's pictures, drawn for Pixmora and kept in the program's resources.
#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace pixmora {

QPixmap FolderImage();    // small yellow folder of the browse buttons, 14 x 12
QPixmap TickImage();      // green tick, 32 x 32
QPixmap CrossImage();     // red cross, 32 x 32
QPixmap WasteBinImage();  // blue waste bin, 24 x 24
QPixmap DropImage();      // the drop hint's picture, 170 x 106
QPixmap DonateImage();    // orange "Donate" badge, 77 x 35

// The list marks, 16 x 16 on the magenta key colour: red frowning face, green smiling face.
QImage FrowningFaceBitmap();
QImage SmilingFaceBitmap();

// The application icon at 16, 24, 32, 48, 64, 72, 96 and 128 px.
QIcon AppIcon();

}  // namespace pixmora
