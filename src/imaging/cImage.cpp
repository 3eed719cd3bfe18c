// cImage: creation, release and the copies into the image.
#include "imaging/cImage.h"

#include <algorithm>
#include <limits>

#include "raster/GdiHandles.h"

namespace {

// Signed 32-bit arithmetic that raises overflow instead of wrapping.
std::int32_t Checked(std::int64_t v) {
    if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max()) {
        throw cImageError::Overflow();
    }
    return static_cast<std::int32_t>(v);
}

bool SupportedDepth(std::int16_t bitCount) {
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 24;
}

}  // namespace

cImage::cImage() = default;

cImage::~cImage() {
    Release();
}

std::int32_t cImage::BytesPerScanLine() const {
    const std::int64_t w = Width();
    std::int32_t bytes = 0;
    switch (BitCount()) {
        case 1:
            bytes = Checked(Checked(w - 1) / 8 + 4);
            break;
        case 4:
            bytes = Checked(Checked(w - 1) / 2 + 4);
            break;
        case 8:
            bytes = Checked(w + 3);
            break;
        default:
            bytes = Checked(Checked(3 * w) + 3);
            break;
    }
    return bytes & ~3;
}

void cImage::Release() {
    if (hDC_ != 0) {
        if (hBmp_ != 0) {
            gdi::SelectObject(session_, hDC_, hBmpOld_);
            gdi::DeleteObject(session_, hBmp_);
        }
        gdi::DeleteDC(session_, hDC_);
    }
    hBmp_ = 0;
    hBmpOld_ = 0;
    hDC_ = 0;
    bits_ = nullptr;
    // An empty image reports size and depth 0, not those of the image it held.
    bmi_.bmiHeader = {};
}

bool cImage::Create(std::int32_t lWidth, std::int32_t lHeight, std::int16_t iBitCount) {
    Release();
    gdi::UniqueDC dc;
    if (iBitCount == 1 || iBitCount == 4 || iBitCount == 8) {
        const gdi::UniqueDC display(session_, gdi::CreateDCA(session_, "DISPLAY", nullptr, nullptr, nullptr));
        if (display) dc = gdi::UniqueDC(session_, gdi::CreateCompatibleDC(session_, display.get()));
    } else if (iBitCount == 24) {
        dc = gdi::UniqueDC(session_, gdi::CreateCompatibleDC(session_, 0));
    }
    if (!dc || !SupportedDepth(iBitCount)) return false;

    gdi::BITMAPINFOHEADER& h = bmi_.bmiHeader;
    h = {};
    h.biSize = sizeof(gdi::BITMAPINFOHEADER);
    h.biWidth = lWidth;
    h.biHeight = lHeight;
    h.biPlanes = 1;
    h.biBitCount = static_cast<gdi::WORD>(iBitCount);
    h.biCompression = gdi::BI_RGB;
    try {
        h.biSizeImage =
            static_cast<gdi::DWORD>(Checked(std::int64_t{BytesPerScanLine()} * std::int64_t{lHeight}));
    } catch (const cImageError&) {
        h = {};
        throw;
    }
    if (iBitCount != 24) {
        const int levels = 1 << iBitCount;
        for (int i = 0; i < levels; ++i) {
            const auto g = static_cast<gdi::BYTE>(i * 255 / (levels - 1));
            bmi_.bmiColors[i] = {g, g, g, 0};
        }
    }

    void* bits = nullptr;
    const gdi::HBITMAP bmp =
        gdi::CreateDIBSection(session_, dc.get(), &bmi_, gdi::DIB_RGB_COLORS, &bits, 0, 0);
    if (bmp == 0) {
        h = {};
        return false;  // dc is deleted on the way out
    }
    hDC_ = dc.release();
    hBmp_ = bmp;
    bits_ = bits;
    hBmpOld_ = gdi::SelectObject(session_, hDC_, hBmp_);
    return true;
}

bool cImage::CopyStdPicture(StdPicture& TheStdPicture, std::int16_t& iBitCount) {
    // The picture's bitmap is read through a DC of the picture's own session.
    gdi::Session& from = TheStdPicture.Handles();
    const gdi::HBITMAP picture = TheStdPicture.Handle();
    gdi::BITMAP bm{};
    gdi::GetObjectA(from, picture, sizeof bm, &bm);
    bool copyColourTable = false;
    if (iBitCount == 0) {
        iBitCount = static_cast<std::int16_t>(bm.bmBitsPixel == 16 ? 24 : bm.bmBitsPixel);
        copyColourTable = true;
    }
    if (!Create(bm.bmWidth, bm.bmHeight, iBitCount)) return false;

    gdi::UniqueDC compatible;
    if (BitCount() == 24) {
        const gdi::WindowDC screen(from, gdi::GetDesktopWindow());
        if (screen.get() == 0) return false;
        compatible = gdi::UniqueDC(from, gdi::CreateCompatibleDC(from, screen.get()));
    } else {
        const gdi::UniqueDC screen(from, gdi::CreateDCA(from, "DISPLAY", nullptr, nullptr, nullptr));
        if (!screen) return false;
        compatible = gdi::UniqueDC(from, gdi::CreateCompatibleDC(from, screen.get()));
    }
    if (!compatible) return false;

    // Declared after the DC: the previous object goes back before the DC is deleted.
    const gdi::SelectionGuard selection(from, compatible.get(), picture);
    if (BitCount() == 24) {
        gdi::BitBlt(session_, hDC_, 0, 0, Width(), Height(), from, compatible.get(), 0, 0, gdi::SRCCOPY);
    } else {
        if (copyColourTable) {
            const gdi::UINT n = gdi::GetDIBColorTable(from, compatible.get(), 0, 1u << BitCount(), palette_);
            if (n >= 1) gdi::SetDIBColorTable(session_, hDC_, 0, n, palette_);
        }
        gdi::GetDIBits(from, compatible.get(), picture, 0, static_cast<gdi::UINT>(bm.bmHeight), bits_, &bmi_,
                       gdi::DIB_RGB_COLORS);
    }
    return true;
}

bool cImage::CopyHDC(const gdi::Session& from, gdi::HDC lHDC, std::int32_t lWidth, std::int32_t lHeight,
                     std::int16_t iBitCount, std::int32_t lSrcLeft, std::int32_t lSrcTop) {
    gdi::UINT n = 0;
    if (iBitCount == 0) {
        n = gdi::GetDIBColorTable(from, lHDC, 0, 256, palette_);
        iBitCount = n == 0 ? 24 : n <= 2 ? 1 : n <= 16 ? 4 : 8;
    }
    if (!Create(lWidth, lHeight, iBitCount)) return false;
    if (n > 0) gdi::SetDIBColorTable(session_, hDC_, 0, n, palette_);
    gdi::BitBlt(session_, hDC_, 0, 0, lWidth, lHeight, from, lHDC, lSrcLeft, lSrcTop, gdi::SRCCOPY);
    return true;
}

bool cImage::CopyPalletHDC(const gdi::Session& from, gdi::HDC lHDC) {
    // 2^BitCount entries, but never more than the scratch table holds.
    const gdi::UINT wanted = BitCount() >= 0 && BitCount() < 9 ? 1u << BitCount() : 256u;
    const gdi::UINT n = gdi::GetDIBColorTable(from, lHDC, 0, std::min(wanted, 256u), palette_);
    if (n < 1) return false;
    return gdi::SetDIBColorTable(session_, hDC_, 0, n, palette_) == n;
}

void cImage::PaintHDC(gdi::Session& to, gdi::HDC lHDC, std::int32_t lDestLeft, std::int32_t lDestTop,
                      gdi::DWORD eRop) const {
    gdi::BitBlt(to, lHDC, lDestLeft, lDestTop, Width(), Height(), session_, hDC_, 0, 0, eRop);
}
