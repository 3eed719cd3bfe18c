// The handle table of the raster layer: device contexts, selection of bitmaps
// into them, deletion, GetObjectA and the live-handle count.
#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <variant>

#include "raster/RasterObjects.h"

namespace gdi {
namespace detail {
namespace {

// The stock 1 x 1 monochrome bitmap every new memory DC starts with. It is
// never deleted and may be selected into any number of DCs.
constexpr HBITMAP kStockBitmap = 1;
constexpr HWND kDesktopWindow = 2;
constexpr HANDLE kFirstHandle = 16;

struct Table {
    std::mutex mutex;
    std::unordered_map<HANDLE, std::unique_ptr<Bitmap>> bitmaps;
    std::unordered_map<HANDLE, std::unique_ptr<DeviceContext>> dcs;
    HANDLE next = kFirstHandle;  // handles are never reused
    Bitmap stock;

    Table() {
        stock.width = 1;
        stock.height = 1;
        stock.bitCount = 1;
        stock.isDib = false;
        stock.stock = true;
        stock.stride = 4;
        stock.owned = AllocatePixels(4);
        stock.memory = stock.owned.get();
        stock.colors = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
        SetRowAddressing(stock);
    }
};

Table& TheTable() {
    static Table table;
    return table;
}

HDC AddDC(bool screen) {
    Table& t = TheTable();
    std::lock_guard lock(t.mutex);
    auto dc = std::make_unique<DeviceContext>();
    dc->screen = screen;
    dc->bitmap = screen ? 0 : kStockBitmap;
    const HDC h = t.next++;
    t.dcs.emplace(h, std::move(dc));
    return h;
}

Bitmap* FindBitmapLocked(Table& t, HGDIOBJ handle) {
    if (handle == kStockBitmap) return &t.stock;
    const auto it = t.bitmaps.find(handle);
    return it == t.bitmaps.end() ? nullptr : it->second.get();
}

}  // namespace

std::int64_t DibStride(std::int64_t width, int bitCount) {
    if (width <= 0 || width > (std::int64_t{1} << 30)) return -1;
    return ((width * bitCount + 31) / 32) * 4;
}

void SetRowAddressing(Bitmap& b) {
    if (b.topDown) {
        b.top = b.memory;
        b.pitch = b.stride;
    } else {
        b.top = b.memory + static_cast<std::ptrdiff_t>(b.height - 1) * b.stride;
        b.pitch = -b.stride;
    }
}

Bitmap* FindBitmap(HGDIOBJ handle) {
    Table& t = TheTable();
    std::lock_guard lock(t.mutex);
    return FindBitmapLocked(t, handle);
}

DeviceContext* FindDC(HDC handle) {
    Table& t = TheTable();
    std::lock_guard lock(t.mutex);
    const auto it = t.dcs.find(handle);
    return it == t.dcs.end() ? nullptr : it->second.get();
}

Bitmap* SelectedBitmap(HDC handle) {
    Table& t = TheTable();
    std::lock_guard lock(t.mutex);
    const auto it = t.dcs.find(handle);
    if (it == t.dcs.end() || it->second->bitmap == 0) return nullptr;
    return FindBitmapLocked(t, it->second->bitmap);
}

HBITMAP AddBitmap(std::unique_ptr<Bitmap> bitmap) {
    Table& t = TheTable();
    std::lock_guard lock(t.mutex);
    const HBITMAP h = t.next++;
    t.bitmaps.emplace(h, std::move(bitmap));
    return h;
}

}  // namespace detail

using detail::TheTable;

HDC CreateDCA(const char* driver, const char*, const char*, const void*) {
    if (driver == nullptr || std::strcmp(driver, "DISPLAY") != 0) return 0;
    return detail::AddDC(true);
}

HDC CreateCompatibleDC(HDC hdc) {
    if (hdc != 0 && detail::FindDC(hdc) == nullptr) return 0;
    return detail::AddDC(false);
}

BOOL DeleteDC(HDC hdc) {
    auto& t = TheTable();
    std::lock_guard lock(t.mutex);
    const auto it = t.dcs.find(hdc);
    if (it == t.dcs.end()) return 0;
    // The selected bitmap survives its DC (as in GDI); it is merely free again.
    if (detail::Bitmap* b = detail::FindBitmapLocked(t, it->second->bitmap); b != nullptr && !b->stock) {
        b->selectedInto = 0;
    }
    t.dcs.erase(it);
    return 1;
}

HWND GetDesktopWindow() {
    return detail::kDesktopWindow;
}

HDC GetDC(HWND hwnd) {
    if (hwnd != 0 && hwnd != detail::kDesktopWindow) return 0;
    return detail::AddDC(true);
}

int ReleaseDC(HWND, HDC hdc) {
    const detail::DeviceContext* dc = detail::FindDC(hdc);
    if (dc == nullptr || !dc->screen) return 0;
    return DeleteDC(hdc);
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj) {
    auto& t = TheTable();
    std::lock_guard lock(t.mutex);
    const auto it = t.dcs.find(hdc);
    if (it == t.dcs.end() || it->second->screen) return 0;
    detail::DeviceContext& dc = *it->second;
    detail::Bitmap* b = detail::FindBitmapLocked(t, obj);
    if (b == nullptr) return 0;
    if (!b->stock && b->selectedInto != 0 && b->selectedInto != hdc) return 0;
    const HGDIOBJ previous = dc.bitmap;
    if (detail::Bitmap* old = detail::FindBitmapLocked(t, previous); old != nullptr && !old->stock) {
        old->selectedInto = 0;
    }
    if (!b->stock) b->selectedInto = hdc;
    dc.bitmap = obj;
    return previous;
}

BOOL DeleteObject(HGDIOBJ obj) {
    auto& t = TheTable();
    std::lock_guard lock(t.mutex);
    if (obj == detail::kStockBitmap) return 1;  // stock objects are never deleted
    const auto it = t.bitmaps.find(obj);
    if (it == t.bitmaps.end() || it->second->selectedInto != 0) return 0;
    t.bitmaps.erase(it);
    return 1;
}

int GetObjectA(HGDIOBJ obj, int size, void* out) {
    const detail::Bitmap* b = detail::FindBitmap(obj);
    if (b == nullptr) return 0;
    if (out == nullptr) return static_cast<int>(sizeof(BITMAP));
    if (size <= 0) return 0;
    BITMAP bm{};
    bm.bmType = 0;
    bm.bmWidth = b->width;
    bm.bmHeight = b->height;
    bm.bmWidthBytes = static_cast<LONG>(b->stride);
    bm.bmPlanes = 1;
    bm.bmBitsPixel = static_cast<WORD>(b->bitCount);
    bm.bmBits = b->isDib ? b->memory : nullptr;
    // A caller with the 32-bit layout of BITMAP passes 24: fill what fits.
    const std::size_t n = std::min(static_cast<std::size_t>(size), sizeof(BITMAP));
    std::memcpy(out, &bm, n);
    return static_cast<int>(n);
}

int SetStretchBltMode(HDC hdc, int mode) {
    if (mode < BLACKONWHITE || mode > HALFTONE) return 0;
    detail::DeviceContext* dc = detail::FindDC(hdc);
    if (dc == nullptr) return 0;
    const int previous = dc->stretchMode;
    dc->stretchMode = mode;
    return previous;
}

int GetStretchBltMode(HDC hdc) {
    const detail::DeviceContext* dc = detail::FindDC(hdc);
    return dc == nullptr ? 0 : dc->stretchMode;
}

std::size_t LiveHandleCount() {
    auto& t = TheTable();
    std::lock_guard lock(t.mutex);
    return t.bitmaps.size() + t.dcs.size();
}

}  // namespace gdi
