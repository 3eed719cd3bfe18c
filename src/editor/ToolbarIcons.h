// Icons of the editor's tool bar, drawn in code (16 x 16 design) and painted
// at the desktop's pixel ratio, so the binary needs no image files. The window
// icon is in AppIcon.h.
#pragma once

#include <QIcon>
#include <QImage>

namespace icons {

QIcon OpenFolderIcon();  // load
QIcon FloppyDiskIcon();  // save
QIcon CropIcon();        // dotted frame with scissors
QIcon CopyIcon();        // two sheets
QIcon PasteIcon();       // clipboard with a sheet
QIcon EyeIcon();         // external program
QIcon UndoIcon();        // curved arrow back
QIcon OpenHandIcon();    // tools button

// The icon drawn at 16 x 16 pixels (also used by tests).
QImage OpenFolderImage();
QImage FloppyDiskImage();
QImage CropImage();
QImage CopyImage();
QImage PasteImage();
QImage EyeImage();
QImage UndoImage();
QImage OpenHandImage();

}  // namespace icons
