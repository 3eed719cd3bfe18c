// RAII owners for raster-layer handles, so that every DC and bitmap is
// released on every path, in GDI's order: previous bitmap selected back,
// bitmap deleted, DC deleted. Declare the owners in that reverse order
// (UniqueDC, then UniqueBitmap, then SelectionGuard) and destruction does it.
// Each owner keeps the session its handle belongs to, which must outlive it.
#pragma once

#include <utility>

#include "raster/gdi.h"

namespace gdi {

// Owns one handle of a session and frees it with Free(session, handle)
// unless it is 0.
template <typename Handle, BOOL (*Free)(Session&, Handle)>
class UniqueHandle {
  public:
    UniqueHandle() = default;
    UniqueHandle(Session& session, Handle h) : session_(&session), h_(h) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept
        : session_(std::exchange(other.session_, nullptr)), h_(std::exchange(other.h_, 0)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            reset();
            session_ = std::exchange(other.session_, nullptr);
            h_ = std::exchange(other.h_, 0);
        }
        return *this;
    }
    ~UniqueHandle() { reset(); }

    Handle get() const { return h_; }
    explicit operator bool() const { return h_ != 0; }
    // Gives up ownership without freeing.
    Handle release() { return std::exchange(h_, 0); }
    // Frees the handle held, if any.
    void reset() {
        if (h_ != 0) Free(*session_, h_);
        h_ = 0;
    }

  private:
    Session* session_ = nullptr;
    Handle h_ = 0;
};

using UniqueDC = UniqueHandle<HDC, DeleteDC>;
using UniqueBitmap = UniqueHandle<HBITMAP, DeleteObject>;

// A DC from GetDC, given back with ReleaseDC.
class WindowDC {
  public:
    WindowDC(Session& session, HWND hwnd) : session_(session), hwnd_(hwnd), hdc_(GetDC(session, hwnd)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() {
        if (hdc_ != 0) ReleaseDC(session_, hwnd_, hdc_);
    }
    HDC get() const { return hdc_; }

  private:
    Session& session_;
    HWND hwnd_;
    HDC hdc_;
};

// Selects an object into a DC and selects the previous one back on
// destruction. ok() is false when the selection failed (nothing to undo).
class SelectionGuard {
  public:
    SelectionGuard(Session& session, HDC hdc, HGDIOBJ obj)
        : session_(session), hdc_(hdc), previous_(SelectObject(session, hdc, obj)) {}
    SelectionGuard(const SelectionGuard&) = delete;
    SelectionGuard& operator=(const SelectionGuard&) = delete;
    ~SelectionGuard() {
        if (previous_ != 0) SelectObject(session_, hdc_, previous_);
    }
    bool ok() const { return previous_ != 0; }
    HGDIOBJ previous() const { return previous_; }

  private:
    Session& session_;
    HDC hdc_;
    HGDIOBJ previous_;
};

}  // namespace gdi
