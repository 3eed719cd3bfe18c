#include "jpeg/JpegTables.h"

#include <cmath>

namespace jpeg {
namespace {

// Walks the anti-diagonals from (0, 0), first step to (0, 1), turning at the edges.
std::array<std::uint8_t, 64> BuildZigzag() {
    std::array<std::uint8_t, 64> map{};
    int row = 0;
    int col = 0;
    bool up = true;  // moving up-right
    for (int z = 0; z < 64; ++z) {
        map[row * 8 + col] = static_cast<std::uint8_t>(z);
        if (up) {
            if (col == 7) {
                ++row;
                up = false;
            } else if (row == 0) {
                ++col;
                up = false;
            } else {
                --row;
                ++col;
            }
        } else {
            if (row == 7) {
                ++col;
                up = true;
            } else if (col == 0) {
                ++row;
                up = true;
            } else {
                ++row;
                --col;
            }
        }
    }
    return map;
}

std::array<std::uint8_t, 64> Invert(const std::array<std::uint8_t, 64>& map) {
    std::array<std::uint8_t, 64> inverse{};
    for (int i = 0; i < 64; ++i) inverse[map[i]] = static_cast<std::uint8_t>(i);
    return inverse;
}

std::array<std::uint16_t, 64> ToZigzag(const std::array<std::uint16_t, 64>& natural) {
    const std::array<std::uint8_t, 64> zigzag = BuildZigzag();
    std::array<std::uint16_t, 64> out{};
    for (int i = 0; i < 64; ++i) out[zigzag[i]] = natural[i];
    return out;
}

constexpr std::array<std::uint16_t, 64> kLuminanceNatural = {16, 11, 10, 16, 24,  40,  51,  61,   //
                                                             12, 12, 14, 19, 26,  58,  60,  55,   //
                                                             14, 13, 16, 24, 40,  57,  69,  56,   //
                                                             14, 17, 22, 29, 51,  87,  80,  62,   //
                                                             18, 22, 37, 56, 68,  109, 103, 77,   //
                                                             24, 35, 55, 64, 81,  104, 113, 92,   //
                                                             49, 64, 78, 87, 103, 121, 120, 101,  //
                                                             72, 92, 95, 98, 112, 100, 103, 99};

constexpr std::array<std::uint16_t, 64> kChrominanceNatural = {17, 18, 24, 47, 99, 99, 99, 99,  //
                                                               18, 21, 26, 66, 99, 99, 99, 99,  //
                                                               24, 26, 56, 99, 99, 99, 99, 99,  //
                                                               47, 66, 99, 99, 99, 99, 99, 99,  //
                                                               99, 99, 99, 99, 99, 99, 99, 99,  //
                                                               99, 99, 99, 99, 99, 99, 99, 99,  //
                                                               99, 99, 99, 99, 99, 99, 99, 99,  //
                                                               99, 99, 99, 99, 99, 99, 99, 99};

}  // namespace

const std::array<std::uint8_t, 64> kZigzag = BuildZigzag();
const std::array<std::uint8_t, 64> kNatural = Invert(BuildZigzag());
const std::array<std::uint16_t, 64> kBaseLuminance = ToZigzag(kLuminanceNatural);
const std::array<std::uint16_t, 64> kBaseChrominance = ToZigzag(kChrominanceNatural);

}  // namespace jpeg
