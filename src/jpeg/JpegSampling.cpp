// Sampling: reads a rectangle of a picture in memory, converts it to Y, Cb,
// Cr, transforms every 8 x 8 block as it is read and stores the coefficients
// compactly, block row by block row on several threads.
//
// A component at the source's own size is read where it lies: whole block
// rows of 32-bit pixels (the canvas) straight from the picture's rows, the
// rest (the padded bottom block row, 24-bit pictures, rectangles reaching
// past the source) through small 24-bit strips, one per thread; no handle of
// the raster layer is involved. A scaled (subsampled) component is stretched
// whole into one W8 x H8 work bitmap by the raster layer, as the stretch must
// see the whole source. Either way every pixel, padding included, is what a
// single full-size 24-bit copy of the rectangle would hold.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "core/Parallel.h"
#include "jpeg/JpegBlockOrder.h"
#include "jpeg/JpegDct.h"
#include "jpeg/JpegError.h"
#include "jpeg/JpegPixelBlock.h"
#include "jpeg/JpegPixelRows.h"
#include "jpeg/JpegWorkBitmap.h"
#include "jpeg/cJpeg.h"
#include "raster/FastRows.h"
#include "raster/GdiHandles.h"

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

// True when the 8 x 8 pixels of a 24-bit block all have one colour: the first
// line repeats its first pixel (each byte equals the one three bytes on), and
// every other line equals the first.
bool IsFlat24(const std::uint8_t* const* lines) {
    const std::uint8_t* first = lines[0];
    const std::uint64_t a = Load64(first), b = Load64(first + 8), c = Load64(first + 16);
    if (a != Load64(first + 3) || b != Load64(first + 11) || Load64(first + 13) != c) return false;
    for (int j = 1; j < 8; ++j) {
        const std::uint8_t* line = lines[j];
        if ((Load64(line) ^ a) | (Load64(line + 8) ^ b) | (Load64(line + 16) ^ c)) return false;
    }
    return true;
}

// The same for 32-bit pixels, whose fourth byte is not part of the colour.
bool IsFlat32(const std::uint8_t* const* lines) {
    constexpr std::uint64_t kColour = 0x00FFFFFF00FFFFFFull;
    const std::uint64_t first = Load64(lines[0]) & 0xFFFFFFu;
    const std::uint64_t pair = first | (first << 32);
    std::uint64_t differs = 0;
    for (int j = 0; j < 8; ++j) {
        const std::uint8_t* line = lines[j];
        differs |= (Load64(line) ^ pair) | (Load64(line + 8) ^ pair) | (Load64(line + 16) ^ pair) |
                   (Load64(line + 24) ^ pair);
    }
    return (differs & kColour) == 0;
}

// What one thread samples with: the coefficients of the block in hand, one
// set of 64 per component, and the block row being made of each component in
// compact form (sized to one block row). With `counting`, the symbols of its
// blocks are counted as they are stored, all but the DC difference of its
// first block, whose prediction is the last block of the thread before.
struct RowWork {
    std::vector<std::int16_t> block;
    std::vector<std::uint8_t> rows;
    std::size_t rowCapacity = 0;
    bool counting = false;
    bool started = false;    // a block was stored
    bool uncodable = false;  // a coefficient no AC symbol can code: count from the store instead
    jpeg::SymbolCounts counts[4];
    int firstDc[4] = {};
    int lastDc[4] = {};
    // The last block of a row read in place, padded past the picture's edge.
    std::uint8_t edge[8 * 32] = {};

    void Prepare(int components, int blocksX, bool count) {
        block.resize(static_cast<std::size_t>(components) * 64);
        rowCapacity = jpeg::MaxRowBytes(static_cast<std::size_t>(blocksX));
        const std::size_t bytes = rowCapacity * static_cast<std::size_t>(components);
        if (rows.size() < bytes) rows.resize(bytes);
        counting = count;
        started = false;
        uncodable = false;
        for (jpeg::SymbolCounts& c : counts) c = {};
    }

    // Counts the symbols of the block just stored for component t.
    void Count(int t, const std::uint8_t* stored) {
        const jpeg::CompactBlock block(stored);
        const int dc = block.Dc();
        jpeg::SymbolCounts& c = counts[t];
        if (started) {
            ++c.dc[jpeg::Category(dc - lastDc[t])];
        } else {
            firstDc[t] = dc;
        }
        lastDc[t] = dc;
        jpeg::WalkAc(block, [&](int symbol, int, int category) {
            uncodable = uncodable || category > 15;
            ++c.ac[symbol];
        });
    }
};

// Where the pixels of one block row lie: block bx reads line j at lines[j] +
// bx * 8 * pixelBytes, except that the last block reads lastLines[j] when
// they are given (a block padded past the picture's right edge).
struct BlockRowLines {
    const std::uint8_t* lines[8];
    const std::uint8_t* lastLines[8];
    bool ownLast = false;
    int pixelBytes = 3;
};

// Transforms one row of `blocksX` blocks and stores it as row `outRow` of
// each target's store. False when a coefficient overflows.
bool SampleBlockRow(const BlockRowLines& where, int blocksX, int outRow, const std::vector<Target>& group,
                    const std::vector<jpeg::CoefficientStore*>& stores, RowWork& work, bool vector) {
    bool ok = true;
    const int count = static_cast<int>(group.size());
    // The group's targets with this thread's block as their output.
    Target targets[4];
    for (int t = 0; t < count; ++t) {
        targets[t] = group[static_cast<std::size_t>(t)];
        targets[t].out = work.block.data() + 64 * t;
    }
    const int bpp = where.pixelBytes;
    std::uint8_t* ends[4];
    for (int t = 0; t < count; ++t)
        ends[t] = work.rows.data() + work.rowCapacity * static_cast<std::size_t>(t);
    for (int bx = 0; bx < blocksX; ++bx) {
        const std::uint8_t* at[8];
        if (where.ownLast && bx == blocksX - 1) {
            for (int j = 0; j < 8; ++j) at[j] = where.lastLines[j];
        } else {
            for (int j = 0; j < 8; ++j) at[j] = where.lines[j] + static_cast<std::ptrdiff_t>(bx) * 8 * bpp;
        }
        std::uint8_t* starts[4];
        for (int t = 0; t < count; ++t) starts[t] = ends[t];
        if (bpp == 4 ? IsFlat32(at) : IsFlat24(at)) {
            // One colour: the transform reduces to the DC term, stored at once.
            const std::uint8_t* px = at[0];
            for (int t = 0; t < count; ++t) {
                const float red = px[2], green = px[1], blue = px[0];
                float sample;
                targets[t].weights.Apply(&red, &green, &blue, &sample, 1);
                std::int16_t dc = 0;
                ok = jpeg::TransformFlatDc(sample, targets[t].plan, dc) && ok;
                ends[t][0] = 0;
                std::memcpy(ends[t] + 1, &dc, 2);
                ends[t] += 3;
            }
        } else {
            ok = jpeg::TransformPixelBlockCompact(at, bpp, targets, count, ends, vector) && ok;
        }
        if (work.counting) {
            for (int t = 0; t < count; ++t) work.Count(t, starts[t]);
            work.started = true;
        }
    }
    for (int t = 0; t < count; ++t) {
        const std::uint8_t* begin = work.rows.data() + work.rowCapacity * static_cast<std::size_t>(t);
        stores[static_cast<std::size_t>(t)]->SetRow(outRow,
                                                    {begin, static_cast<std::size_t>(ends[t] - begin)});
    }
    return ok;
}

// Transforms `blockRows` rows of `blocksX` blocks of 24-bit pixels. Pixel line
// y of the first block row starts at top + y * step. Block row by is stored
// as row outRow + by. False when a coefficient overflows.
bool SampleBlockRows(const std::uint8_t* top, std::ptrdiff_t step, int blocksX, int blockRows, int outRow,
                     const std::vector<Target>& group, const std::vector<jpeg::CoefficientStore*>& stores,
                     RowWork& work, bool vector) {
    bool ok = true;
    for (int by = 0; by < blockRows; ++by) {
        BlockRowLines where;
        for (int j = 0; j < 8; ++j) where.lines[j] = top + static_cast<std::ptrdiff_t>(by * 8 + j) * step;
        ok = SampleBlockRow(where, blocksX, outRow + by, group, stores, work, vector) && ok;
    }
    return ok;
}

// Reads component lines [y0, y0 + lines) of a source-sized component into
// a 24-bit strip (line y at strip + y * stride), padded as a full-size work
// picture would be: columns cw .. pw - 1 repeat the column to their left,
// lines past ch the line above. Pixels outside the source read black.
void FillStrip(std::uint8_t* strip, std::size_t stride, const Group& g, std::int64_t y0, int lines,
               const jpeg::PixelRows& src, int srcLeft, int srcTop) {
    const int cw = static_cast<int>(g.cw);
    const int real = static_cast<int>(std::min<std::int64_t>(lines, g.ch - y0));
    // The source columns [xa, xb) of the component lie inside the source.
    const int xa = std::clamp(-srcLeft, 0, cw);
    const int xb = std::clamp(src.width - srcLeft, xa, cw);
    for (int y = 0; y < real; ++y) {
        std::uint8_t* out = strip + y * stride;
        const std::int64_t sy = srcTop + y0 + y;
        if (src.top == nullptr || sy < 0 || sy >= src.height || xa == xb) {
            std::memset(out, 0, static_cast<std::size_t>(3 * cw));
        } else {
            std::memset(out, 0, static_cast<std::size_t>(3 * xa));
            const std::uint8_t* in =
                src.Row(static_cast<int>(sy)) + static_cast<std::ptrdiff_t>(srcLeft + xa) * src.bytesPerPixel;
            if (src.bytesPerPixel == 4) {
                gdi::detail::Row32To24(in, out + 3 * xa, xb - xa);
            } else {
                std::memcpy(out + 3 * xa, in, static_cast<std::size_t>(3 * (xb - xa)));
            }
            std::memset(out + 3 * xb, 0, static_cast<std::size_t>(3 * (cw - xb)));
        }
        for (int x = cw; x < g.pw; ++x) std::memcpy(out + 3 * x, out + 3 * (x - 1), 3);
    }
    for (int y = real; y < lines; ++y) std::memcpy(strip + y * stride, strip + (y - 1) * stride, stride);
}

}  // namespace

std::int32_t cJpeg::Sample(const jpeg::PixelRows& source, std::int32_t lWidth, std::int32_t lHeight,
                           std::int32_t lSrcLeft, std::int32_t lSrcTop) {
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

    // Every buffer is made before anything changes, so a failure leaves the
    // coefficients as they were. A stretched component is drawn by the raster
    // layer from the source wrapped as a bitmap in the work bitmap's session.
    const int blockRows = static_cast<int>(h8 / 8);
    const int parts = std::max(1, std::min(Threads(), blockRows / (2 * kStripBlockRows)));
    WorkBitmap full;
    gdi::UniqueDC sourceDc;
    gdi::UniqueBitmap sourceBitmap;
    std::optional<gdi::SelectionGuard> sourceSelection;
    gdi::Session& handles = full.Handles();
    if (anyStretched) {
        if (!full.Create(static_cast<int>(w8), static_cast<int>(h8))) return 1;
        if (gdi::SetStretchBltMode(handles, full.Dc(), gdi::HALFTONE) == 0)
            gdi::SetStretchBltMode(handles, full.Dc(), gdi::COLORONCOLOR);
        if (source.top != nullptr) {
            gdi::BITMAPINFOHEADER header{};
            header.biSize = sizeof header;
            header.biWidth = source.width;
            header.biHeight = source.pitch < 0 ? source.height : -source.height;
            header.biPlanes = 1;
            header.biBitCount = static_cast<gdi::WORD>(8 * source.bytesPerPixel);
            header.biCompression = gdi::BI_RGB;
            const std::uint8_t* lowest = source.pitch < 0 ? source.Row(source.height - 1) : source.top;
            sourceDc = gdi::UniqueDC(handles, gdi::CreateCompatibleDC(handles, 0));
            // Only ever a blit source: the pixels are never written.
            sourceBitmap =
                gdi::UniqueBitmap(handles, gdi::WrapDIBits(handles, header, const_cast<std::uint8_t*>(lowest),
                                                           source.pitch < 0 ? -source.pitch : source.pitch));
            if (!sourceDc || !sourceBitmap) return 1;
            sourceSelection.emplace(handles, sourceDc.get(), sourceBitmap.get());
        }
    }
    // 32-bit pixels of a rectangle inside the source (the canvas) are read
    // in place, but for the padded bottom block row; anything else through
    // 24-bit strips.
    const bool inPlace = source.top != nullptr && source.bytesPerPixel == 4 && lSrcLeft >= 0 &&
                         lSrcTop >= 0 && std::int64_t{lSrcLeft} + lWidth <= source.width &&
                         std::int64_t{lSrcTop} + lHeight <= source.height;
    const std::size_t stripStride = static_cast<std::size_t>(3 * w8);
    // Read in place, only the bottom block row goes through a strip.
    const std::size_t stripBytes = stripStride * 8 * (inPlace ? 1 : kStripBlockRows);
    if (anyDirect) {
        // Kept from one sampling to the next, so they are fresh memory once.
        strips_.resize(static_cast<std::size_t>(parts));
        for (std::vector<std::uint8_t>& strip : strips_) {
            if (strip.size() < stripBytes) strip.resize(stripBytes);
        }
    }
    std::vector<RowWork> work(static_cast<std::size_t>(parts));
    // Where every scan codes each component's blocks in row order (see
    // InArrayOrder), the statistics are counted here, while the blocks are
    // in cache, instead of in a pass over the store.
    state_.counted.clear();
    const bool countHere = !anyStretched && (count == 1 || (state_.hmax == 1 && state_.vmax == 1));
    std::vector<jpeg::SymbolCounts> counted(static_cast<std::size_t>(count));
    bool uncodable = false;

    std::atomic<bool> overflow{false};
    for (const Group& g : groups) {
        const int blocksX = static_cast<int>(g.pw / 8);
        const int rows = static_cast<int>(g.ph / 8);
        std::vector<Target> targets;
        std::vector<jpeg::CoefficientStore*> stores;
        for (int k = 0; k < g.count; ++k) {
            const int index = g.first + k;
            jpeg::Component& comp = state_.components[static_cast<std::size_t>(index)];
            comp.id = index + 1;
            comp.coefficients.Reset(blocksX, rows);
            targets.push_back(
                {kWeights[index], jpeg::MakeQuantPlan(state_.quant[comp.quantSelector]), nullptr});
            stores.push_back(&comp.coefficients);
        }
        const int groupParts = std::max(1, std::min(parts, rows / (2 * kStripBlockRows)));
        for (int p = 0; p < groupParts; ++p) {
            work[static_cast<std::size_t>(p)].Prepare(g.count, blocksX, countHere);
        }

        if (g.direct) {
            const int cw = static_cast<int>(g.cw);
            core::RunParts(groupParts, [&](int p) {
                RowWork& w = work[static_cast<std::size_t>(p)];
                std::uint8_t* strip = strips_[static_cast<std::size_t>(p)].data();
                const auto end = static_cast<int>(core::PartBegin(rows, groupParts, p + 1));
                auto by = static_cast<int>(core::PartBegin(rows, groupParts, p));
                // Whole block rows of 32-bit pixels are read where they lie.
                for (; inPlace && by < end && 8 * (by + 1) <= g.ch; ++by) {
                    BlockRowLines where;
                    where.pixelBytes = 4;
                    for (int j = 0; j < 8; ++j) {
                        where.lines[j] = source.Row(lSrcTop + 8 * by + j) + std::ptrdiff_t{4} * lSrcLeft;
                    }
                    if (cw % 8 != 0) {
                        // Columns past the edge repeat the last column, as in a strip.
                        const int real = cw % 8;
                        for (int j = 0; j < 8; ++j) {
                            std::uint8_t* line = w.edge + 32 * j;
                            std::memcpy(line, where.lines[j] + std::ptrdiff_t{32} * (blocksX - 1), 4 * real);
                            for (int x = real; x < 8; ++x)
                                std::memcpy(line + 4 * x, line + 4 * (real - 1), 4);
                            where.lastLines[j] = line;
                        }
                        where.ownLast = true;
                    }
                    if (!SampleBlockRow(where, blocksX, by, targets, stores, w, vector_)) overflow = true;
                }
                for (; by < end; by += inPlace ? 1 : kStripBlockRows) {
                    const int n = std::min(inPlace ? 1 : kStripBlockRows, end - by);
                    FillStrip(strip, stripStride, g, 8 * static_cast<std::int64_t>(by), 8 * n, source,
                              lSrcLeft, lSrcTop);
                    if (!SampleBlockRows(strip, static_cast<std::ptrdiff_t>(stripStride), blocksX, n, by,
                                         targets, stores, w, vector_)) {
                        overflow = true;
                    }
                }
            });
            if (countHere) {
                // Each thread's first DC difference, from the last block of the thread before.
                for (int k = 0; k < g.count; ++k) {
                    jpeg::SymbolCounts& total = counted[static_cast<std::size_t>(g.first + k)];
                    for (int p = 0; p < groupParts; ++p) {
                        const RowWork& w = work[static_cast<std::size_t>(p)];
                        const int prediction = p == 0 ? 0 : work[static_cast<std::size_t>(p - 1)].lastDc[k];
                        total.Add(w.counts[k]);
                        ++total.dc[jpeg::Category(w.firstDc[k] - prediction)];
                        uncodable = uncodable || w.uncodable;
                    }
                }
            }
        } else {
            // The component occupies the bottom-left pw x ph corner of the work bitmap.
            const gdi::HDC mem = full.Dc();
            const int top = static_cast<int>(h8 - g.ph);
            const int cw = static_cast<int>(g.cw);
            const int ch = static_cast<int>(g.ch);
            if (sourceDc) {
                gdi::StretchBlt(handles, mem, 0, top, cw, ch, sourceDc.get(), lSrcLeft, lSrcTop, lWidth,
                                lHeight, gdi::SRCCOPY);
            }
            for (int x = cw; x < g.pw; ++x) {
                gdi::BitBlt(handles, mem, x, top, 1, ch, mem, x - 1, top, gdi::SRCCOPY);
            }
            for (int y = top + ch; y < h8; ++y) {
                gdi::BitBlt(handles, mem, 0, y, static_cast<int>(g.pw), 1, mem, 0, y - 1, gdi::SRCCOPY);
            }
            core::RunParts(groupParts, [&](int p) {
                const auto first = static_cast<int>(core::PartBegin(rows, groupParts, p));
                const auto end = static_cast<int>(core::PartBegin(rows, groupParts, p + 1));
                if (!SampleBlockRows(full.Row(top + 8 * first), -static_cast<std::ptrdiff_t>(full.RowBytes()),
                                     blocksX, end - first, first, targets, stores,
                                     work[static_cast<std::size_t>(p)], vector_)) {
                    overflow = true;
                }
            });
        }
    }
    if (overflow) jpeg::RaiseOverflow();
    if (countHere && !uncodable) state_.counted = std::move(counted);
    return 0;
}
