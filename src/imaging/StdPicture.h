// The picture object handed to cImage::CopyStdPicture: the owner of one
// bitmap of the raster layer (its handle is the picture's default property)
// and of the session that bitmap lives in.
#pragma once

#include <memory>

#include "raster/GdiHandles.h"

class StdPicture {
  public:
    StdPicture() = default;
    StdPicture(StdPicture&&) noexcept = default;
    // The bitmap goes before its session does.
    StdPicture& operator=(StdPicture&& other) noexcept {
        bitmap_ = std::move(other.bitmap_);
        session_ = std::move(other.session_);
        return *this;
    }

    // The session the bitmap is made in.
    gdi::Session& Handles() const { return *session_; }
    // Takes over a bitmap made in Handles().
    void Reset(gdi::HBITMAP handle) { bitmap_ = gdi::UniqueBitmap(*session_, handle); }

    gdi::HBITMAP Handle() const { return bitmap_.get(); }
    bool Empty() const { return !bitmap_; }

  private:
    std::unique_ptr<gdi::Session> session_ = std::make_unique<gdi::Session>();
    gdi::UniqueBitmap bitmap_;
};
