#include "app/WindowHelpers.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QWidget>
#include <cmath>

#include "core/Rounding.h"
#include "editor/frmCapture.h"
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

}  // namespace

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
    int top = core::N(screen.height() * kTwips * 0.85) / 2 - core::N(heightTwips) / 2;
    int left = core::N(screen.width() * kTwips) / 2 - core::N(widthTwips) / 2;
    if (top < 0) top = 0;
    if (left < 0) left = 0;
    window.move(screen.x() + core::N(static_cast<double>(left) / kTwips),
                screen.y() + core::N(static_cast<double>(top) / kTwips));
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
