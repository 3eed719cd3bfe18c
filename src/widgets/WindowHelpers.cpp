#include "widgets/WindowHelpers.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <cmath>

#include "core/Rounding.h"
#include "program/ProgramValues.h"

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

QPointer<QWidget>& TheMainWindow() {
    static QPointer<QWidget> window;
    return window;
}

}  // namespace

void SetMainWindow(QWidget* window) {
    TheMainWindow() = window;
}

QWidget* MainWindow() {
    return TheMainWindow();
}

void CenterForm(QWidget& window) {
    const QRect outer = window.frameGeometry();
    CenterForm(window, outer.width() * kTwipsPerPixel, outer.height() * kTwipsPerPixel);
}

void CenterForm(QWidget& window, int widthTwips, int heightTwips) {
    constexpr int kTwips = kTwipsPerPixel;
    const QRect screen = ScreenOf(window)->geometry();
    int top = core::N(screen.height() * kTwips * 0.85) / 2 - core::N(heightTwips) / 2;
    int left = core::N(screen.width() * kTwips) / 2 - core::N(widthTwips) / 2;
    if (top < 0) top = 0;
    if (left < 0) left = 0;
    window.move(screen.x() + core::N(static_cast<double>(left) / kTwips),
                screen.y() + core::N(static_cast<double>(top) / kTwips));
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
    QMessageBox box(icon, caption, prompt, QMessageBox::Ok, MainWindow());
    box.exec();
}

void SetMessageSinkForTests(std::function<void(const QString& prompt, int kind, const QString& title)> sink) {
    MessageSink() = std::move(sink);
}

}  // namespace app
