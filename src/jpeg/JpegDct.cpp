#include "jpeg/JpegDct.h"

#include <cmath>
#include <utility>

#include "jpeg/JpegError.h"
#include "jpeg/JpegTables.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace jpeg {
namespace {

constexpr double kC4 = 0.707106781186548;
constexpr double kC6 = 0.382683432365091;
constexpr double kE = 0.541196100146196;
constexpr double kF = 1.30656296487638;

// One-dimensional transform of eight 8-lane vectors: data[i * 8 + lane] holds
// sample i of lane's sequence. Every lane runs the same single-precision
// arithmetic as the scalar transform, so the loop vectorises without changing
// a single result. Products with the double-precision constants are formed in
// double and stored as single precision.
inline void TransformLanes(float* __restrict data) {
    for (int l = 0; l < 8; ++l) {
        const float d0 = data[0 * 8 + l], d1 = data[1 * 8 + l], d2 = data[2 * 8 + l], d3 = data[3 * 8 + l];
        const float d4 = data[4 * 8 + l], d5 = data[5 * 8 + l], d6 = data[6 * 8 + l], d7 = data[7 * 8 + l];

        const float t0 = d0 + d7, t7 = d0 - d7;
        const float t1 = d1 + d6, t6 = d1 - d6;
        const float t2 = d2 + d5, t5 = d2 - d5;
        const float t3 = d3 + d4, t4 = d3 - d4;

        // Even part.
        const float t10 = t0 + t3, t13 = t0 - t3;
        const float t11 = t1 + t2;
        const float s12 = t1 - t2 + t13;
        const float z1 = static_cast<float>(static_cast<double>(s12) * kC4);
        data[0 * 8 + l] = t10 + t11;
        data[4 * 8 + l] = t10 - t11;
        data[2 * 8 + l] = t13 + z1;
        data[6 * 8 + l] = t13 - z1;

        // Odd part.
        const float p10 = t4 + t5, p11 = t5 + t6, p12 = t6 + t7;
        const float diff = p10 - p12;
        const float z5 = static_cast<float>(static_cast<double>(diff) * kC6);
        const float z2 = static_cast<float>(static_cast<double>(p10) * kE + static_cast<double>(z5));
        const float z4 = static_cast<float>(static_cast<double>(p12) * kF + static_cast<double>(z5));
        const float z3 = static_cast<float>(static_cast<double>(p11) * kC4);
        const float z11 = t7 + z3, z13 = t7 - z3;
        data[5 * 8 + l] = z13 + z2;
        data[3 * 8 + l] = z13 - z2;
        data[1 * 8 + l] = z11 + z4;
        data[7 * 8 + l] = z11 - z4;
    }
}

inline void Transpose(float* block) {
    for (int r = 0; r < 8; ++r) {
        for (int c = r + 1; c < 8; ++c) std::swap(block[r * 8 + c], block[c * 8 + r]);
    }
}

// Columns first (each lane is a column), then rows (after the transpose each
// lane is a row). The result stays transposed: block[v * 8 + u] = out(u, v).
inline void ForwardDctTransposed(float* block) {
    TransformLanes(block);
    Transpose(block);
    TransformLanes(block);
}

}  // namespace

void ComputeMultipliers(QuantTable& table, int precision) {
    const int limit = precision == 12 ? 65535 : 255;
    for (int b = 0; b < 8; ++b) {
        for (int a = 0; a < 8; ++a) {
            const int z = kZigzag[a * 8 + b];
            const int value = table.values[z];
            if (value < 1 || value > limit) throw JpegError(kErrValidation, "Bad Quantization Table");
            table.multipliers[z] = static_cast<float>((kDctScale[a] * kDctScale[b]) / value);
        }
    }
}

void ForwardDct(float* block) {
    ForwardDctTransposed(block);
    Transpose(block);
}

void Quantise(const float* block, const QuantTable& table, std::int16_t* out) {
    for (int i = 0; i < 64; ++i) {
        const int z = kZigzag[i];
        const float product = block[i] * table.multipliers[z];
        const double rounded = RoundHalfEven(product);
        if (rounded < -32768.0 || rounded > 32767.0) RaiseOverflow();
        out[z] = static_cast<std::int16_t>(rounded);
    }
}

QuantPlan MakeQuantPlan(const QuantTable& table) {
    QuantPlan plan;
    for (int v = 0; v < 8; ++v) {
        for (int u = 0; u < 8; ++u) {
            const int z = kZigzag[u * 8 + v];
            plan.multipliers[v * 8 + u] = table.multipliers[z];
            plan.destination[v * 8 + u] = static_cast<std::uint8_t>(z);
        }
    }
    return plan;
}

bool TransformBlock(float* block, const QuantPlan& plan, std::int16_t* out) {
    ForwardDctTransposed(block);
    alignas(16) std::int32_t rounded[64];
#if defined(__SSE2__)
    // cvtps2dq rounds with the current mode, round-to-nearest-even.
    __m128 low = _mm_set1_ps(-32768.5f);
    __m128 high = _mm_set1_ps(32767.5f);
    __m128 outside = _mm_setzero_ps();
    for (int i = 0; i < 64; i += 4) {
        const __m128 product = _mm_mul_ps(_mm_loadu_ps(block + i), _mm_load_ps(plan.multipliers.data() + i));
        outside = _mm_or_ps(outside, _mm_or_ps(_mm_cmplt_ps(product, low), _mm_cmpge_ps(product, high)));
        _mm_store_si128(reinterpret_cast<__m128i*>(rounded + i), _mm_cvtps_epi32(product));
    }
    if (_mm_movemask_ps(outside) != 0) return false;
#else
    for (int i = 0; i < 64; ++i) {
        const float product = block[i] * plan.multipliers[i];
        const double r = RoundHalfEven(product);
        if (r < -32768.0 || r > 32767.0) return false;
        rounded[i] = static_cast<std::int32_t>(r);
    }
#endif
    for (int i = 0; i < 64; ++i) out[plan.destination[i]] = static_cast<std::int16_t>(rounded[i]);
    return true;
}

}  // namespace jpeg
