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

// The sink of CodeScan that counts the symbols of one component.
struct SymbolCounter {
    SymbolCounts* counts;

    void Dc(int category, int) { ++counts->dc[category]; }
    void Ac(int symbol, int, int category) {
        if (category > 15) RaiseSubscript();  // a coefficient no AC symbol can code
        ++counts->ac[symbol];
    }
};

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
        if (c.coefficients.Empty()) RaiseSubscript();
    }

    // The symbols of every scan: counted while sampling, or from the stored
    // coefficients by the walk that writes them (in parts on several threads
    // as it does).
    std::vector<SymbolCounts> perComponent(n);
    if (state.counted.size() == n) perComponent = state.counted;
    for (const std::vector<int>& scan : GroupScans(state)) {
        if (state.counted.size() == n) break;
        const int parts = ScanParts(state, scan, threads);
        std::vector<std::vector<SymbolCounts>> partial(static_cast<std::size_t>(parts),
                                                       std::vector<SymbolCounts>(scan.size()));
        core::RunParts(parts, [&](int p) {
            std::vector<SymbolCounts>& counts = partial[static_cast<std::size_t>(p)];
            SymbolCounter sinks[4];
            for (std::size_t s = 0; s < scan.size(); ++s) sinks[s] = {&counts[s]};
            CodeScan(state, scan, p, parts, sinks);
        });
        for (const auto& part : partial) {
            for (std::size_t s = 0; s < scan.size(); ++s) perComponent[scan[s]].Add(part[s]);
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
            slot.Add(perComponent[c]);
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
