// Notices a native window that goes away behind Qt's back. Another X client
// may destroy any window on the display (a window killer, a script); Qt does
// not notice, and the window's QWindow still counts as shown. On other
// platforms a window goes only through the program itself or a close request,
// which Qt reports on its own, so nothing is watched there.
#pragma once

#include <functional>
#include <memory>

class QAbstractNativeEventFilter;
class QWindow;

namespace platform {

class NativeWindowWatch {
  public:
    // Calls `gone` once the native window of `window` (created by now) is
    // destroyed. The watch ends with this object.
    NativeWindowWatch(const QWindow& window, std::function<void()> gone);
    ~NativeWindowWatch();
    NativeWindowWatch(const NativeWindowWatch&) = delete;
    NativeWindowWatch& operator=(const NativeWindowWatch&) = delete;

  private:
    std::unique_ptr<QAbstractNativeEventFilter> filter_;
};

}  // namespace platform
