#include "platform/qt/WindowSizeHold.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QResizeEvent>
#include <QTimer>
#include <QWindow>

#ifdef KORVEL_HAVE_QPA
#include <qpa/qplatformwindow.h>
#endif

namespace platform {

namespace {

constexpr int kHoldMs = 3000;
constexpr int kMaxReapply = 4;

class SizeHold : public QObject {
  public:
    SizeHold(QWindow& window, QSize previous, std::function<void()> reapply)
        : QObject(&window), previous_(previous), reapply_(std::move(reapply)) {
        window.installEventFilter(this);
        QTimer::singleShot(kHoldMs, this, &QObject::deleteLater);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose) ResendGeometry(*static_cast<QWindow*>(watched));
        if (event->type() != QEvent::Resize || reapplied_ >= kMaxReapply) return false;
        const auto* window = static_cast<const QWindow*>(watched);
        if (static_cast<const QResizeEvent*>(event)->size() != previous_) return false;
        if (window->windowStates() & (Qt::WindowMaximized | Qt::WindowFullScreen)) return false;
        ++reapplied_;
        // Not from inside the resize itself.
        QTimer::singleShot(0, this, [this] { reapply_(); });
        return false;
    }

  private:
    // Qt tells the compositor a new size as the window's geometry
    // (xdg_surface.set_window_geometry) only while the window counts as
    // exposed. A size set while it did not (a window mapped anew, frame
    // callbacks late) reaches the compositor only as a buffer, whose size
    // includes the shadow of Qt's own title bar; mutter then takes the old
    // geometry for the window's and puts it back to that size at its next
    // configure, when the focus changes. So the geometry is sent once more
    // when the window is exposed again, with the next frame.
    void ResendGeometry(QWindow& window) {
#ifdef KORVEL_HAVE_QPA
        if (resent_ || !window.isExposed() || window.size() == previous_ || window.handle() == nullptr)
            return;
        resent_ = true;
        QTimer::singleShot(0, this, [&window] {
            window.handle()->setGeometry(window.handle()->geometry());
            window.requestUpdate();
        });
#else
        (void)window;
#endif
    }

    bool resent_ = false;
    QSize previous_;
    std::function<void()> reapply_;
    int reapplied_ = 0;
};

}  // namespace

bool PlacedByCompositor() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void HoldRequestedSize(QWindow& window, QSize previous, std::function<void()> reapply) {
    if (!PlacedByCompositor()) return;
    // Qt-owned: a child of the window, gone after the hold or with the window.
    new SizeHold(window, previous, std::move(reapply));
}

}  // namespace platform
