#include "widgets/WindowHelpers.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QWidget>
#include <cmath>

#include "core/Rounding.h"
#include "core/Units.h"

namespace app {

namespace {

QScreen* ScreenOf(const QWidget& window) {
    QScreen* screen = window.screen();
    return screen != nullptr ? screen : QGuiApplication::primaryScreen();
}

}  // namespace

void CenterForm(QWidget& window) {
    const QRect outer = window.frameGeometry();
    CenterForm(window, outer.width() * core::kTwipsPerPixel, outer.height() * core::kTwipsPerPixel);
}

void CenterForm(QWidget& window, int widthTwips, int heightTwips) {
    constexpr int kTwips = core::kTwipsPerPixel;
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

void ShowMessage(QWidget* owner, const QString& prompt, int kind, const QString& title,
                 const program::MessageSink& sink) {
    const QString caption = title.isEmpty() ? program::kAppTitle : title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (kind) {
        case program::kMessageInformation:
            icon = QMessageBox::Information;
            break;
        case program::kMessageWarning:
            icon = QMessageBox::Warning;
            break;
        case program::kMessageError:
            icon = QMessageBox::Critical;
            break;
        case program::kMessageQuestion:
            icon = QMessageBox::Question;
            break;
        default:
            return;
    }
    if (sink) {
        sink(prompt, kind, caption);
        return;
    }
    QMessageBox box(icon, caption, prompt, QMessageBox::Ok, owner);
    box.exec();
}

}  // namespace app
