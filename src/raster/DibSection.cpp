// DIB sections (bitmaps with pixel memory the caller can address), bitmaps
// over memory someone else owns, and their colour tables.
#include <algorithm>
#include <limits>
#include <new>

#include "raster/RasterObjects.h"

namespace gdi {
namespace {

// Largest pixel memory a DIB section may have (2 GiB), so that every offset
// fits the signed 32-bit values of the interface.
constexpr std::int64_t kMaxImageBytes = std::int64_t{1} << 31;

bool SupportedDepth(int bitCount) {
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 ||
           bitCount == 32;
}

// Checks a header and fills size, depth and row order of b. False when the
// header describes nothing this layer can hold.
bool DescribeFromHeader(const BITMAPINFOHEADER& h, detail::Bitmap& b) {
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biCompression != BI_RGB || h.biPlanes != 1) return false;
    if (!SupportedDepth(h.biBitCount) || h.biWidth <= 0 || h.biHeight == 0) return false;
    if (h.biHeight == std::numeric_limits<LONG>::min()) return false;
    b.width = h.biWidth;
    b.height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    b.bitCount = h.biBitCount;
    b.topDown = h.biHeight < 0;
    return true;
}

std::size_t TableSize(const BITMAPINFOHEADER& h) {
    if (h.biBitCount > 8) return 0;
    const std::size_t full = std::size_t{1} << h.biBitCount;
    return (h.biClrUsed == 0 || h.biClrUsed > full) ? full : h.biClrUsed;
}

}  // namespace

HBITMAP CreateDIBSection(Session& s, HDC hdc, const BITMAPINFO* bmi, UINT usage, void** bits, HANDLE section,
                         DWORD) {
    if (bits != nullptr) *bits = nullptr;
    if (bmi == nullptr || usage != DIB_RGB_COLORS || section != 0) return 0;
    if (hdc != 0 && detail::FindDC(s, hdc) == nullptr) return 0;
    auto b = std::make_unique<detail::Bitmap>();
    if (!DescribeFromHeader(bmi->bmiHeader, *b)) return 0;
    const std::int64_t stride = detail::DibStride(b->width, b->bitCount);
    if (stride < 0 || stride * b->height > kMaxImageBytes) return 0;
    try {
        b->owned = detail::AllocatePixels(static_cast<std::size_t>(stride * b->height));
        b->colors.assign(bmi->bmiColors, bmi->bmiColors + TableSize(bmi->bmiHeader));
    } catch (const std::bad_alloc&) {
        return 0;
    }
    b->memory = b->owned.get();
    b->stride = static_cast<std::ptrdiff_t>(stride);
    detail::SetRowAddressing(*b);
    void* const memory = b->memory;
    const HBITMAP h = detail::AddBitmap(s, std::move(b));
    if (h != 0 && bits != nullptr) *bits = memory;
    return h;
}

HBITMAP WrapDIBits(Session& s, const BITMAPINFOHEADER& header, void* bits, std::ptrdiff_t stride) {
    auto b = std::make_unique<detail::Bitmap>();
    if (bits == nullptr || !DescribeFromHeader(header, *b) || header.biBitCount <= 8) return 0;
    if (stride < detail::DibStride(b->width, b->bitCount)) return 0;
    b->memory = static_cast<std::uint8_t*>(bits);
    b->stride = stride;
    // Wrapped memory belongs to a toolkit image that reads the fourth byte of
    // a 32-bit pixel as alpha: keep what the layer writes opaque.
    b->unusedByte = 0xFF;
    detail::SetRowAddressing(*b);
    return detail::AddBitmap(s, std::move(b));
}

UINT GetDIBColorTable(const Session& s, HDC hdc, UINT start, UINT count, RGBQUAD* colors) {
    const detail::Bitmap* b = detail::SelectedBitmap(s, hdc);
    if (b == nullptr || !b->isDib || colors == nullptr || start >= b->colors.size()) return 0;
    const UINT n = std::min<UINT>(count, static_cast<UINT>(b->colors.size()) - start);
    std::copy_n(b->colors.begin() + start, n, colors);
    return n;
}

UINT SetDIBColorTable(Session& s, HDC hdc, UINT start, UINT count, const RGBQUAD* colors) {
    detail::Bitmap* b = detail::SelectedBitmap(s, hdc);
    if (b == nullptr || !b->isDib || colors == nullptr || start >= b->colors.size()) return 0;
    const UINT n = std::min<UINT>(count, static_cast<UINT>(b->colors.size()) - start);
    std::copy_n(colors, n, b->colors.begin() + start);
    return n;
}

DibRows SelectedDibRows(const Session& s, HDC hdc) {
    const detail::Bitmap* b = detail::SelectedBitmap(s, hdc);
    if (b == nullptr || !b->isDib) return {};
    return {b->top, b->pitch, b->width, b->height, b->bitCount};
}

}  // namespace gdi
