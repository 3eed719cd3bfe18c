// The handles of a session: device contexts, selection of bitmaps into them,
// deletion, GetObjectA and the live-handle count.
#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "raster/RasterObjects.h"

namespace gdi {
namespace detail {
namespace {

// The stock 1 x 1 monochrome bitmap every new memory DC starts with. It is
// never deleted and may be selected into any number of DCs.
constexpr HBITMAP kStockBitmap = 1;
constexpr HWND kDesktopWindow = 2;
constexpr HANDLE kFirstHandle = 16;

}  // namespace

// One session's objects. Only the thread using the session touches it.
struct Table {
    std::unordered_map<HANDLE, std::unique_ptr<Bitmap>> bitmaps;
    std::unordered_map<HANDLE, std::unique_ptr<DeviceContext>> dcs;
    HANDLE next = kFirstHandle;  // handles are never reused within a session
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

    HDC AddDC(bool screen) {
        auto dc = std::make_unique<DeviceContext>();
        dc->screen = screen;
        dc->bitmap = screen ? 0 : kStockBitmap;
        const HDC h = next++;
        dcs.emplace(h, std::move(dc));
        return h;
    }

    Bitmap* FindBitmap(HGDIOBJ handle) {
        if (handle == kStockBitmap) return &stock;
        const auto it = bitmaps.find(handle);
        return it == bitmaps.end() ? nullptr : it->second.get();
    }

    DeviceContext* FindDC(HDC handle) {
        const auto it = dcs.find(handle);
        return it == dcs.end() ? nullptr : it->second.get();
    }
};

Table& TableOf(const Session& session) {
    return *session.table_;
}

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

Bitmap* FindBitmap(const Session& session, HGDIOBJ handle) {
    return TableOf(session).FindBitmap(handle);
}

DeviceContext* FindDC(const Session& session, HDC handle) {
    return TableOf(session).FindDC(handle);
}

Bitmap* SelectedBitmap(const Session& session, HDC handle) {
    Table& t = TableOf(session);
    const DeviceContext* dc = t.FindDC(handle);
    if (dc == nullptr || dc->bitmap == 0) return nullptr;
    return t.FindBitmap(dc->bitmap);
}

HBITMAP AddBitmap(Session& session, std::unique_ptr<Bitmap> bitmap) {
    Table& t = TableOf(session);
    const HBITMAP h = t.next++;
    t.bitmaps.emplace(h, std::move(bitmap));
    return h;
}

}  // namespace detail

using detail::TableOf;

Session::Session() : table_(std::make_unique<detail::Table>()) {}

Session::~Session() = default;

std::size_t Session::LiveHandleCount() const {
    return table_->bitmaps.size() + table_->dcs.size();
}

HDC CreateDCA(Session& s, const char* driver, const char*, const char*, const void*) {
    if (driver == nullptr || std::strcmp(driver, "DISPLAY") != 0) return 0;
    return TableOf(s).AddDC(true);
}

HDC CreateCompatibleDC(Session& s, HDC hdc) {
    if (hdc != 0 && detail::FindDC(s, hdc) == nullptr) return 0;
    return TableOf(s).AddDC(false);
}

BOOL DeleteDC(Session& s, HDC hdc) {
    detail::Table& t = TableOf(s);
    const auto it = t.dcs.find(hdc);
    if (it == t.dcs.end()) return 0;
    // The selected bitmap survives its DC (as in GDI); it is merely free again.
    if (detail::Bitmap* b = t.FindBitmap(it->second->bitmap); b != nullptr && !b->stock) {
        b->selectedInto = 0;
    }
    t.dcs.erase(it);
    return 1;
}

HWND GetDesktopWindow() {
    return detail::kDesktopWindow;
}

HDC GetDC(Session& s, HWND hwnd) {
    if (hwnd != 0 && hwnd != detail::kDesktopWindow) return 0;
    return TableOf(s).AddDC(true);
}

int ReleaseDC(Session& s, HWND, HDC hdc) {
    const detail::DeviceContext* dc = detail::FindDC(s, hdc);
    if (dc == nullptr || !dc->screen) return 0;
    return DeleteDC(s, hdc);
}

HGDIOBJ SelectObject(Session& s, HDC hdc, HGDIOBJ obj) {
    detail::Table& t = TableOf(s);
    detail::DeviceContext* dc = t.FindDC(hdc);
    if (dc == nullptr || dc->screen) return 0;
    detail::Bitmap* b = t.FindBitmap(obj);
    if (b == nullptr) return 0;
    if (!b->stock && b->selectedInto != 0 && b->selectedInto != hdc) return 0;
    const HGDIOBJ previous = dc->bitmap;
    if (detail::Bitmap* old = t.FindBitmap(previous); old != nullptr && !old->stock) {
        old->selectedInto = 0;
    }
    if (!b->stock) b->selectedInto = hdc;
    dc->bitmap = obj;
    return previous;
}

BOOL DeleteObject(Session& s, HGDIOBJ obj) {
    detail::Table& t = TableOf(s);
    if (obj == detail::kStockBitmap) return 1;  // stock objects are never deleted
    const auto it = t.bitmaps.find(obj);
    if (it == t.bitmaps.end() || it->second->selectedInto != 0) return 0;
    t.bitmaps.erase(it);
    return 1;
}

int GetObjectA(const Session& s, HGDIOBJ obj, int size, void* out) {
    const detail::Bitmap* b = detail::FindBitmap(s, obj);
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

int SetStretchBltMode(Session& s, HDC hdc, int mode) {
    if (mode < BLACKONWHITE || mode > HALFTONE) return 0;
    detail::DeviceContext* dc = detail::FindDC(s, hdc);
    if (dc == nullptr) return 0;
    const int previous = dc->stretchMode;
    dc->stretchMode = mode;
    return previous;
}

int GetStretchBltMode(const Session& s, HDC hdc) {
    const detail::DeviceContext* dc = detail::FindDC(s, hdc);
    return dc == nullptr ? 0 : dc->stretchMode;
}

}  // namespace gdi
