// GetDIBits: copies scan lines of a bitmap into caller memory in the depth
// and row order that a bitmap header describes.
//
// Scan line numbers follow the caller's row order: for a bottom-up header
// line 0 is the bottom row of the bitmap and bits receives lines upward; for
// a top-down header line 0 is the top row. At most min(lines, |biHeight|)
// rows of the header's width are written; pixels beyond the bitmap's width
// are left alone.
//
// Colour tables: when the caller asks for the bitmap's own palette depth the
// indices are copied as they are and bmiColors receives the bitmap's table;
// for another palette depth the colours are matched into the table the
// caller supplies in bmiColors.
#include <algorithm>

#include "raster/Blit.h"

namespace gdi {
namespace {

bool OutputDepth(int bitCount) {
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 ||
           bitCount == 32;
}

}  // namespace

int GetDIBits(const Session& session, HDC hdc, HBITMAP hbm, UINT start, UINT lines, void* bits,
              BITMAPINFO* bmi, UINT usage) {
    if (detail::FindDC(session, hdc) == nullptr || bmi == nullptr || usage != DIB_RGB_COLORS) return 0;
    const detail::Bitmap* b = detail::FindBitmap(session, hbm);
    if (b == nullptr) return 0;
    BITMAPINFOHEADER& h = bmi->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER)) return 0;

    if (bits == nullptr) {
        // Describe the bitmap: its size, and its depth unless one was asked for.
        h.biWidth = b->width;
        h.biHeight = b->height;
        h.biPlanes = 1;
        if (h.biBitCount == 0) h.biBitCount = static_cast<WORD>(b->bitCount);
        if (!OutputDepth(h.biBitCount)) return 0;
        h.biCompression = BI_RGB;
        h.biSizeImage = static_cast<DWORD>(detail::DibStride(b->width, h.biBitCount) * b->height);
        if (h.biBitCount <= 8 && b->Indexed() && h.biBitCount == b->bitCount) {
            std::copy(b->colors.begin(), b->colors.end(), bmi->bmiColors);
        }
        return b->height;
    }

    if (!OutputDepth(h.biBitCount) || h.biCompression != BI_RGB || h.biWidth <= 0 || h.biHeight == 0)
        return 0;
    if (start >= static_cast<UINT>(b->height) || lines == 0) return 0;
    const std::int64_t outHeight = h.biHeight < 0 ? -std::int64_t{h.biHeight} : h.biHeight;
    const std::int64_t n =
        std::min<std::int64_t>({std::int64_t{lines}, b->height - std::int64_t{start}, outHeight});
    const std::int64_t stride = detail::DibStride(h.biWidth, h.biBitCount);
    if (stride < 0 || n <= 0) return 0;

    // A view of the caller's memory as a bitmap of n rows in the caller's order.
    detail::Bitmap out;
    out.width = h.biWidth;
    out.height = static_cast<LONG>(n);
    out.bitCount = h.biBitCount;
    out.topDown = h.biHeight < 0;
    out.memory = static_cast<std::uint8_t*>(bits);
    out.stride = static_cast<std::ptrdiff_t>(stride);
    detail::SetRowAddressing(out);
    const bool ownPalette = out.Indexed() && b->Indexed() && out.bitCount == b->bitCount;
    if (ownPalette) {
        out.colors = b->colors;
    } else if (out.Indexed()) {
        out.colors.assign(bmi->bmiColors, bmi->bmiColors + (std::size_t{1} << out.bitCount));
    }

    // Top row of the bitmap that lands in the view's top row.
    const std::int64_t sy = out.topDown ? std::int64_t{start} : b->height - std::int64_t{start} - n;
    detail::BlitArea area{0, 0, 0, sy, out.width, n};
    if (detail::ClipBlit(out, b, area)) detail::BlitRect(out, b, area, SRCCOPY);
    if (ownPalette) std::copy(b->colors.begin(), b->colors.end(), bmi->bmiColors);
    return static_cast<int>(n);
}

}  // namespace gdi
