// One 8 x 8 block of 24-bit pixels turned into the quantised coefficients of
// each colour component: the per-block work of sampling, with an AVX2 form
// chosen at run time where the processor has it. Both forms perform the same
// single-precision operations in the same order, so their results are equal.
#pragma once

#include <cstdint>

#include "jpeg/JpegDct.h"

namespace jpeg {

struct ColourWeights {
    float r, g, b, offset;
};

struct BlockTarget {
    ColourWeights weights;
    QuantPlan plan;
    std::int16_t* out;  // start of the coefficient array
};

// rows[j] points at pixel line j of the block (blue, green, red bytes); each
// target receives 64 coefficients at out + offset. False when a coefficient
// overflows 16 bits.
bool TransformPixelBlock(const std::uint8_t* const* rows, const BlockTarget* targets, int count,
                         std::size_t offset);

// Whether TransformPixelBlock uses AVX2; tests switch it off to compare.
bool UsingAvx2();
void AllowAvx2(bool allowed);

}  // namespace jpeg
