// The editor window: tool bar strip, view panel with the canvas and its
// scroll bars, hidden picture holders, Ctrl+V. It owns the editing state that
// the tools and commands read and write.
//
// Positions of the window and of the view panel are kept in twips (15 twips
// per pixel) so that layout arithmetic gives the same figures whatever the
// pixel rounding; controls themselves sit on whole pixels.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QToolButton>
#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>

#include "commands/CommandHost.h"
#include "editor/ButtonArray.h"
#include "tools/ToolHost.h"
#include "widgets/ColorRef.h"
#include "widgets/KeyPreview.h"
#include "widgets/PictureBox.h"
#include "widgets/WindowHelpers.h"

namespace tools {
class ToolSet;
}

class frmCapture : public QWidget, public tools::ToolHost, public commands::CommandHost {
    Q_OBJECT
  public:
    static constexpr int kTwipsPerPixel = app::kTwipsPerPixel;
    // What the design's window sizes hold beyond the client area (title bar
    // and borders of a classic frame), twips: the layout's constants leave
    // exactly this much room beside the vertical and under the horizontal
    // scroll bar.
    static constexpr int kFrameWidthTwips = 125;
    static constexpr int kFrameHeightTwips = 450;

    explicit frmCapture(QWidget* parent = nullptr);
    ~frmCapture() override;

    // --- tool bar strip ------------------------------------------------------
    PictureBox Picture1;   // container of the tool bar
    ButtonArray Command1;  // indexes 0, 1, 3, 4, 5, 6
    QToolButton Check1;    // crop mode toggle (checkable)
    QToolButton Command2;  // tools pop-up
    QToolButton Command3;  // colours pop-up; its background is the current colour
    QLineEdit Text1;       // picture name
    QLabel Label1;         // extension of the save format
    QRadioButton Option1;  // "Bitmap"
    QRadioButton Option2;  // "JPeg"
    QScrollBar HScroll2;   // JPEG quality, hidden

    // --- view ------------------------------------------------------------------
    PictureBox Picture3;  // black view panel around the canvas
    PictureBox Picture2;  // the canvas (child of Picture3)
    QScrollBar VScroll1;
    QScrollBar HScroll1;

    // --- hidden holders --------------------------------------------------------
    PictureBox picUndo;       // reference picture
    PictureBox picRectangle;  // receives the cropped area
    QPushButton dummy;        // focus sink, outside the visible area

    // --- editing state ---------------------------------------------------------
    std::int32_t lngTool = 0;
    std::int16_t intColorIndex = 0;
    std::int16_t intUndoReady = 0;
    tools::StrokeState stroke;  // the stroke, crop and pan state of the tools

    // The current colour: the background of Command3 (kSystemButtonFace names
    // the system button face).
    COLORREF CurrentColor() const override { return currentColor_; }
    void SetCurrentColor(COLORREF color) override;

    // Key presses meant for this window, seen before its controls see them.
    KeyPreview keyPreview;

    // Tools and pop-ups (created in the constructor).
    std::unique_ptr<tools::ToolSet> toolSet;

    // --- window handlers -------------------------------------------------------
    void Form_Load();
    void Form_Resize();
    void Form_Unload();
    // A key press in the active editor: Ctrl+V (V pressed while Control is
    // held) pastes the clipboard picture. `Shift` holds Qt's modifier flags.
    void Form_KeyDown(int KeyCode, Qt::KeyboardModifiers Shift);
    void Picture1_MouseMove();
    void Option1_Click();
    void Option2_Click();

    // --- working picture and view ------------------------------------------------
    // Every picture that replaces the canvas comes here (command line,
    // picker, drop, paste, undo, crop): it becomes the canvas's assigned
    // picture and back buffer, the reference picture picUndo follows it
    // (except for an undo step), then the view is laid out or the window
    // fitted to the picture as `then` says. Picture, buffer and reference
    // share one block of pixels until the first drawing: nothing is copied,
    // whatever the size, and a picture handed over whole in another format
    // is converted where it lies. A null picture (not loadable, or not
    // convertible for lack of memory) leaves the canvas as it is; the
    // reference and `then` follow all the same. True when the canvas took it.
    bool ReplacePicture(QImage picture, AfterReplace then) override;
    // Makes `picture` the canvas's assigned picture (drawings are gone) and
    // nothing else.
    void SetAssignedPicture(QImage picture);
    // picUndo receives the canvas's assigned picture (shared, not copied).
    void SetUndoPictureFromCanvas() override;
    void FitWindowToPicture();
    void HScroll1_Change();
    void HScroll1_Scroll();
    void VScroll1_Change();
    void VScroll1_Scroll();
    void MoveFocusToDummy() override;
    // Places the canvas inside the view panel (twips).
    void MoveCanvasTwips(int left, int top) override;
    // Centres the window on its screen, a little above the middle.
    void CenterOnScreen() override;
    // True once the window is closing: waiting commands give up.
    bool IsUnloading() const override { return unloading_; }

    // Command1 events: a click (focus to dummy, then the command of the index)
    // and a right-button press (program picker).
    void Command1_Click(int index);
    void Command1_RightPress(int index);

    // --- geometry in twips ------------------------------------------------------
    // Form size (client area plus the frame allowance) and position of the
    // window's outer frame.
    int WidthTwips() const;
    int HeightTwips() const;
    int LeftTwips() const;
    int TopTwips() const;
    void MoveTwips(int left, int top);
    void ResizeTwips(int width, int height);
    // View panel and canvas (canvas Left/Top relative to the panel).
    int Picture3WidthTwips() const;
    int Picture3HeightTwips() const;
    int Picture2LeftTwips() const override;
    int Picture2TopTwips() const override;
    int Picture2WidthTwips() const;
    int Picture2HeightTwips() const;
    // Device pixels per widget pixel on the canvas: scrolling and the canvas
    // measures above count in picture (device) pixels, the window in widget
    // pixels as Qt scales them.
    double ViewRatio() const;

    static int ScreenWidthTwips();
    static int ScreenHeightTwips();

    // --- what the tools see ------------------------------------------------------
    QWidget& Window() override { return *this; }
    PictureBox& Canvas() override { return Picture2; }
    PictureBox& ViewPanel() override { return Picture3; }
    PictureBox& ReferencePicture() override { return picUndo; }
    PictureBox& CropHolder() override { return picRectangle; }
    QWidget& ToolbarStrip() override { return Picture1; }
    QToolButton& ToolsButton() override { return Command2; }
    QToolButton& ColorsButton() override { return Command3; }
    QToolButton& CropButton() override { return Check1; }
    QScrollBar& HorizontalScroll() override { return HScroll1; }
    QScrollBar& VerticalScroll() override { return VScroll1; }
    std::int32_t CurrentTool() const override { return lngTool; }
    void SetCurrentTool(std::int32_t tool) override { lngTool = tool; }
    std::int16_t ColorIndex() const override { return intColorIndex; }
    void SetColorIndex(std::int16_t index) override { intColorIndex = index; }
    void SetUndoReady(std::int16_t ready) override { intUndoReady = ready; }
    tools::StrokeState& Stroke() override { return stroke; }

    // --- what the commands see ---------------------------------------------------
    QString PictureName() const override { return Text1.text(); }
    void SetPictureName(const QString& name) override { Text1.setText(name); }
    void FocusPictureName() override { Text1.setFocus(); }
    bool SaveAsJpeg() const override { return Option2.isChecked(); }
    int JpegQuality() const override { return HScroll2.value(); }
    std::int16_t UndoReady() const override { return intUndoReady; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // With a clipboard manager running, compresses the canvas picture's PNG
    // ahead, shortly after it shows.
    void PreparePngForClipboardManager();
    void BuildControls();
    void ConnectHandlers();
    void ApplyCurrentColor();

    COLORREF currentColor_ = 0x0000FFFF;
    // Twips remembered for the last size set in twips, valid while the pixel
    // size (the client size for the window) is still the one that setting
    // produced.
    struct TwipsSize {
        int width = 0;
        int height = 0;
        QSize pixels{-1, -1};
    };
    TwipsSize windowTwips_;
    TwipsSize panelTwips_;
    TwipsSize canvasPosTwips_;  // width = Left, height = Top
    bool unloading_ = false;
};

// Returns a copy of varTrue when blnCondition is true (non-zero), else of varFalse.
template <typename T>
T varIIf(std::int16_t blnCondition, const T& varTrue, const T& varFalse) {
    return blnCondition != 0 ? varTrue : varFalse;
}
