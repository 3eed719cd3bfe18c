// The editor window: tool bar strip, view panel with the canvas and its
// scroll bars, the focus sink, Ctrl+V. It owns the editing state
// (canvas::EditorState) and hands it to its tools and commands, which see the
// window only through their narrow hosts; its controls are its own.
//
// Positions of the window and of the view panel are kept in twips (15 twips
// per pixel) so that layout arithmetic gives the same figures whatever the
// pixel rounding; controls themselves sit on whole pixels. Every control
// carries its name of the form design as object name ("Command1(0)" ..
// "Command1(6)" for the button array), which tests and tools find it by.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QToolButton>
#include <QWidget>
#include <cstdint>
#include <memory>

#include "canvas/CanvasView.h"
#include "canvas/EditorState.h"
#include "commands/CommandHost.h"
#include "editor/ButtonArray.h"
#include "program/ProgramContext.h"
#include "tools/ToolHost.h"
#include "widgets/InputHold.h"
#include "widgets/KeyPreview.h"

namespace tools {
class ToolSet;
}

class frmCapture : public QWidget, private tools::ToolHost, private commands::CommandHost {
    Q_OBJECT
  public:
    // What the design's window sizes hold beyond the client area (title bar
    // and borders of a classic frame), twips: the layout's constants leave
    // exactly this much room beside the vertical and under the horizontal
    // scroll bar.
    static constexpr int kFrameWidthTwips = 125;
    static constexpr int kFrameHeightTwips = 450;

    // `program` outlives the window.
    explicit frmCapture(const program::ProgramContext& program, QWidget* parent = nullptr);
    ~frmCapture() override;

    canvas::EditorState& State() override { return state_; }
    // How many input events wait for a picture coming in.
    std::size_t HeldInput() const { return inputHold_.Waiting(); }
    const canvas::EditorState& State() const { return state_; }
    tools::ToolSet& Tools() { return *toolSet_; }

    // --- window handlers -------------------------------------------------------
    void Form_Load();
    void Form_Resize();
    void Form_Unload();
    // A key press in the active editor: Ctrl+V (V pressed while Control is
    // held) pastes the clipboard picture. `Shift` holds Qt's modifier flags.
    void Form_KeyDown(int KeyCode, Qt::KeyboardModifiers Shift);
    // Tool-bar button events: a click (focus to the focus sink, then the
    // button's command) and a right-button press (program picker).
    void OnButtonClick(ToolbarButton button);
    void OnButtonRightPress(ToolbarButton button);

    // --- start-up --------------------------------------------------------------
    // The save format chosen in the settings ("SaveAs").
    void SetSaveAsBitmap(bool bitmap);
    // intWinOffset: the layout margin in twips ("Offset(Win10)").
    std::int16_t WinOffset() const { return intWinOffset_; }
    void SetWinOffset(std::int16_t twips) { intWinOffset_ = twips; }

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
    void FitWindowToPicture();
    void MoveFocusToDummy() override;
    // Places the canvas inside the view panel (twips).
    void MoveCanvasTwips(int left, int top) override;
    // Centres the window on its screen, a little above the middle.
    void CenterOnScreen() override;
    // True once the window is closing: waiting commands give up.
    bool IsUnloading() const override { return unloading_; }

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
    int ViewPanelWidthTwips() const;
    int ViewPanelHeightTwips() const;
    int CanvasLeftTwips() const override;
    int CanvasTopTwips() const override;
    int CanvasWidthTwips() const;
    int CanvasHeightTwips() const;
    // Device pixels per widget pixel on the canvas: scrolling and the canvas
    // measures above count in picture (device) pixels, the window in widget
    // pixels as Qt scales them.
    double ViewRatio() const;
    int ScreenWidthTwips() const;
    int ScreenHeightTwips() const;

    // --- what the commands see ---------------------------------------------------
    QString PictureName() const override { return nameBox_.text(); }
    void SetPictureName(const QString& name) override { nameBox_.setText(name); }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // CommandHost
    const program::ProgramPaths& Paths() const override { return program_.paths; }
    const program::Settings& ProgramSettings() const override { return program_.settings; }
    QWidget& Window() override { return *this; }
    void ShowMessage(const QString& prompt, int kind) override;
    void FocusPictureName() override { nameBox_.setFocus(); }
    bool SaveAsJpeg() const override { return jpegOption_.isChecked(); }
    int JpegQuality() const override { return qualityScroll_.value(); }

    void OnToolbarMouseMove();
    void OnBitmapChosen();
    void OnJpegChosen();
    void OnHorizontalScrollChange();
    void OnHorizontalScrollDrag();
    void OnVerticalScrollChange();
    void OnVerticalScrollDrag();

    // With a clipboard manager running, compresses the canvas picture's PNG
    // ahead, shortly after it shows.
    void PreparePngForClipboardManager();
    void BuildControls();
    void ConnectHandlers();
    void ApplyCurrentColor(COLORREF color);

    const program::ProgramContext& program_;
    canvas::EditorState state_;

    // --- tool bar strip (object names of the form design in quotes) -------------
    QWidget toolbarStrip_;        // container of the tool bar ("Picture1")
    ButtonArray toolbarButtons_;  // load, save, copy, paste, program, undo ("Command1(i)")
    QToolButton cropButton_;      // crop mode toggle, checkable ("Check1")
    QToolButton toolsButton_;     // tools pop-up ("Command2")
    QToolButton colorsButton_;    // colours pop-up; its background is the current colour ("Command3")
    QLineEdit nameBox_;           // picture name ("Text1")
    QLabel extensionLabel_;       // extension of the save format ("Label1")
    QRadioButton bitmapOption_;   // "Bitmap" ("Option1")
    QRadioButton jpegOption_;     // "JPeg" ("Option2")
    QScrollBar qualityScroll_;    // JPEG quality, hidden ("HScroll2")

    // --- view ------------------------------------------------------------------
    canvas::ViewPanel viewPanel_;    // black view panel around the canvas ("Picture3")
    canvas::CanvasView canvasView_;  // the canvas, child of the view panel ("Picture2")
    QScrollBar verticalScroll_;      // ("VScroll1")
    QScrollBar horizontalScroll_;    // ("HScroll1")
    QPushButton dummy_;              // focus sink, outside the visible area ("dummy")

    // Key presses meant for this window, seen before its controls see them.
    KeyPreview keyPreview_;
    // Input meant for this window while a picture comes in, handed on after
    // it, in order (it sees input before the key preview does).
    InputHold inputHold_;
    // Tools and pop-ups (created in the constructor, after the controls).
    std::unique_ptr<tools::ToolSet> toolSet_;

    std::int16_t intWinOffset_ = 0;
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
