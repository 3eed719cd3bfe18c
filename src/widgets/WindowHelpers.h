// Window placement and message boxes shared by every window of the program.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace app {

// Window positions and sizes are figured in twips, 15 to the pixel.
inline constexpr int kTwipsPerPixel = 15;

// The program's main window (the editor), which owns message boxes and which
// the pickers hand the keyboard back to. The window registers itself; the
// pointer clears itself when the window goes.
void SetMainWindow(QWidget* window);
QWidget* MainWindow();

// Centres a top-level window on the screen, a little above the middle
// (85 % of the screen height is used for the vertical centre); never off the
// top or left edge. The outer size is the window's own unless given in twips.
void CenterForm(QWidget& window);
void CenterForm(QWidget& window, int widthTwips, int heightTwips);
// Keeps the window above the others, then lets pending events run once.
void SetTopMost(QWidget& window);

// Message kinds of ShowMessage.
inline constexpr int kMessageInformation = 1;
inline constexpr int kMessageWarning = 2;
inline constexpr int kMessageError = 3;
inline constexpr int kMessageQuestion = 4;

// Shows `prompt` in a message box with the icon of `kind` and one OK button;
// an empty title gives the program title. Any other kind shows nothing.
void ShowMessage(const QString& prompt, int kind, const QString& title = {});

// Tests route messages here instead of a modal box (an empty function
// restores the real boxes).
void SetMessageSinkForTests(std::function<void(const QString& prompt, int kind, const QString& title)> sink);

}  // namespace app
