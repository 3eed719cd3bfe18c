// Icons of the editor's tool bar and window, drawn in code (16 x 16 tool-bar
// pictures, a 32 x 32 window icon), so the binary needs no image files.
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
QIcon MarkerPenIcon();   // window icon: a yellow marker pen

// The 16 x 16 picture behind an icon (also used by tests).
QImage OpenFolderImage();
QImage FloppyDiskImage();
QImage CropImage();
QImage CopyImage();
QImage PasteImage();
QImage EyeImage();
QImage UndoImage();
QImage OpenHandImage();
// 32 x 32.
QImage MarkerPenImage();

}  // namespace icons
