// Small helpers for the raster layer tests: DIB sections selected into their
// own DCs, and pixel access by picture coordinates (top row = 0).
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "raster/GdiHandles.h"
#include "raster/gdi.h"

namespace rastertest {

// The session of the raster tests' handles: one for the whole test program,
// so pictures made by different helpers can be blitted into each other.
inline gdi::Session& Handles() {
    static gdi::Session session;
    return session;
}

// A DIB section of the given size and depth selected into a memory DC. A
// negative height makes it top-down.
struct Surface {
    gdi::UniqueDC dc;
    gdi::UniqueBitmap bitmap;
    gdi::HGDIOBJ previous = 0;
    void* bits = nullptr;
    int width = 0, height = 0, bitCount = 0;

    Surface(int w, int h, int bpp, const std::vector<gdi::RGBQUAD>& table = {}) : width(w), bitCount(bpp) {
        height = h < 0 ? -h : h;
        topDown = h < 0;
        dc = gdi::UniqueDC(Handles(), gdi::CreateCompatibleDC(Handles(), 0));
        gdi::BITMAPINFO bmi{};
        bmi.bmiHeader = {40, w, h, 1, static_cast<gdi::WORD>(bpp), 0, 0, 0, 0, 0, 0};
        for (std::size_t i = 0; i < table.size() && i < 256; ++i) bmi.bmiColors[i] = table[i];
        // A table shorter than the depth allows is a table of that many colours.
        if (!table.empty() && table.size() < (std::size_t{1} << bpp)) {
            bmi.bmiHeader.biClrUsed = static_cast<gdi::DWORD>(table.size());
        }
        bitmap = gdi::UniqueBitmap(
            Handles(), gdi::CreateDIBSection(Handles(), dc.get(), &bmi, gdi::DIB_RGB_COLORS, &bits, 0, 0));
        if (bitmap) previous = gdi::SelectObject(Handles(), dc.get(), bitmap.get());
    }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    ~Surface() {
        if (previous != 0) gdi::SelectObject(Handles(), dc.get(), previous);
    }

    gdi::HDC hdc() const { return dc.get(); }
    int Stride() const { return ((width * bitCount + 31) / 32) * 4; }
    std::uint8_t* Row(int y) const {
        auto* base = static_cast<std::uint8_t*>(bits);
        return base + static_cast<std::ptrdiff_t>(topDown ? y : height - 1 - y) * Stride();
    }
    // Colour 0x00RRGGBB of a 24/32-bit pixel.
    std::uint32_t Get(int x, int y) const {
        const std::uint8_t* p = Row(y) + x * (bitCount / 8);
        return p[0] | (p[1] << 8) | (p[2] << 16);
    }
    void Set(int x, int y, std::uint32_t c) {
        std::uint8_t* p = Row(y) + x * (bitCount / 8);
        p[0] = c & 0xFF;
        p[1] = (c >> 8) & 0xFF;
        p[2] = (c >> 16) & 0xFF;
    }
    // Palette index of a 1/4/8-bit pixel.
    int Index(int x, int y) const {
        const std::uint8_t* r = Row(y);
        if (bitCount == 8) return r[x];
        if (bitCount == 4) return (x & 1) ? (r[x / 2] & 15) : (r[x / 2] >> 4);
        return (r[x / 8] >> (7 - x % 8)) & 1;
    }
    void SetIndex(int x, int y, int v) {
        std::uint8_t* r = Row(y);
        if (bitCount == 8) {
            r[x] = static_cast<std::uint8_t>(v);
        } else if (bitCount == 4) {
            r[x / 2] = (x & 1) ? static_cast<std::uint8_t>((r[x / 2] & 0xF0) | v)
                               : static_cast<std::uint8_t>((r[x / 2] & 0x0F) | (v << 4));
        } else {
            const int m = 0x80 >> (x % 8);
            r[x / 8] = static_cast<std::uint8_t>(v ? (r[x / 8] | m) : (r[x / 8] & ~m));
        }
    }
    // A distinct colour for every position, so misplaced pixels show.
    static std::uint32_t Pattern(int x, int y) {
        return static_cast<std::uint32_t>(((x * 37 + y * 11) & 0xFF) | (((x * 5 + y * 71) & 0xFF) << 8) |
                                          (((x ^ y) * 13 & 0xFF) << 16));
    }
    void Fill() {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) Set(x, y, Pattern(x, y));
    }

  private:
    bool topDown = false;
};

inline std::vector<gdi::RGBQUAD> GreyTable(int entries) {
    std::vector<gdi::RGBQUAD> t(static_cast<std::size_t>(entries));
    for (int i = 0; i < entries; ++i) {
        const auto g = static_cast<gdi::BYTE>(i * 255 / (entries - 1));
        t[static_cast<std::size_t>(i)] = {g, g, g, 0};
    }
    return t;
}

}  // namespace rastertest
