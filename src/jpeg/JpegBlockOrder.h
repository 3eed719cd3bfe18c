// How the coded blocks are ordered and what symbols they make: which
// components share a scan, the MCU walk of an interleaved scan with its dummy
// blocks, and CodeScan, which hands every symbol of a scan to a sink. The
// Huffman statistics are counted and the scans written through CodeScan from
// the same stored coefficients (JpegCoefficients.h), so the tables always fit
// what is written.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <span>
#include <vector>

#include "core/Parallel.h"
#include "jpeg/JpegState.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace jpeg {

// Splits components 0 .. count - 1 into scans. A component joins the current
// scan while the scan's blocks per MCU stay below 11 and it has fewer than 3
// components; a component that alone reaches 11 forms a scan of its own.
std::vector<std::vector<int>> GroupScans(const EncoderState& state);

// Magnitude category: number of significant bits of |value|.
inline int Category(int value) {
    const unsigned magnitude = static_cast<unsigned>(value < 0 ? -value : value);
    return std::bit_width(magnitude);
}

// Bit k set when zigzag coefficient k of the block is not zero.
inline std::uint64_t NonZeroMask(const std::int16_t* block) {
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    std::uint64_t zeros = 0;
    for (int i = 0; i < 4; ++i) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + i * 16));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + i * 16 + 8));
        const __m128i eq = _mm_packs_epi16(_mm_cmpeq_epi16(a, zero), _mm_cmpeq_epi16(b, zero));
        zeros |= static_cast<std::uint64_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(eq))) << (i * 16);
    }
    return ~zeros;
#else
    std::uint64_t mask = 0;
    for (int k = 0; k < 64; ++k) mask |= static_cast<std::uint64_t>(block[k] != 0) << k;
    return mask;
#endif
}

// Walks the AC run-length symbols of one stored block in coding order (the
// DC coefficient is skipped): emit(symbol, value, category) for every symbol,
// with value and category 0 for a run of 16 zeros (0xF0) and for the end of
// block (0x00).
template <class Emit>
inline void WalkAc(CompactBlock block, Emit&& emit) {
    int last = 0;
    block.ForEachAc([&](int k, int value) {
        int run = k - last - 1;
        last = k;
        while (run > 15) {
            emit(0xF0, 0, 0);
            run -= 16;
        }
        const int category = Category(value);
        emit(run * 16 + category, value, category);
    });
    if (last != 63) emit(0x00, 0, 0);
}

// Walks an interleaved scan in MCU order. visit(scanIndex, block, index) is
// called for every block, index counting the component's blocks row by row;
// block is nullptr (and index -1) for a dummy block at the right or bottom
// edge.
template <class Visit>
void WalkInterleaved(const EncoderState& state, std::span<const int> scan, Visit&& visit) {
    const int mcuColumns = (state.width + 8 * state.hmax - 1) / (8 * state.hmax);
    const int mcuRows = (state.height + 8 * state.vmax - 1) / (8 * state.vmax);
    int lastColumnBlocks[4] = {};  // real block columns in the last MCU column
    for (std::size_t s = 0; s < scan.size(); ++s) {
        const Component& c = state.components[scan[s]];
        const std::int64_t samples =
            (static_cast<std::int64_t>(c.h) * state.width + state.hmax - 1) / state.hmax;
        const int b = static_cast<int>((samples + 7) / 8);
        lastColumnBlocks[s] = b % c.h == 0 ? c.h : b % c.h;
    }
    // Where each of a component's block rows in the MCU row goes on.
    const std::uint8_t* at[4][4] = {};
    std::int64_t index[4][4] = {};
    for (int my = 0; my < mcuRows; ++my) {
        for (std::size_t s = 0; s < scan.size(); ++s) {
            const Component& c = state.components[scan[s]];
            for (int v = 0; v < c.v; ++v) {
                // A row past the stored ones only happens in the last MCU row; testing
                // every row keeps a malformed store from being overrun.
                const int row = my * c.v + v;
                const bool stored = row < c.coefficients.BlockRows();
                at[s][v] = stored ? c.coefficients.Row(row) : nullptr;
                index[s][v] = static_cast<std::int64_t>(row) * c.coefficients.BlocksPerRow();
            }
        }
        for (int mx = 0; mx < mcuColumns; ++mx) {
            const bool lastColumn = mx == mcuColumns - 1;
            for (std::size_t s = 0; s < scan.size(); ++s) {
                const Component& c = state.components[scan[s]];
                for (int v = 0; v < c.v; ++v) {
                    for (int h = 1; h <= c.h; ++h) {
                        const bool dummy = (lastColumn && h > lastColumnBlocks[s]) || at[s][v] == nullptr;
                        if (dummy) {
                            visit(static_cast<int>(s), static_cast<const std::uint8_t*>(nullptr),
                                  std::int64_t{-1});
                        } else {
                            visit(static_cast<int>(s), at[s][v], index[s][v]++);
                            at[s][v] = CompactBlock(at[s][v]).End();
                        }
                    }
                }
            }
        }
    }
}

// Whether a scan is coded in array order: a scan of one component, or of
// components that all have sampling factors 1 (every MCU then holds one block
// of each, for each block index in turn, and there are no dummy blocks).
inline bool InArrayOrder(const EncoderState& state, std::span<const int> scan) {
    return scan.size() == 1 || (state.hmax == 1 && state.vmax == 1);
}

// Block indexes of a scan in array order.
inline std::size_t ArrayOrderBlocks(const EncoderState& state, std::span<const int> scan) {
    std::size_t blocks = state.components[scan[0]].coefficients.Blocks();
    for (const int c : scan) blocks = std::min(blocks, state.components[c].coefficients.Blocks());
    return blocks;
}

// Parts a scan is coded (or counted) in, on as many threads: scans in array
// order of 4096 block indexes and more are split, interleaved scans never.
inline int ScanParts(const EncoderState& state, std::span<const int> scan, int threads) {
    if (!InArrayOrder(state, scan)) return 1;
    return static_cast<int>(
        std::clamp<std::size_t>(ArrayOrderBlocks(state, scan) / 4096, 1, std::max(1, threads)));
}

// Hands the symbols of one block to sink in coding order: sink.Dc(category,
// difference) for the DC difference from prediction, then sink.Ac(symbol,
// value, category) for every AC symbol (see WalkAc). The prediction becomes
// the block's DC coefficient. A dummy block (nullptr) codes a difference of 0
// and an end of block and keeps the prediction.
template <class Sink>
inline void CodeBlock(Sink& sink, const std::uint8_t* bytes, int& prediction) {
    if (bytes == nullptr) {
        sink.Dc(0, 0);
        sink.Ac(0x00, 0, 0);
        return;
    }
    const CompactBlock block(bytes);
    const int dc = block.Dc();
    const int diff = dc - prediction;
    prediction = dc;
    sink.Dc(Category(diff), diff);
    WalkAc(block, [&sink](int symbol, int value, int category) { sink.Ac(symbol, value, category); });
}

// Hands the symbols of part p of `parts` (see ScanParts) of a scan to the
// sinks, sinks[s] taking those of the scan's component s.
template <class Sink>
void CodeScan(const EncoderState& state, std::span<const int> scan, int p, int parts, Sink* sinks) {
    int prediction[4] = {};
    if (!InArrayOrder(state, scan)) {
        WalkInterleaved(state, scan, [&](int s, const std::uint8_t* block, std::int64_t) {
            CodeBlock(sinks[s], block, prediction[s]);
        });
        return;
    }
    const auto blocks = static_cast<long long>(ArrayOrderBlocks(state, scan));
    const auto first = static_cast<std::size_t>(core::PartBegin(blocks, parts, p));
    const auto last = static_cast<std::size_t>(core::PartBegin(blocks, parts, p + 1));
    BlockCursor at[4];
    const std::size_t n = scan.size();
    for (std::size_t s = 0; s < n; ++s) {
        const CoefficientStore& store = state.components[scan[s]].coefficients;
        if (first > 0) {
            // The prediction is the DC coefficient of the block before the part.
            at[s] = BlockCursor(store, first - 1);
            prediction[s] = CompactBlock(at[s].Get()).Dc();
            at[s].Next();
        } else {
            at[s] = BlockCursor(store, first);
        }
    }
    for (std::size_t i = first; i < last; ++i) {
        for (std::size_t s = 0; s < n; ++s) {
            CodeBlock(sinks[s], at[s].Get(), prediction[s]);
            at[s].Next();
        }
    }
}

}  // namespace jpeg
