// Forward DCT (the scaled float transform of Arai, Agui and Nakajima) and the
// quantiser that folds the DCT's output scaling into one multiplier per
// coefficient: the reference form, step by step, and the fast form sampling
// uses, which runs the same arithmetic on eight lanes at once and gives the
// same coefficients.
#pragma once

#include <array>
#include <cstdint>

#include "jpeg/JpegState.h"

namespace jpeg {

// Fills table.multipliers from table.values; the values must lie in 1..255
// (1..65535 at precision 12), else "Bad Quantization Table" is raised.
// Positions are visited column by column; those visited before a bad value
// keep their new multipliers.
void ComputeMultipliers(QuantTable& table, int precision);

// In-place forward DCT of an 8 x 8 block (index row * 8 + column): columns
// first, then rows. The output at (u, v) is the DCT coefficient times 8 s_u s_v.
void ForwardDct(float* block);

// Quantises a transformed block into 64 zigzag-ordered coefficients:
// coefficient[z] = block[natural(z)] * multiplier[z], rounded half to even.
// Raises error 6 when a value does not fit 16 bits.
void Quantise(const float* block, const QuantTable& table, std::int16_t* out);

// The fast path used while sampling: the DCT leaves its result transposed,
// and the plan holds the multipliers in that layout together with the zigzag
// destination of every entry.
struct QuantPlan {
    alignas(16) std::array<float, 64> multipliers{};
    std::array<std::uint8_t, 64> destination{};
    std::array<std::uint8_t, 64> origin{};  // origin[destination[i]] == i
};
QuantPlan MakeQuantPlan(const QuantTable& table);

// Quantise with the multipliers of a plan, for a block in natural layout;
// false instead of the error when a coefficient does not fit 16 bits.
bool QuantiseByPlan(const float* block, const QuantPlan& plan, std::int16_t* out);

// ForwardDct and quantisation in one: transforms block (natural layout,
// destroyed) and writes 64 coefficients to out. Takes the fast path where the
// processor has it (JpegPixelBlock.cpp). Returns false when a coefficient
// falls outside the 16-bit range.
bool TransformBlock(float* block, const QuantPlan& plan, std::int16_t* out);

// TransformBlock for a block whose 64 samples all equal `sample`, with the
// same result: the transform of a constant is exact (sums of equal values
// scale by powers of two), leaving 64 * sample at DC and zeros elsewhere.
bool TransformFlatBlock(float sample, const QuantPlan& plan, std::int16_t* out);
// The DC coefficient of such a block alone.
bool TransformFlatDc(float sample, const QuantPlan& plan, std::int16_t& dc);

}  // namespace jpeg
