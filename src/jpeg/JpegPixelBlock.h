// One 8 x 8 block of 24- or 32-bit pixels turned into the quantised
// coefficients of each colour component: the per-block work of sampling. It has two forms: the
// reference, one value at a time (ForwardDct), and a fast path for processors
// with AVX2, chosen at run time, that runs the reference's own transform
// (lanes::Dct8) on eight lanes at once. Their results are equal.
#pragma once

#include <cstdint>

#include "jpeg/JpegDct.h"
#include "jpeg/JpegDctLanes.h"

namespace jpeg {

// Weights of red, green and blue and the offset (with the level shift) of
// one colour component.
struct ColourWeights {
    float r, g, b, offset;

    // The component's samples of n pixels: out[i] from red[i], green[i] and
    // blue[i], each a float or eight pixels in the lanes of a vector. Every
    // form adds in this order.
    template <class V>
    KORVEL_ALWAYS_INLINE void Apply(const V* red, const V* green, const V* blue, V* out, int n) const {
        for (int i = 0; i < n; ++i) out[i] = ((red[i] * r + green[i] * g) + blue[i] * b) + offset;
    }
};

struct BlockTarget {
    ColourWeights weights;
    QuantPlan plan;
    std::int16_t* out;  // start of the coefficient array
};

// rows[j] points at pixel line j of the block (blue, green, red bytes, then
// a fourth byte that is not read when pixelBytes is 4); each target receives
// 64 coefficients at out + offset. False when a coefficient overflows 16
// bits. `vector` lets it take the AVX2 form where the processor has one; both
// forms give the same coefficients.
bool TransformPixelBlock(const std::uint8_t* const* rows, int pixelBytes, const BlockTarget* targets,
                         int count, std::size_t offset, bool vector);

// The same, each target's coefficients stored at once in compact form
// (JpegCoefficients.h) at ends[t], which moves past them. The targets' out
// arrays are scratch for the form without vectors.
bool TransformPixelBlockCompact(const std::uint8_t* const* rows, int pixelBytes, const BlockTarget* targets,
                                int count, std::uint8_t** ends, bool vector);

// Whether this processor runs the AVX2 forms (detected once).
bool Avx2Available();

}  // namespace jpeg
