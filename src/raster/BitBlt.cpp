// BitBlt: block copies between bitmaps of any depth, with clipping, raster
// operations and colour conversion. Same-format copies move whole rows with
// memmove; the common converting copies (32 <-> 24 bits) have row loops of
// their own; everything else goes through a row of 32-bit colours. Large
// plain copies between two separate blocks of memory are split into bands of
// rows copied on several threads: copying a 4K picture is bound by the first
// touch of fresh pages, which the cores take on in parallel.
#include <algorithm>
#include <cstring>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

#include "raster/Blit.h"
#include "raster/FastRows.h"
#include "raster/RasterOps.h"

namespace gdi {
namespace detail {
namespace {

enum class RowPath { Move, Unused32, From32To24, From24To32, Indices, Colours };

RowPath ChoosePath(const Bitmap& dst, const Bitmap* src, DWORD rop) {
    if (src == nullptr || rop != SRCCOPY) return RowPath::Colours;
    if (src->Indexed() && dst.Indexed()) {
        return (src->bitCount == 8 && dst.bitCount == 8 && SameColourTable(*src, dst)) ? RowPath::Move
                                                                                       : RowPath::Indices;
    }
    if (src->bitCount == dst.bitCount) {
        return (dst.bitCount == 32 && src->unusedByte != dst.unusedByte) ? RowPath::Unused32 : RowPath::Move;
    }
    if (src->bitCount == 32 && dst.bitCount == 24) return RowPath::From32To24;
    if (src->bitCount == 24 && dst.bitCount == 32) return RowPath::From24To32;
    return RowPath::Colours;
}

// Index translation from one colour table to another (identity when equal).
std::vector<std::uint8_t> TranslateIndices(const Bitmap& src, const Bitmap& dst) {
    std::vector<std::uint8_t> map(256, 0);
    ColourMatcher matcher(dst.colors);
    const bool same = SameColourTable(src, dst) && src.bitCount <= dst.bitCount;
    for (std::size_t i = 0; i < 256; ++i) {
        if (same) {
            map[i] = static_cast<std::uint8_t>(i);
        } else if (i < src.colors.size()) {
            map[i] = matcher.Match(ColourOf(src.colors[i]));
        }
    }
    return map;
}

// Copies of at least this many destination bytes are split into bands.
constexpr std::size_t kBandedFrom = std::size_t{4} << 20;
// Each band copies at least this many bytes.
constexpr std::size_t kMinBandBytes = std::size_t{1} << 20;

bool Disjoint(const Bitmap& a, const Bitmap& b) {
    const std::uint8_t* aEnd = a.memory + a.stride * a.height;
    const std::uint8_t* bEnd = b.memory + b.stride * b.height;
    return aEnd <= b.memory || bEnd <= a.memory;
}

// Runs rows(first, end) over [0, h) in bands on up to hardware_concurrency
// threads when the copy is large; the rows are independent, so the result
// is the same as one pass. A band whose thread cannot start runs here.
template <class Rows>
void RunBanded(LONG h, std::size_t rowBytes, Rows&& rows) {
    const std::size_t total = static_cast<std::size_t>(h) * rowBytes;
    const unsigned cores = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
    const auto bands = static_cast<LONG>(
        total < kBandedFrom
            ? 1
            : std::min<std::size_t>({cores, total / kMinBandBytes, static_cast<std::size_t>(h)}));
    if (bands <= 1) {
        rows(LONG{0}, h);
        return;
    }
    const auto begin = [&](LONG b) { return static_cast<LONG>(std::int64_t{h} * b / bands); };
    std::vector<std::thread> threads;
    LONG band = 1;
    try {
        for (; band < bands; ++band) threads.emplace_back(rows, begin(band), begin(band + 1));
    } catch (const std::system_error&) {
        // No more threads: the rest is copied on this one.
    }
    rows(LONG{0}, begin(1));
    if (band < bands) rows(begin(band), h);
    for (std::thread& t : threads) t.join();
}

}  // namespace

bool ClipBlit(const Bitmap& dst, const Bitmap* src, BlitArea& a) {
    if (a.dx < 0) {
        a.sx -= a.dx;
        a.w += a.dx;
        a.dx = 0;
    }
    if (a.dy < 0) {
        a.sy -= a.dy;
        a.h += a.dy;
        a.dy = 0;
    }
    if (src != nullptr) {
        if (a.sx < 0) {
            a.dx -= a.sx;
            a.w += a.sx;
            a.sx = 0;
        }
        if (a.sy < 0) {
            a.dy -= a.sy;
            a.h += a.sy;
            a.sy = 0;
        }
        a.w = std::min<std::int64_t>(a.w, src->width - a.sx);
        a.h = std::min<std::int64_t>(a.h, src->height - a.sy);
    }
    a.w = std::min<std::int64_t>(a.w, dst.width - a.dx);
    a.h = std::min<std::int64_t>(a.h, dst.height - a.dy);
    return a.w > 0 && a.h > 0;
}

void WriteRowWithRop(Bitmap& dst, LONG x, LONG y, LONG n, std::uint32_t* colours, DWORD rop,
                     ColourMatcher* matcher, std::uint32_t* dstScratch) {
    if (rop == SRCCOPY) {
        WriteRow(dst, x, y, n, colours, matcher);
        return;
    }
    if (RopUsesDestination(rop)) {
        ReadRow(dst, x, y, n, dstScratch);
    } else {
        std::fill_n(dstScratch, n, 0u);
    }
    ApplyRop(rop, RopUsesSource(rop) ? colours : nullptr, dstScratch, n);
    WriteRow(dst, x, y, n, dstScratch, matcher);
}

void BlitRect(Bitmap& dst, const Bitmap* src, const BlitArea& a, DWORD rop) {
    const LONG w = static_cast<LONG>(a.w), h = static_cast<LONG>(a.h);
    const LONG dx = static_cast<LONG>(a.dx), dy = static_cast<LONG>(a.dy);
    const LONG sx = static_cast<LONG>(a.sx), sy = static_cast<LONG>(a.sy);
    // Overlapping rows of one bitmap: copy from the far end so no source row
    // is overwritten before it is read.
    const bool backwards = src == &dst && dy > sy;
    const RowPath path = ChoosePath(dst, src, rop);
    const std::uint32_t unused = std::uint32_t{dst.unusedByte} << 24;

    // Whole rows of two bitmaps with the same row layout are one block of
    // memory: move it at once.
    if (path == RowPath::Move && dx == 0 && sx == 0 && w == dst.width && w == src->width &&
        dst.pitch == src->pitch) {
        const std::uint8_t* s0 = src->Row(sy);
        std::uint8_t* d0 = dst.Row(dy);
        const std::ptrdiff_t last = static_cast<std::ptrdiff_t>(h - 1) * dst.pitch;
        const std::ptrdiff_t low = std::min<std::ptrdiff_t>(0, last);
        const auto stride = static_cast<std::size_t>(dst.stride);
        if (src == &dst || !Disjoint(*src, dst)) {
            std::memmove(d0 + low, s0 + low, static_cast<std::size_t>(h) * stride);
        } else {
            RunBanded(h, stride, [&](LONG first, LONG end) {
                const std::size_t at = static_cast<std::size_t>(first) * stride;
                std::memcpy(d0 + low + at, s0 + low + at, static_cast<std::size_t>(end - first) * stride);
            });
        }
        return;
    }

    // Row conversions between separate memory: bands of rows on several threads.
    if ((path == RowPath::From32To24 || path == RowPath::From24To32 || path == RowPath::Unused32) &&
        src != &dst && Disjoint(*src, dst)) {
        const std::size_t rowBytes = static_cast<std::size_t>(w) * static_cast<std::size_t>(dst.bitCount) / 8;
        RunBanded(h, rowBytes, [&](LONG first, LONG end) {
            for (LONG row = first; row < end; ++row) {
                std::uint8_t* d = dst.Row(dy + row) + static_cast<std::ptrdiff_t>(dx) * dst.bitCount / 8;
                const std::uint8_t* s =
                    src->Row(sy + row) + static_cast<std::ptrdiff_t>(sx) * src->bitCount / 8;
                if (path == RowPath::From32To24) {
                    Row32To24(s, d, w);
                } else if (path == RowPath::From24To32) {
                    Row24To32(s, d, w, unused);
                } else {
                    RowUnused32(s, d, w, unused);
                }
            }
        });
        return;
    }

    std::vector<std::uint32_t> colours, dstColours;
    std::vector<std::uint8_t> indices, translate;
    std::optional<ColourMatcher> matcher;
    if (path == RowPath::Colours) {
        colours.assign(static_cast<std::size_t>(w), 0u);
        dstColours.assign(static_cast<std::size_t>(w), 0u);
        if (dst.Indexed()) matcher.emplace(dst.colors);
    } else if (path == RowPath::Indices) {
        indices.assign(static_cast<std::size_t>(w), 0u);
        translate = TranslateIndices(*src, dst);
    }

    for (LONG k = 0; k < h; ++k) {
        const LONG row = backwards ? h - 1 - k : k;
        std::uint8_t* d = dst.Row(dy + row);
        const std::uint8_t* s = src != nullptr ? src->Row(sy + row) : nullptr;
        switch (path) {
            case RowPath::Move: {
                const std::size_t bytes =
                    static_cast<std::size_t>(w) * static_cast<std::size_t>(dst.bitCount) / 8;
                const std::size_t pixelBytes = static_cast<std::size_t>(dst.bitCount) / 8;
                std::memmove(d + dx * pixelBytes, s + sx * pixelBytes, bytes);
                break;
            }
            case RowPath::Unused32:
                RowUnused32(s + static_cast<std::ptrdiff_t>(sx) * 4, d + static_cast<std::ptrdiff_t>(dx) * 4,
                            w, unused);
                break;
            case RowPath::From32To24:
                Row32To24(s + static_cast<std::ptrdiff_t>(sx) * 4, d + static_cast<std::ptrdiff_t>(dx) * 3,
                          w);
                break;
            case RowPath::From24To32:
                Row24To32(s + static_cast<std::ptrdiff_t>(sx) * 3, d + static_cast<std::ptrdiff_t>(dx) * 4, w,
                          unused);
                break;
            case RowPath::Indices:
                ReadIndices(*src, sx, sy + row, w, indices.data());
                for (auto& i : indices) i = translate[i];
                WriteIndices(dst, dx, dy + row, w, indices.data());
                break;
            case RowPath::Colours:
                if (src != nullptr) ReadRow(*src, sx, sy + row, w, colours.data());
                WriteRowWithRop(dst, dx, dy + row, w, colours.data(), rop, matcher ? &*matcher : nullptr,
                                dstColours.data());
                break;
        }
    }
}

}  // namespace detail

BOOL BitBlt(Session& session, HDC dst, int x, int y, int cx, int cy, const Session& from, HDC src, int x1,
            int y1, DWORD rop) {
    detail::Bitmap* d = detail::SelectedBitmap(session, dst);
    if (d == nullptr || cx < 0 || cy < 0) return 0;
    const detail::Bitmap* s = nullptr;
    if (detail::RopUsesSource(rop)) {
        s = detail::SelectedBitmap(from, src);
        if (s == nullptr) return 0;
    }
    detail::BlitArea area{x, y, x1, y1, cx, cy};
    if (detail::ClipBlit(*d, s, area)) detail::BlitRect(*d, s, area, rop);
    return 1;
}

BOOL BitBlt(Session& session, HDC dst, int x, int y, int cx, int cy, HDC src, int x1, int y1, DWORD rop) {
    return BitBlt(session, dst, x, y, cx, cy, session, src, x1, y1, rop);
}

}  // namespace gdi
