#include "dialogs/frmInfo.h"

#include <QAccessible>
#include <QApplication>
#include <QGuiApplication>
#include <QPalette>
#include <QWindow>

#include "widgets/WindowHelpers.h"

namespace {

bool OnWayland() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

// On Wayland a top-level window takes the keyboard when it maps, and the
// compositor places it where it likes. A notice with an owner is a popup of
// the owner there instead (an xdg_popup without a grab): it never takes the
// keyboard, and it sits where the program puts it relative to the owner.
// Elsewhere it is a frameless tool window that does not take the focus.
Qt::WindowFlags NoticeFlags(const QWidget* owner) {
    const Qt::WindowFlags common = Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus;
    return (owner != nullptr && OnWayland() ? Qt::ToolTip : Qt::Tool) | common;
}

// The one notice on screen, found among the application's windows: Qt owns
// it, and it is deleted when it closes (WA_DeleteOnClose) or with its owner.
frmInfo* NoticeOnScreen() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* notice = qobject_cast<frmInfo*>(window)) return notice;
    }
    return nullptr;
}

}  // namespace

frmInfo::frmInfo(QWidget* parent) : QWidget(parent, NoticeFlags(parent)), message_(this), noticeTimer_(this) {
    message_.setObjectName(QStringLiteral("Label2"));
    noticeTimer_.setObjectName(QStringLiteral("Timer1"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    // On X11 the notice gets a visual with an alpha channel, filled opaque
    // below. mutter as an X11 compositing manager (mutter --x11, GNOME through
    // XWayland) leaves a small window of the screen's own 24-bit visual that
    // maps after the editor out of what it draws, whatever its type: the
    // notice was mapped and on top, yet not one of its pixels reached the
    // screen. A 32-bit window it draws at once, as every other X11 desktop
    // does.
    if (!OnWayland()) setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusPolicy(Qt::NoFocus);
    setWindowTitle(QString());
    setFixedSize(259, 55);

    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    black.setColor(QPalette::WindowText, QColor(0, 255, 0));
    setPalette(black);
    setAutoFillBackground(true);

    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(14.25);
    font.setBold(true);
    message_.setFont(font);
    message_.setText(QStringLiteral("Bild gespeichert."));
    message_.setAlignment(Qt::AlignCenter);
    message_.setPalette(black);
    message_.setAutoFillBackground(true);
    message_.setGeometry(16, 14, 229, 25);
    message_.setFocusPolicy(Qt::NoFocus);

    noticeTimer_.setTimerType(Qt::PreciseTimer);
    noticeTimer_.setInterval(kShowMilliseconds);
    noticeTimer_.setSingleShot(false);
    connect(&noticeTimer_, &QTimer::timeout, this, &frmInfo::OnNoticeTimer);
    Form_Load();
}

void frmInfo::Form_Load() {
    app::CenterForm(*this);
    app::SetTopMost(*this);
    // The editor is centred on the screen as the notice is; on Wayland, where
    // only a position relative to the owner counts, the notice is centred
    // over the owner itself. Qt takes that position relative to the owner's
    // window as the platform knows it, which on Wayland stays where the
    // compositor put it, whatever the editor last asked for (its centring on
    // the screen after a fit): measured from the widget's idea of its place,
    // the notice would lie outside the owner, and mutter closes such a popup
    // at once.
    if (windowType() == Qt::ToolTip && parentWidget() != nullptr) {
        const QWidget& owner = *parentWidget()->window();
        const QRect place =
            owner.windowHandle() != nullptr ? owner.windowHandle()->geometry() : owner.geometry();
        move(place.center() - QPoint(width() / 2, height() / 2));
    }
}

void frmInfo::OnNoticeTimer() {
    noticeTimer_.stop();
    close();
}

void frmInfo::ShowAndRestart() {
    show();
    raise();
    noticeTimer_.start();  // (re)starts the full 2000 ms
    // A screen reader announces the notice; the keyboard stays where it was.
    setAccessibleName(message_.text());
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

namespace dialogs {

void ShowSavedNotice(QWidget* owner) {
    frmInfo* shown = NoticeOnScreen();
    if (shown == nullptr) shown = new frmInfo(owner);  // Qt-owned: deleted on close or with its owner
    shown->ShowAndRestart();
}

frmInfo* SavedNotice() {
    return NoticeOnScreen();
}

}  // namespace dialogs
