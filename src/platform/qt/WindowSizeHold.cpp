#include "platform/qt/WindowSizeHold.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QResizeEvent>
#include <QTimer>
#include <QWindow>

namespace platform {

namespace {

constexpr int kHoldMs = 1000;
constexpr int kMaxReapply = 2;

class SizeHold : public QObject {
  public:
    SizeHold(QWindow& window, QSize previous, std::function<void()> reapply)
        : QObject(&window), previous_(previous), reapply_(std::move(reapply)) {
        window.installEventFilter(this);
        QTimer::singleShot(kHoldMs, this, &QObject::deleteLater);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
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
