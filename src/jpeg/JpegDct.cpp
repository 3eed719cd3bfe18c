#include "jpeg/JpegDct.h"

#include <cmath>
#include <cstring>
#include <utility>

#include "core/Rounding.h"
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
        const double rounded = core::RoundHalfEven(product);
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

bool TransformFlatBlock(float sample, const QuantPlan& plan, std::int16_t* out) {
    const float product = (64.0f * sample) * plan.multipliers[0];
    const double rounded = core::RoundHalfEven(product);
    if (rounded < -32768.0 || rounded > 32767.0) return false;
    std::memset(out, 0, 64 * sizeof(std::int16_t));
    out[plan.destination[0]] = static_cast<std::int16_t>(rounded);
    return true;
}

#if defined(__SSE2__)
namespace {

// float(double(x) * c) for four lanes.
inline __m128 MulD(__m128 x, __m128d c) {
    const __m128d lo = _mm_mul_pd(_mm_cvtps_pd(x), c);
    const __m128d hi = _mm_mul_pd(_mm_cvtps_pd(_mm_movehl_ps(x, x)), c);
    return _mm_movelh_ps(_mm_cvtpd_ps(lo), _mm_cvtpd_ps(hi));
}

// float(double(x) * c + double(z)) for four lanes.
inline __m128 MulAddD(__m128 x, __m128d c, __m128 z) {
    const __m128d lo = _mm_add_pd(_mm_mul_pd(_mm_cvtps_pd(x), c), _mm_cvtps_pd(z));
    const __m128d hi =
        _mm_add_pd(_mm_mul_pd(_mm_cvtps_pd(_mm_movehl_ps(x, x)), c), _mm_cvtps_pd(_mm_movehl_ps(z, z)));
    return _mm_movelh_ps(_mm_cvtpd_ps(lo), _mm_cvtpd_ps(hi));
}

// The one-dimensional transform on four lanes, d[i] holding sample i; the
// same operations, in the same order, as TransformLanes.
inline void TransformVectors(__m128* d) {
    const __m128d c4 = _mm_set1_pd(kC4), c6 = _mm_set1_pd(kC6), e = _mm_set1_pd(kE), f = _mm_set1_pd(kF);
    const __m128 t0 = _mm_add_ps(d[0], d[7]), t7 = _mm_sub_ps(d[0], d[7]);
    const __m128 t1 = _mm_add_ps(d[1], d[6]), t6 = _mm_sub_ps(d[1], d[6]);
    const __m128 t2 = _mm_add_ps(d[2], d[5]), t5 = _mm_sub_ps(d[2], d[5]);
    const __m128 t3 = _mm_add_ps(d[3], d[4]), t4 = _mm_sub_ps(d[3], d[4]);

    const __m128 t10 = _mm_add_ps(t0, t3), t13 = _mm_sub_ps(t0, t3);
    const __m128 t11 = _mm_add_ps(t1, t2);
    const __m128 z1 = MulD(_mm_add_ps(_mm_sub_ps(t1, t2), t13), c4);
    d[0] = _mm_add_ps(t10, t11);
    d[4] = _mm_sub_ps(t10, t11);
    d[2] = _mm_add_ps(t13, z1);
    d[6] = _mm_sub_ps(t13, z1);

    const __m128 p10 = _mm_add_ps(t4, t5), p11 = _mm_add_ps(t5, t6), p12 = _mm_add_ps(t6, t7);
    const __m128 z5 = MulD(_mm_sub_ps(p10, p12), c6);
    const __m128 z2 = MulAddD(p10, e, z5);
    const __m128 z4 = MulAddD(p12, f, z5);
    const __m128 z3 = MulD(p11, c4);
    const __m128 z11 = _mm_add_ps(t7, z3), z13 = _mm_sub_ps(t7, z3);
    d[5] = _mm_add_ps(z13, z2);
    d[3] = _mm_sub_ps(z13, z2);
    d[1] = _mm_add_ps(z11, z4);
    d[7] = _mm_sub_ps(z11, z4);
}

inline void Transpose4(__m128& r0, __m128& r1, __m128& r2, __m128& r3) {
    _MM_TRANSPOSE4_PS(r0, r1, r2, r3);
}

}  // namespace

bool TransformBlock(float* block, const QuantPlan& plan, std::int16_t* out) {
    // Rows of the block as left (columns 0-3) and right (columns 4-7) halves.
    __m128 left[8], right[8];
    for (int r = 0; r < 8; ++r) {
        left[r] = _mm_loadu_ps(block + r * 8);
        right[r] = _mm_loadu_ps(block + r * 8 + 4);
    }
    // Columns: every lane is a column.
    TransformVectors(left);
    TransformVectors(right);
    // Transpose the 8 x 8 as four 4 x 4 quarters: afterwards every lane is a row.
    Transpose4(left[0], left[1], left[2], left[3]);
    Transpose4(left[4], left[5], left[6], left[7]);
    Transpose4(right[0], right[1], right[2], right[3]);
    Transpose4(right[4], right[5], right[6], right[7]);
    __m128 low[8], high[8];  // low[v]: rows 0-3 of column v, high[v]: rows 4-7
    for (int i = 0; i < 4; ++i) {
        low[i] = left[i];
        low[i + 4] = right[i];
        high[i] = left[i + 4];
        high[i + 4] = right[i + 4];
    }
    TransformVectors(low);
    TransformVectors(high);

    // Quantise: entry v * 8 + u holds out(u, v). cvtps2dq rounds with the
    // current mode, round-to-nearest-even.
    const __m128 lowest = _mm_set1_ps(-32768.5f);
    const __m128 highest = _mm_set1_ps(32767.5f);
    __m128 outside = _mm_setzero_ps();
    alignas(16) std::int16_t rounded[64];
    for (int v = 0; v < 8; ++v) {
        const __m128 a = _mm_mul_ps(low[v], _mm_load_ps(plan.multipliers.data() + v * 8));
        const __m128 b = _mm_mul_ps(high[v], _mm_load_ps(plan.multipliers.data() + v * 8 + 4));
        outside = _mm_or_ps(outside, _mm_or_ps(_mm_cmplt_ps(a, lowest), _mm_cmpge_ps(a, highest)));
        outside = _mm_or_ps(outside, _mm_or_ps(_mm_cmplt_ps(b, lowest), _mm_cmpge_ps(b, highest)));
        _mm_store_si128(reinterpret_cast<__m128i*>(rounded + v * 8),
                        _mm_packs_epi32(_mm_cvtps_epi32(a), _mm_cvtps_epi32(b)));
    }
    if (_mm_movemask_ps(outside) != 0) return false;
    for (int i = 0; i < 64; ++i) out[plan.destination[i]] = rounded[i];
    return true;
}
#else
bool TransformBlock(float* block, const QuantPlan& plan, std::int16_t* out) {
    ForwardDctTransposed(block);
    for (int i = 0; i < 64; ++i) {
        const float product = block[i] * plan.multipliers[i];
        const double r = core::RoundHalfEven(product);
        if (r < -32768.0 || r > 32767.0) return false;
        out[plan.destination[i]] = static_cast<std::int16_t>(r);
    }
    return true;
}
#endif

}  // namespace jpeg
