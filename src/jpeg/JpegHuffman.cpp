#include "jpeg/JpegHuffman.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "core/Parallel.h"
#include "jpeg/JpegBlockOrder.h"
#include "jpeg/JpegError.h"

namespace jpeg {
namespace {

[[noreturn]] void RaiseBadTable() {
    throw JpegError(kErrValidation, "Bad Huffman Table");
}

// Index of the entry with the smallest non-zero count; among equal counts the
// larger index. -1 when there is none.
int SmallestEntry(const FrequencyList& freq, int exclude) {
    int best = -1;
    std::int64_t bestCount = std::numeric_limits<std::int64_t>::max();
    for (int i = 0; i <= 256; ++i) {
        if (freq[i] != 0 && freq[i] <= bestCount && i != exclude) {
            bestCount = freq[i];
            best = i;
        }
    }
    return best;
}

// Statistics of a component whose blocks are coded in array order: blocks
// [first, last) with the prediction taken from the block before first.
void CountLinear(const Component& c, std::int64_t first, std::int64_t last, bool countDc,
                 SymbolCounts& counts) {
    const std::int16_t* block = c.coefficients.data() + first * 64;
    int prediction = first > 0 ? block[-64] : 0;
    for (std::int64_t b = first; b < last; ++b, block += 64) {
        if (countDc) {
            ++counts.dc[Category(block[0] - prediction)];
            prediction = block[0];
        }
        if (!CountAc(block, counts.ac)) RaiseSubscript();  // no such symbol
    }
}

}  // namespace

void GenerateOptimalTable(HuffmanTable& table, FrequencyList& freq) {
    freq[256] = 1;  // reserved: keeps every real symbol off the all-ones code
    std::array<int, 257> codeSize{};
    std::array<int, 257> others;
    others.fill(-1);

    for (;;) {
        int c1 = SmallestEntry(freq, -1);
        int c2 = SmallestEntry(freq, c1);
        if (c2 < 0) break;
        freq[c1] += freq[c2];
        freq[c2] = 0;
        ++codeSize[c1];
        while (others[c1] >= 0) {
            c1 = others[c1];
            ++codeSize[c1];
        }
        others[c1] = c2;
        ++codeSize[c2];
        while (others[c2] >= 0) {
            c2 = others[c2];
            ++codeSize[c2];
        }
    }

    std::array<int, 258> bits{};
    int maxSize = 0;
    for (int i = 0; i <= 256; ++i) {
        if (codeSize[i] != 0) {
            ++bits[codeSize[i]];
            maxSize = std::max(maxSize, codeSize[i]);
        }
    }
    // Limit the lengths to 16 (Figure K.3): move pairs of long codes up.
    for (int i = maxSize; i > 16; --i) {
        while (bits[i] > 0) {
            int j = i - 2;
            while (j > 1 && bits[j] == 0) --j;
            bits[i] -= 2;
            ++bits[i - 1];
            bits[j + 1] += 2;
            --bits[j];
        }
    }
    // Drop the reserved entry's code: one of the longest in use.
    int longest = std::min(maxSize, 16);
    while (longest > 0 && bits[longest] == 0) --longest;
    if (longest > 0) --bits[longest];

    for (int l = 1; l <= 16; ++l) table.bits[l - 1] = static_cast<std::uint8_t>(bits[l]);
    int p = 0;
    for (int size = 1; size <= maxSize; ++size) {
        for (int s = 0; s <= 255; ++s) {
            if (codeSize[s] == size) table.huffval[p++] = static_cast<std::uint8_t>(s);
        }
    }
}

void DeriveCodes(HuffmanTable& table, int maxSymbol) {
    table.length.fill(0);
    table.code.fill(-1);
    int total = 0;
    std::int64_t code = 0;
    for (int l = 1; l <= 16; ++l) {
        const int count = table.bits[l - 1];
        if (total + count > 256) RaiseBadTable();
        for (int k = 0; k < count; ++k) {
            const int s = table.huffval[total];
            if (s > maxSymbol || table.length[s] != 0) RaiseBadTable();
            table.length[s] = static_cast<std::uint8_t>(l);
            table.code[s] = static_cast<std::int32_t>(code);
            ++code;
            ++total;
        }
        if (code >= (std::int64_t{1} << l)) RaiseBadTable();
        code <<= 1;
    }
    if (total == 0) RaiseBadTable();
}

std::int64_t OptimiseTables(EncoderState& state, int threads) {
    const std::size_t n = state.components.size();
    for (const Component& c : state.components) {
        if (c.coefficients.empty() || c.coefficients.size() % 64 != 0) RaiseSubscript();
    }

    // Which components sit in interleaved scans.
    const std::vector<std::vector<int>> scans = GroupScans(state);
    std::vector<bool> interleaved(n, false);
    for (const auto& scan : scans) {
        for (const int c : scan) interleaved[c] = scan.size() > 1;
    }
    // With Hmax = Vmax = 1 an interleaved scan has one block per component in
    // each MCU and no dummy blocks, so MCU order is array order.
    const bool mcuIsArrayOrder = state.hmax == 1 && state.vmax == 1;

    // Statistics gathered while sampling are used as they are; the others
    // are counted here, in parts on several threads.
    std::vector<SymbolCounts> perComponent(n);
    bool anyToCount = false;
    for (std::size_t c = 0; c < n; ++c) {
        const Component& comp = state.components[c];
        if (!comp.countsValid) {
            anyToCount = true;
            continue;
        }
        perComponent[c].ac = comp.counts.ac;
        if (!interleaved[c] || mcuIsArrayOrder) perComponent[c].dc = comp.counts.dc;
    }
    if (anyToCount) {
        const int parts = std::max(1, threads);
        std::vector<std::vector<SymbolCounts>> partial(static_cast<std::size_t>(parts),
                                                       std::vector<SymbolCounts>(n));
        core::RunParts(parts, [&](int p) {
            for (std::size_t c = 0; c < n; ++c) {
                const Component& comp = state.components[c];
                if (comp.countsValid) continue;
                const auto blocks = static_cast<long long>(comp.coefficients.size() / 64);
                const bool linearDc = !interleaved[c] || mcuIsArrayOrder;
                CountLinear(comp, core::PartBegin(blocks, parts, p), core::PartBegin(blocks, parts, p + 1),
                            linearDc, partial[static_cast<std::size_t>(p)][c]);
            }
        });
        for (std::size_t c = 0; c < n; ++c) {
            for (const auto& part : partial) perComponent[c].Add(part[c]);
        }
    }
    // DC statistics in MCU order, and the dummy blocks: each codes a DC
    // difference of 0 and an EOB, so the EOB always has a code when they occur.
    if (!mcuIsArrayOrder) {
        for (const auto& scan : scans) {
            if (scan.size() < 2) continue;
            int prediction[4] = {};
            WalkInterleaved(state, scan, [&](int s, const std::int16_t* block) {
                SymbolCounts& counts = perComponent[static_cast<std::size_t>(scan[s])];
                if (block == nullptr) {
                    ++counts.dc[0];
                    ++counts.ac[0x00];
                } else {
                    ++counts.dc[Category(block[0] - prediction[s])];
                    prediction[s] = block[0];
                }
            });
        }
    }

    std::int64_t bitTotal = 0;
    const int maxDcSymbol = state.precision == 12 ? 15 : 11;
    for (int k = 0; k < 4; ++k) {
        bool used = false;
        SymbolCounts slot{};
        for (std::size_t c = 0; c < n; ++c) {
            if (TableSelector(static_cast<int>(c)) != k) continue;
            used = true;
            for (int s = 0; s < 257; ++s) {
                slot.dc[s] += perComponent[c].dc[s];
                slot.ac[s] += perComponent[c].ac[s];
            }
        }
        if (!used) continue;

        const FrequencyList dcCounts = slot.dc;
        GenerateOptimalTable(state.dc[k], slot.dc);
        DeriveCodes(state.dc[k], maxDcSymbol);
        for (int c = 0; c <= 15; ++c) {
            if (dcCounts[c] > 0) bitTotal += dcCounts[c] * (state.dc[k].length[c] + c);
        }

        const FrequencyList acCounts = slot.ac;
        GenerateOptimalTable(state.ac[k], slot.ac);
        DeriveCodes(state.ac[k], 255);
        for (int s = 0; s <= 255; ++s) {
            if (acCounts[s] > 0) bitTotal += acCounts[s] * (state.ac[k].length[s] + s % 16);
        }
    }
    return bitTotal / 8 + (bitTotal % 8 != 0 ? 1 : 0);
}

}  // namespace jpeg
