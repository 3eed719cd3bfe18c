#include "platform/qt/NativeWindowWatch.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QWindow>

#include "platform/qt/X11Clipboard.h"

#ifdef KORVEL_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace platform {

namespace {

#ifdef KORVEL_HAVE_XCB
// Qt selects structure events on its own windows, so the X server reports
// the destruction of one to this program whoever destroyed it.
class DestroyFilter : public QAbstractNativeEventFilter {
  public:
    DestroyFilter(WId window, std::function<void()> gone) : window_(window), gone_(std::move(gone)) {}
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* /*result*/) override {
        if (eventType != "xcb_generic_event_t" || !gone_) return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7F) != XCB_DESTROY_NOTIFY) return false;
        const auto* destroy = static_cast<const xcb_destroy_notify_event_t*>(message);
        if (destroy->window != window_) return false;
        // Once only: the callback may well close or delete the window.
        const std::function<void()> gone = std::move(gone_);
        gone_ = nullptr;
        gone();
        return false;
    }

  private:
    WId window_;
    std::function<void()> gone_;
};
#endif

}  // namespace

NativeWindowWatch::NativeWindowWatch(const QWindow& window, std::function<void()> gone) {
#ifdef KORVEL_HAVE_XCB
    if (IsX11() && window.handle() != nullptr) {
        filter_ = std::make_unique<DestroyFilter>(window.winId(), std::move(gone));
        QCoreApplication::instance()->installNativeEventFilter(filter_.get());
    }
#else
    (void)window;
    (void)gone;
#endif
}

NativeWindowWatch::~NativeWindowWatch() {
    if (filter_ && QCoreApplication::instance() != nullptr)
        QCoreApplication::instance()->removeNativeEventFilter(filter_.get());
}

}  // namespace platform
