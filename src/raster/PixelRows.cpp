// Row converters of the raster layer and the nearest-colour matcher.
#include "raster/PixelRows.h"

#include <algorithm>
#include <cstring>

namespace gdi::detail {
namespace {

constexpr std::size_t kCacheSize = 4096;
constexpr std::uint32_t kNoKey = 0xFFFFFFFFu;

inline std::uint32_t Expand5(std::uint32_t c) {
    return (c << 3) | (c >> 2);
}

}  // namespace

ColourMatcher::ColourMatcher(std::span<const RGBQUAD> table) : table_(table.begin(), table.end()) {
    if (table_.size() == 256) {
        greyRamp_ = true;
        for (std::size_t i = 0; i < 256 && greyRamp_; ++i) {
            const RGBQUAD& q = table_[i];
            greyRamp_ = q.rgbRed == i && q.rgbGreen == i && q.rgbBlue == i;
        }
    }
    if (!greyRamp_) {
        cacheKeys_.assign(kCacheSize, kNoKey);
        cacheValues_.assign(kCacheSize, 0);
    }
}

std::uint8_t ColourMatcher::Match(std::uint32_t colour) {
    colour &= 0x00FFFFFFu;
    if (greyRamp_) {
        // Nearest grey g minimises (r-g)^2 + (g-g)^2 + (b-g)^2: the rounded mean.
        const std::uint32_t sum = (colour >> 16) + ((colour >> 8) & 0xFF) + (colour & 0xFF);
        return static_cast<std::uint8_t>((sum + 1) / 3);
    }
    if (table_.empty()) return 0;
    const std::size_t slot = (colour * 2654435761u) >> 20 & (kCacheSize - 1);
    if (cacheKeys_[slot] != colour) {
        cacheKeys_[slot] = colour;
        cacheValues_[slot] = Search(colour);
    }
    return cacheValues_[slot];
}

std::uint8_t ColourMatcher::Search(std::uint32_t colour) const {
    const int r = static_cast<int>(colour >> 16), g = static_cast<int>((colour >> 8) & 0xFF),
              b = static_cast<int>(colour & 0xFF);
    int best = 0;
    int bestDistance = 1 << 30;
    for (std::size_t i = 0; i < table_.size(); ++i) {
        const int dr = r - table_[i].rgbRed, dg = g - table_[i].rgbGreen, db = b - table_[i].rgbBlue;
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = static_cast<int>(i);
            if (d == 0) break;
        }
    }
    return static_cast<std::uint8_t>(best);
}

void ReadIndices(const Bitmap& b, LONG x, LONG y, LONG n, std::uint8_t* out) {
    const std::uint8_t* row = b.Row(y);
    switch (b.bitCount) {
        case 8:
            std::memcpy(out, row + x, static_cast<std::size_t>(n));
            break;
        case 4:
            for (LONG i = 0; i < n; ++i) {
                const LONG px = x + i;
                const std::uint8_t v = row[px >> 1];
                out[i] = (px & 1) ? (v & 0x0F) : (v >> 4);
            }
            break;
        default:  // 1
            for (LONG i = 0; i < n; ++i) {
                const LONG px = x + i;
                out[i] = (row[px >> 3] >> (7 - (px & 7))) & 1;
            }
            break;
    }
}

void WriteIndices(Bitmap& b, LONG x, LONG y, LONG n, const std::uint8_t* in) {
    std::uint8_t* row = b.Row(y);
    switch (b.bitCount) {
        case 8:
            std::memcpy(row + x, in, static_cast<std::size_t>(n));
            break;
        case 4:
            for (LONG i = 0; i < n; ++i) {
                const LONG px = x + i;
                std::uint8_t& v = row[px >> 1];
                const std::uint8_t idx = in[i] & 0x0F;
                v = (px & 1) ? static_cast<std::uint8_t>((v & 0xF0) | idx)
                             : static_cast<std::uint8_t>((v & 0x0F) | (idx << 4));
            }
            break;
        default: {  // 1
            for (LONG i = 0; i < n; ++i) {
                const LONG px = x + i;
                const std::uint8_t mask = static_cast<std::uint8_t>(0x80u >> (px & 7));
                std::uint8_t& v = row[px >> 3];
                v = (in[i] & 1) ? static_cast<std::uint8_t>(v | mask) : static_cast<std::uint8_t>(v & ~mask);
            }
            break;
        }
    }
}

void ReadRow(const Bitmap& b, LONG x, LONG y, LONG n, std::uint32_t* out) {
    const std::uint8_t* row = b.Row(y);
    switch (b.bitCount) {
        case 32: {
            const std::uint8_t* p = row + static_cast<std::ptrdiff_t>(x) * 4;
            for (LONG i = 0; i < n; ++i, p += 4) {
                out[i] = std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16);
            }
            break;
        }
        case 24: {
            const std::uint8_t* p = row + static_cast<std::ptrdiff_t>(x) * 3;
            for (LONG i = 0; i < n; ++i, p += 3) {
                out[i] = std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16);
            }
            break;
        }
        case 16: {  // x-5-5-5, little endian
            const std::uint8_t* p = row + static_cast<std::ptrdiff_t>(x) * 2;
            for (LONG i = 0; i < n; ++i, p += 2) {
                const std::uint32_t v = std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8);
                out[i] = Expand5(v & 31) | (Expand5((v >> 5) & 31) << 8) | (Expand5((v >> 10) & 31) << 16);
            }
            break;
        }
        default: {
            std::uint32_t lut[256] = {};
            for (std::size_t i = 0; i < b.colors.size() && i < 256; ++i) lut[i] = ColourOf(b.colors[i]);
            constexpr LONG kChunk = 256;
            std::uint8_t idx[kChunk];
            for (LONG done = 0; done < n; done += kChunk) {
                const LONG m = std::min(kChunk, n - done);
                ReadIndices(b, x + done, y, m, idx);
                for (LONG i = 0; i < m; ++i) out[done + i] = lut[idx[i]];
            }
            break;
        }
    }
}

void WriteRow(Bitmap& b, LONG x, LONG y, LONG n, const std::uint32_t* in, ColourMatcher* matcher) {
    std::uint8_t* row = b.Row(y);
    switch (b.bitCount) {
        case 32: {
            const std::uint32_t unused = std::uint32_t{b.unusedByte} << 24;
            std::uint8_t* p = row + static_cast<std::ptrdiff_t>(x) * 4;
            for (LONG i = 0; i < n; ++i, p += 4) {
                const std::uint32_t v = (in[i] & 0x00FFFFFFu) | unused;
                std::memcpy(p, &v, 4);
            }
            break;
        }
        case 24: {
            std::uint8_t* p = row + static_cast<std::ptrdiff_t>(x) * 3;
            for (LONG i = 0; i < n; ++i, p += 3) {
                p[0] = static_cast<std::uint8_t>(in[i]);
                p[1] = static_cast<std::uint8_t>(in[i] >> 8);
                p[2] = static_cast<std::uint8_t>(in[i] >> 16);
            }
            break;
        }
        case 16: {
            std::uint8_t* p = row + static_cast<std::ptrdiff_t>(x) * 2;
            for (LONG i = 0; i < n; ++i, p += 2) {
                const std::uint32_t c = in[i];
                const std::uint32_t v = ((c >> 3) & 31) | (((c >> 11) & 31) << 5) | (((c >> 19) & 31) << 10);
                p[0] = static_cast<std::uint8_t>(v);
                p[1] = static_cast<std::uint8_t>(v >> 8);
            }
            break;
        }
        default: {
            constexpr LONG kChunk = 256;
            std::uint8_t idx[kChunk];
            for (LONG done = 0; done < n; done += kChunk) {
                const LONG m = std::min(kChunk, n - done);
                for (LONG i = 0; i < m; ++i) idx[i] = matcher->Match(in[done + i]);
                WriteIndices(b, x + done, y, m, idx);
            }
            break;
        }
    }
}

std::uint32_t ReadPixel(const Bitmap& b, LONG x, LONG y) {
    if (b.Indexed()) {
        std::uint8_t i = 0;
        ReadIndices(b, x, y, 1, &i);
        return i < b.colors.size() ? ColourOf(b.colors[i]) : 0;
    }
    std::uint32_t v = 0;
    ReadRow(b, x, y, 1, &v);
    return v;
}

bool SameColourTable(const Bitmap& a, const Bitmap& b) {
    if (a.colors.size() != b.colors.size()) return false;
    for (std::size_t i = 0; i < a.colors.size(); ++i) {
        if (ColourOf(a.colors[i]) != ColourOf(b.colors[i])) return false;
    }
    return true;
}

}  // namespace gdi::detail
