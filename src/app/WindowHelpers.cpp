#include "app/WindowHelpers.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QWidget>
#include <cmath>

#include "app/AppModul.h"
#include "editor/frmCapture.h"

namespace app {

namespace {

std::function<void(const QString&, int, const QString&)>& MessageSink() {
    static std::function<void(const QString&, int, const QString&)> sink;
    return sink;
}

QScreen* ScreenOf(const QWidget& window) {
    QScreen* screen = window.screen();
    return screen != nullptr ? screen : QGuiApplication::primaryScreen();
}

}  // namespace

int RoundHalfEven(double value) {
    // nearbyint rounds ties to even in the default rounding mode.
    const double rounded = std::nearbyint(value);
    if (rounded >= 2147483647.0) return 2147483647;
    if (rounded <= -2147483648.0) return -2147483647 - 1;
    return static_cast<int>(rounded);
}

void CenterForm(QWidget& window) {
    constexpr int kTwips = frmCapture::kTwipsPerPixel;
    const QRect screen = ScreenOf(window)->geometry();
    const QRect outer = window.frameGeometry();
    int heightTwips = outer.height() * kTwips;
    int widthTwips = outer.width() * kTwips;
    if (auto* editor = qobject_cast<frmCapture*>(&window)) {
        heightTwips = editor->HeightTwips();
        widthTwips = editor->WidthTwips();
    }
    int top = RoundHalfEven(screen.height() * kTwips * 0.85) / 2 - RoundHalfEven(heightTwips) / 2;
    int left = RoundHalfEven(screen.width() * kTwips) / 2 - RoundHalfEven(widthTwips) / 2;
    if (top < 0) top = 0;
    if (left < 0) left = 0;
    window.move(screen.x() + RoundHalfEven(static_cast<double>(left) / kTwips),
                screen.y() + RoundHalfEven(static_cast<double>(top) / kTwips));
}

void CenterMainWindow() {
    if (G().editor != nullptr) CenterForm(*G().editor);
}

void SetTopMost(QWidget& window) {
    const bool visible = window.isVisible();
    window.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    if (visible) window.show();  // changing the flags hides a shown window
    QCoreApplication::processEvents();
}

void ShowMessage(const QString& prompt, int kind, const QString& title) {
    const QString caption = title.isEmpty() ? G().strAppTitle : title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (kind) {
        case kMessageInformation:
            icon = QMessageBox::Information;
            break;
        case kMessageWarning:
            icon = QMessageBox::Warning;
            break;
        case kMessageError:
            icon = QMessageBox::Critical;
            break;
        case kMessageQuestion:
            icon = QMessageBox::Question;
            break;
        default:
            return;
    }
    if (MessageSink()) {
        MessageSink()(prompt, kind, caption);
        return;
    }
    QMessageBox box(icon, caption, prompt, QMessageBox::Ok, G().editor);
    box.exec();
}

void SetMessageSinkForTests(std::function<void(const QString& prompt, int kind, const QString& title)> sink) {
    MessageSink() = std::move(sink);
}

}  // namespace app
