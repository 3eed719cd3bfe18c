// A 24-bit DIB section selected into a memory DC of its own: the picture the
// encoder samples from. Released in the fixed order: previous bitmap
// selected back, bitmap deleted, DC deleted.
#pragma once

#include <cstdint>

#include "raster/gdi.h"

namespace jpeg {

class WorkBitmap {
  public:
    WorkBitmap() = default;
    WorkBitmap(const WorkBitmap&) = delete;
    WorkBitmap& operator=(const WorkBitmap&) = delete;
    ~WorkBitmap() {
        if (dc_ == 0) return;
        if (bitmap_ != 0) {
            gdi::SelectObject(dc_, previous_);
            gdi::DeleteObject(bitmap_);
        }
        gdi::DeleteDC(dc_);
    }

    // Makes the DC and a bottom-up bitmap of width x height; false when
    // either cannot be made.
    bool Create(int width, int height) {
        dc_ = gdi::CreateCompatibleDC(0);
        if (dc_ == 0) return false;
        gdi::BITMAPINFO info{};
        info.bmiHeader.biSize = 40;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = height;  // positive: rows bottom-up in memory
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = gdi::BI_RGB;
        info.bmiHeader.biSizeImage = static_cast<gdi::DWORD>(Stride(width) * height);
        void* bits = nullptr;
        bitmap_ = gdi::CreateDIBSection(dc_, &info, gdi::DIB_RGB_COLORS, &bits, 0, 0);
        if (bitmap_ == 0 || bits == nullptr) {
            if (bitmap_ != 0) gdi::DeleteObject(bitmap_);
            bitmap_ = 0;
            return false;
        }
        bits_ = static_cast<std::uint8_t*>(bits);
        height_ = height;
        stride_ = Stride(width);
        previous_ = gdi::SelectObject(dc_, bitmap_);
        return true;
    }

    static std::int64_t Stride(std::int64_t width) { return (3 * width + 3) & ~std::int64_t{3}; }
    gdi::HDC Dc() const { return dc_; }
    std::uint8_t* Bits() const { return bits_; }
    std::int64_t RowBytes() const { return stride_; }
    // Memory of DC row y (rows counted from the top).
    std::uint8_t* Row(int y) const { return bits_ + static_cast<std::int64_t>(height_ - 1 - y) * stride_; }

  private:
    gdi::HDC dc_ = 0;
    gdi::HBITMAP bitmap_ = 0;
    gdi::HGDIOBJ previous_ = 0;
    std::uint8_t* bits_ = nullptr;
    int height_ = 0;
    std::int64_t stride_ = 0;
};

}  // namespace jpeg
