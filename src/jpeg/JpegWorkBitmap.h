// A 24-bit DIB section selected into a memory DC of its own, in a session of
// its own: the picture a subsampled component is stretched into. Released in
// the fixed order: previous bitmap selected back, bitmap deleted, DC deleted,
// session ended.
#pragma once

#include <cstdint>
#include <optional>

#include "raster/GdiHandles.h"
#include "raster/gdi.h"

namespace jpeg {

class WorkBitmap {
  public:
    // Makes the DC and a bottom-up bitmap of width x height; false when
    // either cannot be made.
    bool Create(int width, int height) {
        dc_ = gdi::UniqueDC(session_, gdi::CreateCompatibleDC(session_, 0));
        if (!dc_) return false;
        gdi::BITMAPINFO info{};
        info.bmiHeader.biSize = 40;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = height;  // positive: rows bottom-up in memory
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = gdi::BI_RGB;
        info.bmiHeader.biSizeImage = static_cast<gdi::DWORD>(Stride(width) * height);
        void* bits = nullptr;
        bitmap_ = gdi::UniqueBitmap(
            session_, gdi::CreateDIBSection(session_, dc_.get(), &info, gdi::DIB_RGB_COLORS, &bits, 0, 0));
        if (!bitmap_ || bits == nullptr) {
            bitmap_.reset();
            return false;
        }
        bits_ = static_cast<std::uint8_t*>(bits);
        height_ = height;
        stride_ = Stride(width);
        selection_.emplace(session_, dc_.get(), bitmap_.get());
        return true;
    }

    static std::int64_t Stride(std::int64_t width) { return (3 * width + 3) & ~std::int64_t{3}; }
    gdi::Session& Handles() { return session_; }
    gdi::HDC Dc() const { return dc_.get(); }
    std::uint8_t* Bits() const { return bits_; }
    std::int64_t RowBytes() const { return stride_; }
    // Memory of DC row y (rows counted from the top).
    std::uint8_t* Row(int y) const { return bits_ + static_cast<std::int64_t>(height_ - 1 - y) * stride_; }

  private:
    // In this order, so that destruction selects the previous bitmap back,
    // then deletes the bitmap, then the DC, then ends the session.
    gdi::Session session_;
    gdi::UniqueDC dc_;
    gdi::UniqueBitmap bitmap_;
    std::optional<gdi::SelectionGuard> selection_;
    std::uint8_t* bits_ = nullptr;
    int height_ = 0;
    std::int64_t stride_ = 0;
};

}  // namespace jpeg
