// cImage: an in-memory picture of 1, 4, 8 or 24 bits per pixel, a DIB section
// selected into a memory DC of its own (in a raster session of its own), so
// that other code can blit into it, blit from it and read its pixels in
// memory. It copies picture objects and
// regions of device contexts into itself and makes grey, resized, mirrored
// and turned copies of itself.
//
// Rows lie bottom-up in memory (positive header height); scan lines are
// padded to 4 bytes; palette depths start with a grey colour table.
// Failures are reported by Boolean results; a size that does not fit 32 bits
// raises cImageError 6 (overflow).
#pragma once

#include <cstdint>
#include <memory>

#include "imaging/StdPicture.h"
#include "imaging/cImageError.h"
#include "raster/gdi.h"

class cImage {
  public:
    cImage();
    ~cImage();
    cImage(const cImage&) = delete;
    cImage& operator=(const cImage&) = delete;

    std::int32_t Width() const { return bmi_.bmiHeader.biWidth; }
    std::int32_t Height() const { return bmi_.bmiHeader.biHeight; }
    std::int16_t BitCount() const { return static_cast<std::int16_t>(bmi_.bmiHeader.biBitCount); }
    gdi::HDC hDC() const { return hDC_; }
    // The session hDC belongs to.
    gdi::Session& Handles() const { return session_; }
    void* DIBitsPtr() const { return bits_; }
    // Bytes of one scan line for the current width and depth; throws
    // cImageError 6 when the figure does not fit a signed 32-bit integer.
    std::int32_t BytesPerScanLine() const;

    // A black image of this size and depth (1, 4, 8 or 24; anything else
    // returns false and leaves the image empty).
    bool Create(std::int32_t lWidth, std::int32_t lHeight, std::int16_t iBitCount);
    // Copies a picture. iBitCount 0 keeps the picture's depth (16 bits become
    // 24) and its colour table, and is set to the depth chosen.
    bool CopyStdPicture(StdPicture& TheStdPicture, std::int16_t& iBitCount);
    // Copies a region of a DC of session `from`. iBitCount 0 chooses the
    // depth from the size of the colour table of the DC's bitmap (none: 24
    // bits).
    bool CopyHDC(const gdi::Session& from, gdi::HDC lHDC, std::int32_t lWidth, std::int32_t lHeight,
                 std::int16_t iBitCount, std::int32_t lSrcLeft, std::int32_t lSrcTop);
    // Takes over the colour table of the bitmap selected into lHDC.
    bool CopyPalletHDC(const gdi::Session& from, gdi::HDC lHDC);
    // Blits the whole image to lHDC of session `to` with the raster operation eRop.
    void PaintHDC(gdi::Session& to, gdi::HDC lHDC, std::int32_t lDestLeft, std::int32_t lDestTop,
                  gdi::DWORD eRop) const;

    // New images; this one is never changed.
    std::unique_ptr<cImage> Greyscale() const;
    std::unique_ptr<cImage> Resample(std::int32_t lWidth, std::int32_t lHeight) const;
    std::unique_ptr<cImage> Mirror(bool Vertical) const;
    // 90, 180 or 270 degrees counter-clockwise (taken modulo 360); any other
    // angle gives nullptr.
    std::unique_ptr<cImage> Rotate(std::int32_t Degrees) const;

  private:
    void Release();
    // A new image of this one's depth (and colour table) at the given size.
    std::unique_ptr<cImage> MakeLike(std::int32_t lWidth, std::int32_t lHeight) const;
    void FillFrom(cImage& target, const gdi::POINT (&points)[3]) const;

    // Declared first, so that it ends after the handles below are given back.
    // Mutable: drawing from this image into another is a const operation.
    mutable gdi::Session session_;
    gdi::HBITMAP hBmp_ = 0;
    gdi::HGDIOBJ hBmpOld_ = 0;
    gdi::HDC hDC_ = 0;
    void* bits_ = nullptr;
    gdi::BITMAPINFO bmi_{};
    gdi::RGBQUAD palette_[256]{};
};
