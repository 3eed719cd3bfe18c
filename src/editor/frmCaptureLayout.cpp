// Layout of the editor window in twips: the view panel, the scroll bars and
// the canvas position inside the panel, and fitting the window to a picture.
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>
#include <algorithm>

#include "core/Rounding.h"
#include "core/Units.h"
#include "editor/frmCapture.h"
#include "platform/qt/WindowSizeHold.h"
#include "widgets/WindowHelpers.h"

namespace {

constexpr int kTwips = core::kTwipsPerPixel;
// The canvas's far edge stands this far inside the panel at the largest scroll value.
constexpr int kScrollOverhang = 70;

int ToPixels(int twips) {
    return core::N(static_cast<double>(twips) / kTwips);
}

QScreen* ScreenOf(const QWidget* widget) {
    QScreen* screen = widget != nullptr ? widget->screen() : nullptr;
    return screen != nullptr ? screen : QGuiApplication::primaryScreen();
}

// Sets Max and the enabled state of a view scroll bar for a canvas extent
// against a panel extent (twips). A new Max below the value pulls the value
// down, which moves the canvas through the change handler.
void SetScrollRange(QScrollBar& bar, int canvas, int panel) {
    if (canvas > panel) {
        bar.setEnabled(true);
        bar.setMaximum(canvas - panel + kScrollOverhang);
    } else {
        bar.setEnabled(false);
        // The whole canvas fits: it goes back to the panel's origin. Left at
        // the old scroll position, part of a smaller picture pasted or loaded
        // after scrolling would lie outside the panel with no way to reach it.
        bar.setValue(0);
    }
}

}  // namespace

// --- geometry in twips -------------------------------------------------------------

// The form size of the layout arithmetic is the client area plus the frame
// allowance: the design's window sizes include a title bar and borders, which
// the window manager draws outside the client area here (or, with no window
// manager, nobody draws). Sizing the client as the form size less the
// allowance leaves no empty strip under or beside the scroll bars, whatever
// frame the desktop adds.
int frmCapture::WidthTwips() const {
    const QSize client = size();
    return client == windowTwips_.pixels ? windowTwips_.width : client.width() * kTwips + kFrameWidthTwips;
}

int frmCapture::HeightTwips() const {
    const QSize client = size();
    return client == windowTwips_.pixels ? windowTwips_.height : client.height() * kTwips + kFrameHeightTwips;
}

int frmCapture::LeftTwips() const {
    return frameGeometry().x() * kTwips;
}

int frmCapture::TopTwips() const {
    return frameGeometry().y() * kTwips;
}

void frmCapture::MoveTwips(int left, int top) {
    move(ToPixels(left), ToPixels(top));
}

void frmCapture::ResizeTwips(int width, int height) {
    const QSize client(ToPixels(width - kFrameWidthTwips), ToPixels(height - kFrameHeightTwips));
    if (client.width() < 1 || client.height() < 1) return;
    resize(client);
    windowTwips_ = {width, height, size()};
    // A hidden window gets its resize event only when shown; lay out now.
    if (!isVisible()) Form_Resize();
}

int frmCapture::ViewPanelWidthTwips() const {
    return viewPanel_.size() == panelTwips_.pixels ? panelTwips_.width : viewPanel_.width() * kTwips;
}

int frmCapture::ViewPanelHeightTwips() const {
    return viewPanel_.size() == panelTwips_.pixels ? panelTwips_.height : viewPanel_.height() * kTwips;
}

// The canvas and its scrolling count in twips of picture pixels, which are
// device pixels: on a 200 % screen a scroll step or a hand drag moves the
// picture by as many of its own pixels as at 100 %.
int frmCapture::CanvasLeftTwips() const {
    return canvasView_.x() == canvasPosTwips_.pixels.width()
               ? canvasPosTwips_.width
               : core::N(canvasView_.x() * ViewRatio() * kTwips);
}

int frmCapture::CanvasTopTwips() const {
    return canvasView_.y() == canvasPosTwips_.pixels.height()
               ? canvasPosTwips_.height
               : core::N(canvasView_.y() * ViewRatio() * kTwips);
}

int frmCapture::CanvasWidthTwips() const {
    return state_.Canvas().Size().width() * kTwips;
}

int frmCapture::CanvasHeightTwips() const {
    return state_.Canvas().Size().height() * kTwips;
}

void frmCapture::MoveCanvasTwips(int left, int top) {
    const double ratio = ViewRatio();
    canvasView_.move(ToPixels(core::N(left / ratio)), ToPixels(core::N(top / ratio)));
    canvasPosTwips_ = {left, top, QSize(canvasView_.x(), canvasView_.y())};
}

double frmCapture::ViewRatio() const {
    return canvasView_.PixelRatio();
}

int frmCapture::ScreenWidthTwips() const {
    return ScreenOf(this)->geometry().width() * kTwips;
}

int frmCapture::ScreenHeightTwips() const {
    return ScreenOf(this)->geometry().height() * kTwips;
}

// --- layout ------------------------------------------------------------------------

void frmCapture::Form_Resize() {
    const int width = WidthTwips();
    const int height = HeightTwips();
    const int offset = intWinOffset_;

    dummy_.move(2 * width / kTwips, dummy_.y());

    // A window too small (or minimised) for the panel leaves the panel as it was.
    int panelWidth = ViewPanelWidthTwips();
    int panelHeight = ViewPanelHeightTwips();
    const int newHeight = height - toolbarStrip_.height() * kTwips - 690 - offset;
    const int newWidth = width - 380 - offset;
    if (newHeight >= 0) panelHeight = newHeight;
    if (newWidth >= 0) panelWidth = newWidth;
    viewPanel_.resize(ToPixels(panelWidth), ToPixels(panelHeight));
    panelTwips_ = {panelWidth, panelHeight, viewPanel_.size()};

    const int panelTop = viewPanel_.y() * kTwips;
    horizontalScroll_.move(0, ToPixels(panelTop + panelHeight));
    verticalScroll_.move(ToPixels(panelWidth), verticalScroll_.y());
    horizontalScroll_.resize(ToPixels(panelWidth), horizontalScroll_.height());
    verticalScroll_.resize(verticalScroll_.width(), ToPixels(panelHeight));

    // Scroll ranges are plain ints: any picture the loader accepts (up to
    // 32767 px, about 491,000 twips) scrolls to every edge. They count in
    // picture pixels, so the panel is measured in them too.
    const double ratio = ViewRatio();
    SetScrollRange(verticalScroll_, CanvasHeightTwips(), core::N(panelHeight * ratio));
    SetScrollRange(horizontalScroll_, CanvasWidthTwips(), core::N(panelWidth * ratio));
}

void frmCapture::FitWindowToPicture() {
    const int offset = intWinOffset_;
    // The window is never made larger than the screen, as window systems with
    // a window manager enforce; without one (a plain X server) a large picture
    // would push the scroll bars and the picture's far side off the screen.
    // The scroll bars then cover what the window cannot show.
    // The window shows the picture one picture pixel to one device pixel.
    const double ratio = ViewRatio();
    // Never narrower than the tool bar's controls, which end with the format
    // choice: for a tiny picture the formula alone leaves only the first two
    // buttons, and the tools, colours and the name box out of reach.
    const int toolbarWidth =
        jpegOption_.mapTo(this, QPoint(jpegOption_.width(), 0)).x() * kTwips + kFrameWidthTwips;
    const int fitted = std::max(core::N(CanvasWidthTwips() / ratio) + 445 + offset, toolbarWidth);
    const int width = std::min(fitted, ScreenWidthTwips());
    const int height = std::min(core::N(CanvasHeightTwips() / ratio) + 1180 + offset, ScreenHeightTwips());
    const QSize before = size();
    ResizeTwips(width, height);
    // Wayland: a configure sent before the compositor saw the new size would
    // put the window back to the old one.
    if (QWindow* window = windowHandle(); window != nullptr && size() != before)
        platform::HoldRequestedSize(*window, before, [this, fitted = size()] { resize(fitted); });
    int top = core::N(ScreenHeightTwips()) / 2 - core::N(HeightTwips()) / 2;
    int left = core::N(ScreenWidthTwips()) / 2 - core::N(WidthTwips()) / 2;
    if (top < 0) top = 0;
    if (left < 0) left = 0;
    MoveTwips(left, top);
    Form_Resize();
    // Where the compositor places the windows the move does nothing: the
    // window keeps its top-left corner, and one that grew reaches past the
    // output's right or bottom edge (on sway and KWin a 1200 x 800 picture
    // loaded into the window of start-up lost its bottom rows there). Mapped
    // anew, the window is placed by the compositor as a new window of the
    // fitted size, the whole of it on the output.
    const bool grew = size().width() > before.width() || size().height() > before.height();
    if (grew && isVisible() && platform::PlacedByCompositor()) {
        hide();
        show();
    }
}

// --- scrolling ---------------------------------------------------------------------

void frmCapture::OnHorizontalScrollChange() {
    MoveCanvasTwips(-horizontalScroll_.value(), CanvasTopTwips());
}

void frmCapture::OnVerticalScrollChange() {
    MoveCanvasTwips(CanvasLeftTwips(), -verticalScroll_.value());
}

void frmCapture::OnHorizontalScrollDrag() {
    OnHorizontalScrollChange();
}

void frmCapture::OnVerticalScrollDrag() {
    OnVerticalScrollChange();
}
