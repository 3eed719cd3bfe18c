// RAII owners for raster-layer handles, so that every DC and bitmap is
// released on every path, in GDI's order: previous bitmap selected back,
// bitmap deleted, DC deleted. Declare the owners in that reverse order
// (UniqueDC, then UniqueBitmap, then SelectionGuard) and destruction does it.
#pragma once

#include <utility>

#include "raster/gdi.h"

namespace gdi {

// Owns one handle and frees it with Free(handle) unless it is 0.
template <typename Handle, auto Free>
class UniqueHandle {
  public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle h) : h_(h) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : h_(std::exchange(other.h_, 0)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(std::exchange(other.h_, 0));
        return *this;
    }
    ~UniqueHandle() { reset(); }

    Handle get() const { return h_; }
    explicit operator bool() const { return h_ != 0; }
    // Gives up ownership without freeing.
    Handle release() { return std::exchange(h_, 0); }
    void reset(Handle h = 0) {
        if (h_ != 0) Free(h_);
        h_ = h;
    }

  private:
    Handle h_ = 0;
};

using UniqueDC = UniqueHandle<HDC, DeleteDC>;
using UniqueBitmap = UniqueHandle<HBITMAP, DeleteObject>;

// A DC from GetDC, given back with ReleaseDC.
class WindowDC {
  public:
    explicit WindowDC(HWND hwnd) : hwnd_(hwnd), hdc_(GetDC(hwnd)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() {
        if (hdc_ != 0) ReleaseDC(hwnd_, hdc_);
    }
    HDC get() const { return hdc_; }

  private:
    HWND hwnd_;
    HDC hdc_;
};

// Selects an object into a DC and selects the previous one back on
// destruction. ok() is false when the selection failed (nothing to undo).
class SelectionGuard {
  public:
    SelectionGuard(HDC hdc, HGDIOBJ obj) : hdc_(hdc), previous_(SelectObject(hdc, obj)) {}
    SelectionGuard(const SelectionGuard&) = delete;
    SelectionGuard& operator=(const SelectionGuard&) = delete;
    ~SelectionGuard() {
        if (previous_ != 0) SelectObject(hdc_, previous_);
    }
    bool ok() const { return previous_ != 0; }
    HGDIOBJ previous() const { return previous_; }

  private:
    HDC hdc_;
    HGDIOBJ previous_;
};

}  // namespace gdi
