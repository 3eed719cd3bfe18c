// The data an encoder holds between its stages: frame, components with their
// quantised coefficients, quantisation and Huffman table slots.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "jpeg/JpegBuffer.h"
#include "jpeg/JpegCoefficients.h"

namespace jpeg {

using ByteArray = std::vector<std::uint8_t, LargeBufferAllocator<std::uint8_t>>;

// One quantisation table slot: 64 values and the matching DCT multipliers,
// both in zigzag order.
struct QuantTable {
    std::array<std::uint16_t, 64> values{};
    std::array<float, 64> multipliers{};
};

// One Huffman table slot: the table as written to the file (BITS, HUFFVAL)
// and the code of every symbol derived from it.
struct HuffmanTable {
    std::array<std::uint8_t, 16> bits{};      // bits[L - 1] = number of codes of length L
    std::array<std::uint8_t, 256> huffval{};  // symbols by increasing code length
    std::array<std::uint8_t, 256> length{};   // code length per symbol, 0 = no code
    std::array<std::int32_t, 256> code{};     // code per symbol, -1 = no code

    int SymbolCount() const {
        int n = 0;
        for (const std::uint8_t b : bits) n += b;
        return n;
    }
};

// Counts of the symbols 0..255 plus the reserved entry 256.
using FrequencyList = std::array<std::int64_t, 257>;

// Symbol statistics of one component's blocks in coding order: DC
// categories and AC symbols.
struct SymbolCounts {
    FrequencyList dc{};
    FrequencyList ac{};

    void Add(const SymbolCounts& other) {
        for (std::size_t s = 0; s < dc.size(); ++s) {
            dc[s] += other.dc[s];
            ac[s] += other.ac[s];
        }
    }
};

struct Component {
    std::int32_t id = 0;    // 1, 2, 3
    int h = 1;              // horizontal sampling factor 1..4
    int v = 1;              // vertical sampling factor 1..4
    int quantSelector = 0;  // 0 or 1
    // The quantised coefficients of every block (zigzag order), blocks row by
    // row from the top of the component.
    CoefficientStore coefficients;
};

struct EncoderState {
    int precision = 0;  // 8 once a picture was sampled
    int width = 0;      // samples per line of the frame
    int height = 0;     // lines of the frame
    int hmax = 1;
    int vmax = 1;
    std::vector<Component> components;
    std::array<QuantTable, 4> quant{};
    std::array<HuffmanTable, 4> dc{};
    std::array<HuffmanTable, 4> ac{};
    // The statistics of every component, counted while sampling where the
    // scans code each component's blocks in row order; empty when they are to
    // be counted from the coefficients.
    std::vector<SymbolCounts> counted;
    std::string comment;  // single-byte characters
};

// Entropy-coding selectors of the file's component list: 0 for the first
// component, 1 for the others (the same value serves DC and AC).
inline int TableSelector(int componentIndex) {
    return componentIndex == 0 ? 0 : 1;
}

}  // namespace jpeg
