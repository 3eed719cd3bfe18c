// StretchBlt and the stretch modes. HALFTONE averages the source area that
// each destination pixel covers (box filter, for shrinking and enlarging
// alike); the other modes take the nearest source pixel. Source pixels outside
// the source bitmap take no part, and destination pixels with nothing to read
// are left alone. A negative width or height on one side only mirrors.
#include <algorithm>
#include <optional>
#include <vector>

#include "raster/Blit.h"
#include "raster/RasterOps.h"

namespace gdi {
namespace {

using detail::Bitmap;
using std::int64_t;

constexpr int kWeightBits = 14;  // per-axis weights sum to 1 << kWeightBits
constexpr std::uint32_t kWeightOne = 1u << kWeightBits;

// Which source pixels one destination pixel reads along one axis, and with
// what weights. count == 0: nothing to read (outside the source).
struct Contribution {
    LONG first = 0;
    LONG count = 0;
    std::size_t offset = 0;  // into Axis::weights
};

struct Axis {
    std::vector<Contribution> dest;  // one per destination pixel in the clipped range
    std::vector<std::uint32_t> weights;
    LONG minSource = 0, maxSource = -1;  // span of source pixels read
};

// A span normalised to a positive length; a negative length counts back from
// the start pixel, which it includes.
struct Span {
    int64_t start, length;
    bool negative;
};

Span Normalise(int64_t start, int64_t length) {
    if (length < 0) return {start + length + 1, -length, true};
    return {start, length, false};
}

// Area weights of destination pixels [dFirst, dFirst + dCount) of a span of
// nd pixels drawn from ns source pixels beginning at srcStart; valid source
// pixels are [0, srcLimit).
Axis AreaAxis(int64_t nd, int64_t ns, int64_t srcStart, int64_t srcLimit, bool mirror, int64_t dFirst,
              int64_t dCount) {
    Axis axis;
    axis.dest.resize(static_cast<std::size_t>(dCount));
    std::vector<int64_t> overlap;
    for (int64_t j = 0; j < dCount; ++j) {
        const int64_t i = mirror ? nd - 1 - (dFirst + j) : dFirst + j;
        // Destination pixel i covers [i*ns, (i+1)*ns) in units of 1/nd source pixel.
        const int64_t lo = i * ns, hi = (i + 1) * ns;
        const int64_t s0 = std::max<int64_t>(lo / nd, -srcStart);
        const int64_t s1 = std::min<int64_t>((hi + nd - 1) / nd, srcLimit - srcStart);  // exclusive
        Contribution& c = axis.dest[static_cast<std::size_t>(j)];
        c.offset = axis.weights.size();
        if (s1 <= s0) continue;
        int64_t total = 0;
        overlap.clear();
        for (int64_t s = s0; s < s1; ++s) {
            overlap.push_back(std::min(hi, (s + 1) * nd) - std::max(lo, s * nd));
            total += overlap.back();
        }
        std::uint32_t sum = 0;
        std::size_t largest = 0;
        for (std::size_t k = 0; k < overlap.size(); ++k) {
            const auto w = static_cast<std::uint32_t>((overlap[k] * kWeightOne + total / 2) / total);
            axis.weights.push_back(w);
            sum += w;
            if (overlap[k] > overlap[largest]) largest = k;
        }
        // Rounding must not change a flat colour: make the weights sum to one exactly.
        axis.weights[c.offset + largest] += kWeightOne - sum;
        c.first = static_cast<LONG>(srcStart + s0);
        c.count = static_cast<LONG>(s1 - s0);
        if (axis.maxSource < axis.minSource) axis.minSource = c.first;
        axis.minSource = std::min(axis.minSource, c.first);
        axis.maxSource = std::max(axis.maxSource, c.first + c.count - 1);
    }
    return axis;
}

// Nearest source pixel of each destination pixel (the centre rule).
Axis NearestAxis(int64_t nd, int64_t ns, int64_t srcStart, int64_t srcLimit, bool mirror, int64_t dFirst,
                 int64_t dCount) {
    Axis axis;
    axis.dest.resize(static_cast<std::size_t>(dCount));
    for (int64_t j = 0; j < dCount; ++j) {
        const int64_t i = mirror ? nd - 1 - (dFirst + j) : dFirst + j;
        const int64_t s = srcStart + (2 * i + 1) * ns / (2 * nd);
        Contribution& c = axis.dest[static_cast<std::size_t>(j)];
        if (s < 0 || s >= srcLimit) continue;
        c.first = static_cast<LONG>(s);
        c.count = 1;
        if (axis.maxSource < axis.minSource) axis.minSource = c.first;
        axis.minSource = std::min(axis.minSource, c.first);
        axis.maxSource = std::max(axis.maxSource, c.first);
    }
    return axis;
}

// Horizontally filtered source rows, kept in a small ring: the rows the
// destination rows need only move forward (or only backward when mirrored),
// so a row shared by neighbouring destination rows is filtered once.
class FilteredRows {
  public:
    FilteredRows(const Bitmap& src, const Axis& x, LONG slots)
        : src_(src),
          x_(x),
          line_(static_cast<std::size_t>(x.maxSource - x.minSource + 1)),
          width_(x.dest.size()),
          tags_(static_cast<std::size_t>(slots), -1),
          data_(static_cast<std::size_t>(slots) * width_ * 3) {}

    // Channel values of source row y, scaled by 256, three per destination pixel.
    const std::uint32_t* Row(LONG y) {
        const std::size_t slot = static_cast<std::size_t>(y) % tags_.size();
        std::uint32_t* out = data_.data() + slot * width_ * 3;
        if (tags_[slot] == y) return out;
        tags_[slot] = y;
        // 24- and 32-bit rows are read in place; other depths are converted
        // first into colours, which lie in memory as blue, green, red, 0.
        const std::uint8_t* pixels;
        std::ptrdiff_t step;
        if (src_.bitCount == 24 || src_.bitCount == 32) {
            step = src_.bitCount / 8;
            pixels = src_.Row(y) + static_cast<std::ptrdiff_t>(x_.minSource) * step;
        } else {
            ReadRow(src_, x_.minSource, y, static_cast<LONG>(line_.size()), line_.data());
            step = 4;
            pixels = reinterpret_cast<const std::uint8_t*>(line_.data());
        }
        for (std::size_t j = 0; j < width_; ++j) {
            const Contribution& c = x_.dest[j];
            std::uint32_t b = 0, g = 0, r = 0;
            const std::uint8_t* px = pixels + (c.first - x_.minSource) * step;
            const std::uint32_t* w = x_.weights.data() + c.offset;
            for (LONG k = 0; k < c.count; ++k, px += step) {
                b += w[k] * px[0];
                g += w[k] * px[1];
                r += w[k] * px[2];
            }
            constexpr int kShift = kWeightBits - 8;
            out[j * 3] = (b + (1u << (kShift - 1))) >> kShift;
            out[j * 3 + 1] = (g + (1u << (kShift - 1))) >> kShift;
            out[j * 3 + 2] = (r + (1u << (kShift - 1))) >> kShift;
        }
        return out;
    }

  private:
    const Bitmap& src_;
    const Axis& x_;
    std::vector<std::uint32_t> line_;
    std::size_t width_;
    std::vector<LONG> tags_;
    std::vector<std::uint32_t> data_;
};

void StretchHalftone(Bitmap& dst, const Bitmap& src, LONG dx, LONG dy, const Axis& xAxis, const Axis& yAxis,
                     DWORD rop) {
    // Each filtered row is used by the destination row being made and at most
    // the next ones, and is consumed as soon as it is made: three slots do.
    FilteredRows rows(src, xAxis, 3);
    const std::size_t w = xAxis.dest.size();
    std::vector<std::uint32_t> acc(w * 3), colours(w), scratch(w);
    std::optional<detail::ColourMatcher> matcher;
    if (dst.Indexed()) matcher.emplace(dst.colors);
    for (std::size_t i = 0; i < yAxis.dest.size(); ++i) {
        const Contribution& cy = yAxis.dest[i];
        if (cy.count == 0) continue;
        std::fill(acc.begin(), acc.end(), 0u);
        for (LONG k = 0; k < cy.count; ++k) {
            const std::uint32_t wy = yAxis.weights[cy.offset + static_cast<std::size_t>(k)];
            const std::uint32_t* h = rows.Row(cy.first + k);
            for (std::size_t j = 0; j < w * 3; ++j) acc[j] += wy * h[j];
        }
        constexpr int kShift = kWeightBits + 8;
        for (std::size_t j = 0; j < w; ++j) {
            const auto channel = [&](std::size_t c) {
                return (acc[j * 3 + c] + (1u << (kShift - 1))) >> kShift;
            };
            colours[j] = channel(0) | (channel(1) << 8) | (channel(2) << 16);
        }
        // Write the runs of pixels that had something to read.
        std::size_t j = 0;
        while (j < w) {
            if (xAxis.dest[j].count == 0) {
                ++j;
                continue;
            }
            std::size_t end = j;
            while (end < w && xAxis.dest[end].count != 0) ++end;
            detail::WriteRowWithRop(dst, dx + static_cast<LONG>(j), dy + static_cast<LONG>(i),
                                    static_cast<LONG>(end - j), colours.data() + j, rop,
                                    matcher ? &*matcher : nullptr, scratch.data());
            j = end;
        }
    }
}

void StretchNearest(Bitmap& dst, const Bitmap* src, LONG dx, LONG dy, const Axis& xAxis, const Axis& yAxis,
                    DWORD rop) {
    const std::size_t w = xAxis.dest.size();
    std::vector<std::uint32_t> line(src ? static_cast<std::size_t>(xAxis.maxSource - xAxis.minSource + 1)
                                        : 0);
    std::vector<std::uint32_t> colours(w), scratch(w);
    std::optional<detail::ColourMatcher> matcher;
    if (dst.Indexed()) matcher.emplace(dst.colors);
    for (std::size_t i = 0; i < yAxis.dest.size(); ++i) {
        const Contribution& cy = yAxis.dest[i];
        if (src != nullptr && cy.count == 0) continue;
        if (src != nullptr) {
            ReadRow(*src, xAxis.minSource, cy.first, static_cast<LONG>(line.size()), line.data());
        }
        std::size_t j = 0;
        while (j < w) {
            if (src != nullptr && xAxis.dest[j].count == 0) {
                ++j;
                continue;
            }
            std::size_t end = j;
            for (; end < w && (src == nullptr || xAxis.dest[end].count != 0); ++end) {
                colours[end] =
                    src ? line[static_cast<std::size_t>(xAxis.dest[end].first - xAxis.minSource)] : 0u;
            }
            detail::WriteRowWithRop(dst, dx + static_cast<LONG>(j), dy + static_cast<LONG>(i),
                                    static_cast<LONG>(end - j), colours.data() + j, rop,
                                    matcher ? &*matcher : nullptr, scratch.data());
            j = end;
        }
    }
}

}  // namespace

BOOL StretchBlt(Session& session, HDC dst, int xDest, int yDest, int wDest, int hDest, const Session& from,
                HDC src, int xSrc, int ySrc, int wSrc, int hSrc, DWORD rop) {
    Bitmap* d = detail::SelectedBitmap(session, dst);
    if (d == nullptr) return 0;
    const bool usesSource = detail::RopUsesSource(rop);
    const Bitmap* s = usesSource ? detail::SelectedBitmap(from, src) : nullptr;
    if (usesSource && (s == nullptr || wSrc == 0 || hSrc == 0)) return 0;
    if (wDest == 0 || hDest == 0) return 1;
    if (!usesSource) {
        wSrc = wDest;
        hSrc = hDest;
    }

    const Span dxs = Normalise(xDest, wDest), dys = Normalise(yDest, hDest);
    const Span sxs = Normalise(xSrc, wSrc), sys = Normalise(ySrc, hSrc);
    const bool mirrorX = dxs.negative != sxs.negative, mirrorY = dys.negative != sys.negative;

    if (!mirrorX && !mirrorY && dxs.length == sxs.length && dys.length == sys.length) {
        detail::BlitArea area{dxs.start, dys.start, sxs.start, sys.start, dxs.length, dys.length};
        if (detail::ClipBlit(*d, s, area)) detail::BlitRect(*d, s, area, rop);
        return 1;
    }

    // Clip the destination span to the bitmap.
    const int64_t x0 = std::max<int64_t>(dxs.start, 0),
                  x1 = std::min<int64_t>(dxs.start + dxs.length, d->width);
    const int64_t y0 = std::max<int64_t>(dys.start, 0),
                  y1 = std::min<int64_t>(dys.start + dys.length, d->height);
    if (x1 <= x0 || y1 <= y0) return 1;
    const int64_t srcW = s ? s->width : sxs.start + sxs.length;
    const int64_t srcH = s ? s->height : sys.start + sys.length;

    const bool halftone = GetStretchBltMode(session, dst) == HALFTONE && s != nullptr;
    const auto build = halftone ? AreaAxis : NearestAxis;
    const Axis xAxis = build(dxs.length, sxs.length, sxs.start, srcW, mirrorX, x0 - dxs.start, x1 - x0);
    const Axis yAxis = build(dys.length, sys.length, sys.start, srcH, mirrorY, y0 - dys.start, y1 - y0);
    if (xAxis.maxSource < xAxis.minSource || yAxis.maxSource < yAxis.minSource) return 1;

    if (halftone) {
        StretchHalftone(*d, *s, static_cast<LONG>(x0), static_cast<LONG>(y0), xAxis, yAxis, rop);
    } else {
        StretchNearest(*d, s, static_cast<LONG>(x0), static_cast<LONG>(y0), xAxis, yAxis, rop);
    }
    return 1;
}

BOOL StretchBlt(Session& session, HDC dst, int xDest, int yDest, int wDest, int hDest, HDC src, int xSrc,
                int ySrc, int wSrc, int hSrc, DWORD rop) {
    return StretchBlt(session, dst, xDest, yDest, wDest, hDest, session, src, xSrc, ySrc, wSrc, hSrc, rop);
}

}  // namespace gdi
