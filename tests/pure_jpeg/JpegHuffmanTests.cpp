// Optimal Huffman tables, code derivation and the byte estimate.
#include <gtest/gtest.h>

#include <numeric>
#include <random>
#include <set>

#include "jpeg/JpegError.h"
#include "jpeg/JpegHuffman.h"

namespace {

using jpeg::FrequencyList;
using jpeg::HuffmanTable;

HuffmanTable Build(FrequencyList freq, int maxSymbol = 255) {
    HuffmanTable table;
    jpeg::GenerateOptimalTable(table, freq);
    jpeg::DeriveCodes(table, maxSymbol);
    return table;
}

// Every code is a proper prefix code that leaves the all-ones code free.
void ExpectSoundCode(const HuffmanTable& table, int symbols) {
    EXPECT_EQ(table.SymbolCount(), symbols);
    double kraft = 0;
    for (int s = 0; s < 256; ++s) {
        const int len = table.length[s];
        if (len == 0) continue;
        EXPECT_LE(len, 16);
        kraft += std::ldexp(1.0, -len);
        EXPECT_NE(table.code[s], (1 << len) - 1) << "all-ones code for " << s;
    }
    EXPECT_LT(kraft, 1.0);
}

void ExpectBadTable(HuffmanTable table, int maxSymbol) {
    try {
        jpeg::DeriveCodes(table, maxSymbol);
        ADD_FAILURE() << "accepted";
    } catch (const jpeg::JpegError& e) {
        EXPECT_EQ(e.Number(), 1);
        EXPECT_EQ(e.Description(), "Bad Huffman Table");
    }
}

TEST(JpegHuffman, SingleSymbolGetsAOneBitCode) {
    FrequencyList freq{};
    freq[0] = 1234;
    const HuffmanTable table = Build(freq, 11);
    EXPECT_EQ(table.bits[0], 1);
    EXPECT_EQ(table.SymbolCount(), 1);
    EXPECT_EQ(table.huffval[0], 0);
    EXPECT_EQ(table.length[0], 1);
    EXPECT_EQ(table.code[0], 0);  // the reserved entry holds "1"
}

TEST(JpegHuffman, EqualCountsMergeTheLargerSymbolFirst) {
    FrequencyList freq{};
    freq[3] = 1;
    freq[7] = 1;
    // The reserved entry (256) and 7 merge first, so 3 keeps the short code.
    const HuffmanTable table = Build(freq);
    EXPECT_EQ(table.length[3], 1);
    EXPECT_EQ(table.length[7], 2);
    EXPECT_EQ(table.huffval[0], 3);
    EXPECT_EQ(table.huffval[1], 7);
}

TEST(JpegHuffman, FibonacciCountsAreLimitedTo16Bits) {
    FrequencyList freq{};
    std::int64_t a = 1, b = 1;
    for (int s = 0; s < 20; ++s) {
        freq[s * 3] = a;
        const std::int64_t next = a + b;
        a = b;
        b = next;
    }
    const HuffmanTable table = Build(freq);
    ExpectSoundCode(table, 20);
    EXPECT_LE(table.length[19 * 3], table.length[0]);  // frequent symbols stay short
}

TEST(JpegHuffman, RandomStatisticsGiveSoundCodes) {
    std::mt19937 random(3);
    for (int round = 0; round < 50; ++round) {
        FrequencyList freq{};
        std::uniform_int_distribution<int> used(1, 256);
        const int symbols = used(random);
        std::vector<int> all(256);
        std::iota(all.begin(), all.end(), 0);
        std::shuffle(all.begin(), all.end(), random);
        for (int i = 0; i < symbols; ++i)
            freq[all[i]] = std::uniform_int_distribution<int>(1, 1 << (round % 20))(random);
        const FrequencyList counts = freq;
        const HuffmanTable table = Build(freq);
        ExpectSoundCode(table, symbols);
        for (int s = 0; s < 256; ++s) EXPECT_EQ(table.length[s] != 0, counts[s] != 0) << s;
    }
}

TEST(JpegHuffman, MalformedTablesAreRejected) {
    HuffmanTable tooMany;
    tooMany.bits[7] = 255;  // 255 codes of 8 bits, then 2 more: 257 symbols
    tooMany.bits[8] = 2;
    for (int i = 0; i < 256; ++i) tooMany.huffval[i] = static_cast<std::uint8_t>(i);
    ExpectBadTable(tooMany, 255);

    HuffmanTable dc;
    dc.bits[1] = 2;
    dc.huffval[0] = 0;
    dc.huffval[1] = 12;  // beyond the DC categories of 8-bit samples
    ExpectBadTable(dc, 11);
    EXPECT_NO_THROW(jpeg::DeriveCodes(dc, 15));

    HuffmanTable repeated;
    repeated.bits[1] = 2;
    repeated.huffval[0] = 5;
    repeated.huffval[1] = 5;
    ExpectBadTable(repeated, 255);

    HuffmanTable full;
    full.bits[0] = 2;  // "0" and "1": the code overruns its length
    full.huffval[1] = 1;
    ExpectBadTable(full, 255);

    ExpectBadTable(HuffmanTable{}, 255);  // no symbol at all
}

jpeg::EncoderState OneBlockGrey(const std::array<std::int16_t, 64>& block) {
    jpeg::EncoderState state;
    state.precision = 8;
    state.width = 8;
    state.height = 8;
    jpeg::Component c;
    c.id = 1;
    c.coefficients.AssignDense(block, 1);
    state.components.push_back(c);
    return state;
}

TEST(JpegHuffman, EstimateOfAFlatGreyBlock) {
    std::array<std::int16_t, 64> block{};
    block[0] = 100;  // DC category 7
    jpeg::EncoderState state = OneBlockGrey(block);
    // DC: 1-bit code + 7 bits; AC: a 1-bit EOB. 9 bits -> 2 bytes.
    EXPECT_EQ(jpeg::OptimiseTables(state, 1), 2);
    EXPECT_EQ(state.dc[0].SymbolCount(), 1);
    EXPECT_EQ(state.dc[0].huffval[0], 7);
    EXPECT_EQ(state.ac[0].SymbolCount(), 1);
    EXPECT_EQ(state.ac[0].huffval[0], 0x00);
}

TEST(JpegHuffman, LongZeroRunsCountZrlSymbols) {
    std::array<std::int16_t, 64> block{};
    block[0] = 1;
    block[41] = -3;  // 40 zeros before it: ZRL, ZRL, then run 8, category 2
    jpeg::EncoderState state = OneBlockGrey(block);
    const std::int64_t bytes = jpeg::OptimiseTables(state, 1);
    const HuffmanTable& ac = state.ac[0];
    EXPECT_EQ(ac.SymbolCount(), 3);
    EXPECT_NE(ac.length[0xF0], 0);
    EXPECT_NE(ac.length[0x82], 0);
    EXPECT_NE(ac.length[0x00], 0);
    EXPECT_LT(ac.length[0xF0], ac.length[0x82]);  // counted twice, so shorter
    // DC: 1 + 1 bits; AC: ZRL 2 x 1, 0x82 3 + 2, EOB 2: 11 bits -> 2 bytes.
    EXPECT_EQ(ac.length[0xF0], 1);
    EXPECT_EQ(ac.length[0x00], 2);
    EXPECT_EQ(ac.length[0x82], 3);
    EXPECT_EQ(bytes, 2);

    // A last coefficient that is not zero needs no EOB.
    block[63] = 1;
    state = OneBlockGrey(block);
    jpeg::OptimiseTables(state, 1);
    EXPECT_EQ(state.ac[0].length[0x00], 0);
    EXPECT_NE(state.ac[0].length[0x51], 0);  // 21 zeros: ZRL, then run 5, category 1
}

}  // namespace
