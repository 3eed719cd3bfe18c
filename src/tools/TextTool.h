// The text tool: a floating box txtText on the canvas collects one line of
// text, which is drawn into the picture in the current colour when the user
// presses Enter, double-clicks the box or moves the focus elsewhere. The
// panel frmSize ("Textgröße:") chooses 10, 12 or 14 point Arial bold.
//
// A focus loss to the canvas itself is the start of a press on it: the stroke
// protocol resolves it once that press is known (a text press moves the open
// box with its text; any other press commits it at the release).
#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QObject>
#include <QPoint>
#include <QRadioButton>
#include <QString>
#include <array>
#include <functional>
#include <memory>

#include "tools/Tool.h"

namespace canvas {
class CanvasSurface;
class CanvasView;
class ViewPanel;
}  // namespace canvas

namespace tools {

struct ToolEntry;

class TextTool : public PaletteTool {
  public:
    // Its id (lngTool) and its entry in the catalogue.
    static constexpr int kId = 4;
    static ToolEntry Entry();

    // `currentColor` gives the drawing colour when the text is drawn.
    TextTool(canvas::CanvasSurface& canvas, std::function<COLORREF()> currentColor, canvas::CanvasView& view,
             canvas::ViewPanel& panel, QWidget& window);
    ~TextTool() override;
    TextTool(const TextTool&) = delete;
    TextTool& operator=(const TextTool&) = delete;

    // Left press on the canvas with the text tool: opens the box there, or
    // moves the open box with its text.
    void Press(Stroke& stroke, const ToolEvent& event) override;
    // Draws the open box's text and closes the box; nothing when closed.
    void Commit() override;
    // After a press on the canvas or the view panel has been handled: a focus
    // loss of the box that the press caused and that no text press took back
    // commits now.
    void PressHandled() override;
    // Shows the size panel while the text tool is current.
    void ShowOptions(bool visible) override;

    std::optional<QCursor> Pointer(int variant) const override;
    const QPixmap& Look(int variant) const override;
    COLORREF ChosenColor() const override { return 0x000000FF; }  // red

    // Text size in points (10, 12 or 14).
    int TextSize() const { return textSize_; }

  private:
    class Events;
    friend class Events;

    // Handlers of the box, the size options and the size panel.
    void txtText_KeyDown(int keyCode);
    void txtText_KeyUp(int keyCode, int shift);
    void txtText_DblClick();  // commits the text
    void txtText_LostFocus();
    void optSize_MouseDown(int index);
    void frmSize_MouseDown(QPoint pos);
    void frmSize_MouseMove(Qt::MouseButtons buttons, QPoint pos);

    void SizeBoxToText(const QString& margin);
    // Puts the box over picture pixel `at` (the canvas maps it to the screen).
    void PlaceBox(QPoint at);
    // Fonts of the box and the measuring label: the drawn text's size in
    // picture pixels, so the box shows the text as it will be drawn.
    void ApplyBoxFonts();
    void SetTextSize(int index);
    void HideBox();
    void GiveFocusToCanvas();
    bool FocusWentToCanvas() const;

    QLineEdit txtText;
    QLabel lblTextSize;
    QGroupBox frmSize;
    std::array<QRadioButton, 3> optSize;
    // The move marker of txtText: "moving" while a canvas press moves the box.
    QString txtTextTag;

    canvas::CanvasSurface& canvas_;
    std::function<COLORREF()> currentColor_;
    canvas::CanvasView& view_;
    canvas::ViewPanel& panel_;
    std::unique_ptr<Events> events_;
    int textSize_ = 12;
    QPoint boxAt_;  // the box's corner in picture pixels: where the text is drawn
    QPoint dragOrigin_;
    bool hasDragOrigin_ = false;
    bool pressFocusLossPending_ = false;
    bool committing_ = false;
    bool closing_ = false;
};

}  // namespace tools
