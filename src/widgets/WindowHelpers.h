// Window placement and message boxes shared by every window of the program.
// Positions and sizes are figured in twips (core::kTwipsPerPixel).
#pragma once

#include <QString>

#include "program/ProgramContext.h"

class QWidget;

namespace app {

// Centres a top-level window on the screen, a little above the middle
// (85 % of the screen height is used for the vertical centre); never off the
// top or left edge. The outer size is the window's own unless given in twips.
void CenterForm(QWidget& window);
void CenterForm(QWidget& window, int widthTwips, int heightTwips);
// Keeps the window above the others, then lets pending events run once.
void SetTopMost(QWidget& window);

// Shows `prompt` in a message box owned by `owner` with the icon of `kind`
// (program::kMessage...) and one OK button; an empty title gives the program
// title. Any other kind shows nothing. With a sink, the sink gets the message
// instead of a box.
void ShowMessage(QWidget* owner, const QString& prompt, int kind, const QString& title = {},
                 const program::MessageSink& sink = {});

}  // namespace app
