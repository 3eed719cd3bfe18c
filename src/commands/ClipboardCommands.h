// Clipboard, load and undo commands of the tool bar, and the clipboard access
// they share with the canvas's undo snapshot.
#pragma once

#include <QImage>

namespace commands {

class CommandHost;

// The picture on the system clipboard (null when it holds none).
QImage ClipboardPicture();
// Empties the clipboard.
void EmptyClipboard();
// Puts a picture the user copied on the clipboard in one write, offered as
// image/png and image/bmp, each encoded only when a reader asks for it.
void PutPictureOnClipboard(const QImage& picture);

// Load through the picture picker (Command1(0)).
void LoadPicture(CommandHost& host);
// Copy the canvas image to the clipboard (Command1(3)).
void CopyPicture(CommandHost& host);
// Paste the clipboard picture (Command1(4)); Ctrl+V runs it too.
void PastePicture(CommandHost& host);
// One-step undo from the clipboard (Command1(6)).
void UndoPicture(CommandHost& host);

}  // namespace commands
