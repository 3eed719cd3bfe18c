// Sampling: reads a rectangle of a device context into 24-bit work bitmaps,
// converts it to Y, Cb, Cr and transforms every 8 x 8 block as it is read.
//
// A component at the source's own size is copied strip by strip into small
// work bitmaps, one per thread, so the pixels are still in cache when they
// are transformed; a scaled (subsampled) component is stretched whole into
// one W8 x H8 work bitmap, as the stretch must see the whole source. Either
// way every pixel, padding included, is what a single full-size work bitmap
// would hold.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "core/Parallel.h"
#include "jpeg/JpegDct.h"
#include "jpeg/JpegError.h"
#include "jpeg/JpegPixelBlock.h"
#include "jpeg/JpegWorkBitmap.h"
#include "jpeg/cJpeg.h"

namespace {

using jpeg::WorkBitmap;

using jpeg::ColourWeights;
using Target = jpeg::BlockTarget;

// The offsets include the level shift: Y is centred on 0; the +128 of Cb and
// Cr cancels against it.
constexpr ColourWeights kWeights[3] = {
    {0.299f, 0.587f, 0.114f, -128.0f},
    {-0.16874f, -0.33126f, 0.5f, 0.0f},
    {0.5f, -0.41869f, -0.08131f, 0.0f},
};

// Block rows per strip: a 4K-wide strip of 32 lines is about 370 KB.
constexpr int kStripBlockRows = 4;

// Components that follow each other with the same scaled size share one
// picture and are sampled together.
struct Group {
    int first = 0, count = 0;
    std::int64_t cw = 0, ch = 0, pw = 0, ph = 0;
    bool direct = false;  // cw x ch is the source size: no stretching
};

// ceiling(factor * size / maxFactor), as the frame header's component size.
std::int64_t ScaledSize(int factor, int size, int maxFactor) {
    return static_cast<std::int64_t>(-std::floor(-(static_cast<double>(factor) * size) / maxFactor));
}

std::int64_t RoundUp8(std::int64_t v) {
    return (v + 7) / 8 * 8;
}

inline std::uint64_t Load64(const std::uint8_t* p) {
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// True when the 8 x 8 pixels of block column bx all have one colour: the
// first line repeats its first pixel (each byte equals the one three bytes
// on), and every other line equals the first.
bool IsFlat(const std::uint8_t* const* rows, int bx) {
    const std::uint8_t* first = rows[0] + bx * 24;
    const std::uint64_t a = Load64(first), b = Load64(first + 8), c = Load64(first + 16);
    if (a != Load64(first + 3) || b != Load64(first + 11) || Load64(first + 13) != c) return false;
    for (int j = 1; j < 8; ++j) {
        const std::uint8_t* line = rows[j] + bx * 24;
        if ((Load64(line) ^ a) | (Load64(line + 8) ^ b) | (Load64(line + 16) ^ c)) return false;
    }
    return true;
}

// Transforms `blockRows` rows of `blocksX` blocks. Pixel line y of the first
// block row starts at top + y * step. The coefficients go to the targets'
// arrays from block row outRow on. False when a coefficient overflows.
bool SampleBlockRows(const std::uint8_t* top, std::ptrdiff_t step, int blocksX, int blockRows,
                     std::size_t outRow, const std::vector<Target>& targets, bool vector) {
    bool ok = true;
    const int count = static_cast<int>(targets.size());
    for (int by = 0; by < blockRows; ++by) {
        const std::uint8_t* rows[8];
        for (int j = 0; j < 8; ++j) rows[j] = top + static_cast<std::ptrdiff_t>(by * 8 + j) * step;
        for (int bx = 0; bx < blocksX; ++bx) {
            const std::size_t offset = ((outRow + by) * blocksX + bx) * 64;
            if (IsFlat(rows, bx)) {
                // One colour: the transform reduces to the DC term.
                const std::uint8_t* px = rows[0] + bx * 24;
                for (const Target& t : targets) {
                    const float red = px[2], green = px[1], blue = px[0];
                    float sample;
                    t.weights.Apply(&red, &green, &blue, &sample, 1);
                    ok = jpeg::TransformFlatBlock(sample, t.plan, t.out + offset) && ok;
                }
            } else {
                const std::uint8_t* at[8];
                for (int j = 0; j < 8; ++j) at[j] = rows[j] + bx * 24;
                ok = jpeg::TransformPixelBlock(at, targets.data(), count, offset, vector) && ok;
            }
        }
    }
    return ok;
}

// Copies component lines [y0, y0 + lines) of a source-sized component into
// the top of a strip bitmap, padded as the full work bitmap would be: columns
// cw .. pw - 1 repeat the column to their left, lines past ch the line above.
void FillStrip(const WorkBitmap& strip, const Group& g, std::int64_t y0, int lines, gdi::HDC src, int srcLeft,
               int srcTop) {
    const int cw = static_cast<int>(g.cw);
    const int real = static_cast<int>(std::min<std::int64_t>(lines, g.ch - y0));
    // A blit clipped at the source's edges leaves black, as in a new bitmap.
    for (int y = 0; y < real; ++y) std::memset(strip.Row(y), 0, static_cast<std::size_t>(3 * cw));
    gdi::BitBlt(strip.Dc(), 0, 0, cw, real, src, srcLeft, srcTop + static_cast<int>(y0), gdi::SRCCOPY);
    for (int x = cw; x < g.pw; ++x)
        gdi::BitBlt(strip.Dc(), x, 0, 1, real, strip.Dc(), x - 1, 0, gdi::SRCCOPY);
    for (int y = real; y < lines; ++y) {
        gdi::BitBlt(strip.Dc(), 0, y, static_cast<int>(g.pw), 1, strip.Dc(), 0, y - 1, gdi::SRCCOPY);
    }
}

}  // namespace

std::int32_t cJpeg::Sample(gdi::HDC lHDC, std::int32_t lWidth, std::int32_t lHeight, std::int32_t lSrcLeft,
                           std::int32_t lSrcTop) {
    state_.precision = 8;
    state_.height = lHeight;
    state_.width = lWidth;
    if (lWidth < 1 || lHeight < 1) return 1;
    const std::int64_t w8 = RoundUp8(lWidth);
    const std::int64_t h8 = RoundUp8(lHeight);
    if (WorkBitmap::Stride(w8) * h8 > 0x7FFFFFFF) return 1;

    // Group the components and find what must be drawn.
    std::vector<Group> groups;
    const int count = static_cast<int>(state_.components.size());
    for (int c = 0; c < count; ++c) {
        const jpeg::Component& comp = state_.components[static_cast<std::size_t>(c)];
        const std::int64_t cw = ScaledSize(comp.h, lWidth, state_.hmax);
        const std::int64_t ch = ScaledSize(comp.v, lHeight, state_.vmax);
        if (!groups.empty() && groups.back().cw == cw && groups.back().ch == ch) {
            ++groups.back().count;
            continue;
        }
        groups.push_back({c, 1, cw, ch, RoundUp8(cw), RoundUp8(ch), cw == lWidth && ch == lHeight});
    }
    const bool anyDirect = std::any_of(groups.begin(), groups.end(), [](const Group& g) { return g.direct; });
    const bool anyStretched =
        std::any_of(groups.begin(), groups.end(), [](const Group& g) { return !g.direct; });

    // Every bitmap is made before anything changes, so a failure leaves the
    // coefficient arrays as they were.
    const int blockRows = static_cast<int>(h8 / 8);
    const int parts = std::max(1, std::min(Threads(), blockRows / (2 * kStripBlockRows)));
    WorkBitmap full;
    if (anyStretched) {
        if (!full.Create(static_cast<int>(w8), static_cast<int>(h8))) return 1;
        if (gdi::SetStretchBltMode(full.Dc(), gdi::HALFTONE) == 0)
            gdi::SetStretchBltMode(full.Dc(), gdi::COLORONCOLOR);
    }
    std::vector<std::unique_ptr<WorkBitmap>> strips;
    if (anyDirect) {
        for (int p = 0; p < parts; ++p) {
            strips.push_back(std::make_unique<WorkBitmap>());
            if (!strips.back()->Create(static_cast<int>(w8), 8 * kStripBlockRows)) return 1;
        }
    }

    std::atomic<bool> overflow{false};
    for (const Group& g : groups) {
        std::vector<Target> targets;
        for (int k = 0; k < g.count; ++k) {
            const int index = g.first + k;
            jpeg::Component& comp = state_.components[static_cast<std::size_t>(index)];
            comp.id = index + 1;
            // Every entry is written below, so the new array is not cleared first.
            comp.coefficients = jpeg::CoefficientArray(static_cast<std::size_t>(g.pw * g.ph));
            targets.push_back({kWeights[index], jpeg::MakeQuantPlan(state_.quant[comp.quantSelector]),
                               comp.coefficients.data()});
        }
        const int blocksX = static_cast<int>(g.pw / 8);
        const int rows = static_cast<int>(g.ph / 8);
        const int groupParts = std::max(1, std::min(parts, rows / (2 * kStripBlockRows)));

        if (g.direct) {
            core::RunParts(groupParts, [&](int p) {
                const WorkBitmap& strip = *strips[static_cast<std::size_t>(p)];
                const auto end = static_cast<int>(core::PartBegin(rows, groupParts, p + 1));
                for (auto by = static_cast<int>(core::PartBegin(rows, groupParts, p)); by < end;
                     by += kStripBlockRows) {
                    const int n = std::min(kStripBlockRows, end - by);
                    FillStrip(strip, g, 8 * static_cast<std::int64_t>(by), 8 * n, lHDC, lSrcLeft, lSrcTop);
                    if (!SampleBlockRows(strip.Row(0), -static_cast<std::ptrdiff_t>(strip.RowBytes()),
                                         blocksX, n, static_cast<std::size_t>(by), targets, vector_)) {
                        overflow = true;
                    }
                }
            });
        } else {
            // The component occupies the bottom-left pw x ph corner of the work bitmap.
            const gdi::HDC mem = full.Dc();
            const int top = static_cast<int>(h8 - g.ph);
            const int cw = static_cast<int>(g.cw);
            const int ch = static_cast<int>(g.ch);
            gdi::StretchBlt(mem, 0, top, cw, ch, lHDC, lSrcLeft, lSrcTop, lWidth, lHeight, gdi::SRCCOPY);
            for (int x = cw; x < g.pw; ++x) gdi::BitBlt(mem, x, top, 1, ch, mem, x - 1, top, gdi::SRCCOPY);
            for (int y = top + ch; y < h8; ++y) {
                gdi::BitBlt(mem, 0, y, static_cast<int>(g.pw), 1, mem, 0, y - 1, gdi::SRCCOPY);
            }
            core::RunParts(groupParts, [&](int p) {
                const auto first = static_cast<int>(core::PartBegin(rows, groupParts, p));
                const auto end = static_cast<int>(core::PartBegin(rows, groupParts, p + 1));
                if (!SampleBlockRows(full.Row(top + 8 * first), -static_cast<std::ptrdiff_t>(full.RowBytes()),
                                     blocksX, end - first, static_cast<std::size_t>(first), targets,
                                     vector_)) {
                    overflow = true;
                }
            });
        }
    }
    if (overflow) jpeg::RaiseOverflow();
    return 0;
}
