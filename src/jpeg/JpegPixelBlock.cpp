#include "jpeg/JpegPixelBlock.h"

#include <atomic>

#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define KORVEL_JPEG_AVX2 1
#endif

namespace jpeg {
namespace {

std::atomic<bool> avx2Allowed{true};

bool TransformPixelBlockBaseline(const std::uint8_t* const* rows, const BlockTarget* targets, int count,
                                 std::size_t offset) {
    alignas(32) std::int32_t red[64], green[64], blue[64];
    alignas(32) float block[64];
    for (int j = 0; j < 8; ++j) {
        const std::uint8_t* px = rows[j];
        for (int k = 0; k < 8; ++k) {
            blue[j * 8 + k] = px[3 * k];
            green[j * 8 + k] = px[3 * k + 1];
            red[j * 8 + k] = px[3 * k + 2];
        }
    }
    bool ok = true;
    for (int t = 0; t < count; ++t) {
        const ColourWeights w = targets[t].weights;
        for (int i = 0; i < 64; ++i) {
            block[i] = static_cast<float>(red[i]) * w.r + static_cast<float>(green[i]) * w.g +
                       static_cast<float>(blue[i]) * w.b + w.offset;
        }
        ok = TransformBlock(block, targets[t].plan, targets[t].out + offset) && ok;
    }
    return ok;
}

#if defined(KORVEL_JPEG_AVX2)
#define AVX2 __attribute__((target("avx2")))

constexpr double kC4 = 0.707106781186548;
constexpr double kC6 = 0.382683432365091;
constexpr double kE = 0.541196100146196;
constexpr double kF = 1.30656296487638;

// float(double(x) * c) for eight lanes.
AVX2 inline __m256 MulD(__m256 x, __m256d c) {
    const __m128 lo = _mm256_cvtpd_ps(_mm256_mul_pd(_mm256_cvtps_pd(_mm256_castps256_ps128(x)), c));
    const __m128 hi = _mm256_cvtpd_ps(_mm256_mul_pd(_mm256_cvtps_pd(_mm256_extractf128_ps(x, 1)), c));
    return _mm256_insertf128_ps(_mm256_castps128_ps256(lo), hi, 1);
}

// float(double(x) * c + double(z)) for eight lanes.
AVX2 inline __m256 MulAddD(__m256 x, __m256d c, __m256 z) {
    const __m128 lo =
        _mm256_cvtpd_ps(_mm256_add_pd(_mm256_mul_pd(_mm256_cvtps_pd(_mm256_castps256_ps128(x)), c),
                                      _mm256_cvtps_pd(_mm256_castps256_ps128(z))));
    const __m128 hi =
        _mm256_cvtpd_ps(_mm256_add_pd(_mm256_mul_pd(_mm256_cvtps_pd(_mm256_extractf128_ps(x, 1)), c),
                                      _mm256_cvtps_pd(_mm256_extractf128_ps(z, 1))));
    return _mm256_insertf128_ps(_mm256_castps128_ps256(lo), hi, 1);
}

// The one-dimensional AAN transform on eight lanes, in the operation order
// of the baseline transform.
AVX2 inline void Transform(__m256* d) {
    const __m256d c4 = _mm256_set1_pd(kC4), c6 = _mm256_set1_pd(kC6), e = _mm256_set1_pd(kE),
                  f = _mm256_set1_pd(kF);
    const __m256 t0 = _mm256_add_ps(d[0], d[7]), t7 = _mm256_sub_ps(d[0], d[7]);
    const __m256 t1 = _mm256_add_ps(d[1], d[6]), t6 = _mm256_sub_ps(d[1], d[6]);
    const __m256 t2 = _mm256_add_ps(d[2], d[5]), t5 = _mm256_sub_ps(d[2], d[5]);
    const __m256 t3 = _mm256_add_ps(d[3], d[4]), t4 = _mm256_sub_ps(d[3], d[4]);

    const __m256 t10 = _mm256_add_ps(t0, t3), t13 = _mm256_sub_ps(t0, t3);
    const __m256 t11 = _mm256_add_ps(t1, t2);
    const __m256 z1 = MulD(_mm256_add_ps(_mm256_sub_ps(t1, t2), t13), c4);
    d[0] = _mm256_add_ps(t10, t11);
    d[4] = _mm256_sub_ps(t10, t11);
    d[2] = _mm256_add_ps(t13, z1);
    d[6] = _mm256_sub_ps(t13, z1);

    const __m256 p10 = _mm256_add_ps(t4, t5), p11 = _mm256_add_ps(t5, t6), p12 = _mm256_add_ps(t6, t7);
    const __m256 z5 = MulD(_mm256_sub_ps(p10, p12), c6);
    const __m256 z2 = MulAddD(p10, e, z5);
    const __m256 z4 = MulAddD(p12, f, z5);
    const __m256 z3 = MulD(p11, c4);
    const __m256 z11 = _mm256_add_ps(t7, z3), z13 = _mm256_sub_ps(t7, z3);
    d[5] = _mm256_add_ps(z13, z2);
    d[3] = _mm256_sub_ps(z13, z2);
    d[1] = _mm256_add_ps(z11, z4);
    d[7] = _mm256_sub_ps(z11, z4);
}

AVX2 inline void Transpose(__m256* r) {
    const __m256 a0 = _mm256_unpacklo_ps(r[0], r[1]), a1 = _mm256_unpackhi_ps(r[0], r[1]);
    const __m256 a2 = _mm256_unpacklo_ps(r[2], r[3]), a3 = _mm256_unpackhi_ps(r[2], r[3]);
    const __m256 a4 = _mm256_unpacklo_ps(r[4], r[5]), a5 = _mm256_unpackhi_ps(r[4], r[5]);
    const __m256 a6 = _mm256_unpacklo_ps(r[6], r[7]), a7 = _mm256_unpackhi_ps(r[6], r[7]);
    const __m256 b0 = _mm256_shuffle_ps(a0, a2, 0x44), b1 = _mm256_shuffle_ps(a0, a2, 0xEE);
    const __m256 b2 = _mm256_shuffle_ps(a1, a3, 0x44), b3 = _mm256_shuffle_ps(a1, a3, 0xEE);
    const __m256 b4 = _mm256_shuffle_ps(a4, a6, 0x44), b5 = _mm256_shuffle_ps(a4, a6, 0xEE);
    const __m256 b6 = _mm256_shuffle_ps(a5, a7, 0x44), b7 = _mm256_shuffle_ps(a5, a7, 0xEE);
    r[0] = _mm256_permute2f128_ps(b0, b4, 0x20);
    r[1] = _mm256_permute2f128_ps(b1, b5, 0x20);
    r[2] = _mm256_permute2f128_ps(b2, b6, 0x20);
    r[3] = _mm256_permute2f128_ps(b3, b7, 0x20);
    r[4] = _mm256_permute2f128_ps(b0, b4, 0x31);
    r[5] = _mm256_permute2f128_ps(b1, b5, 0x31);
    r[6] = _mm256_permute2f128_ps(b2, b6, 0x31);
    r[7] = _mm256_permute2f128_ps(b3, b7, 0x31);
}

// DCT of rows d (lanes = columns), then quantisation into zigzag order.
AVX2 bool TransformRows(__m256* d, const QuantPlan& plan, std::int16_t* out) {
    Transform(d);  // columns
    Transpose(d);
    Transform(d);  // rows; d[v] lane u = out(u, v)
    const __m256 lowest = _mm256_set1_ps(-32768.5f);
    const __m256 highest = _mm256_set1_ps(32767.5f);
    __m256 outside = _mm256_setzero_ps();
    alignas(32) std::int16_t rounded[64];
    for (int v = 0; v < 8; ++v) {
        const __m256 q = _mm256_mul_ps(d[v], _mm256_loadu_ps(plan.multipliers.data() + v * 8));
        outside = _mm256_or_ps(outside, _mm256_or_ps(_mm256_cmp_ps(q, lowest, _CMP_LT_OQ),
                                                     _mm256_cmp_ps(q, highest, _CMP_GE_OQ)));
        const __m256i n = _mm256_cvtps_epi32(q);  // rounds to nearest, ties to even
        _mm_store_si128(reinterpret_cast<__m128i*>(rounded + v * 8),
                        _mm_packs_epi32(_mm256_castsi256_si128(n), _mm256_extracti128_si256(n, 1)));
    }
    if (_mm256_movemask_ps(outside) != 0) return false;
    for (int i = 0; i < 64; ++i) out[plan.destination[i]] = rounded[i];
    return true;
}

AVX2 bool TransformPixelBlockAvx2(const std::uint8_t* const* rows, const BlockTarget* targets, int count,
                                  std::size_t offset) {
    // Gathers the blue, green and red bytes of 8 pixels (24 bytes) with two
    // loads that stay inside them.
    const __m128i blueLo = _mm_setr_epi8(0, 3, 6, 9, 12, 15, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m128i blueHi = _mm_setr_epi8(-1, -1, -1, -1, -1, -1, 10, 13, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m128i greenLo = _mm_setr_epi8(1, 4, 7, 10, 13, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m128i greenHi = _mm_setr_epi8(-1, -1, -1, -1, -1, 8, 11, 14, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m128i redLo = _mm_setr_epi8(2, 5, 8, 11, 14, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m128i redHi = _mm_setr_epi8(-1, -1, -1, -1, -1, 9, 12, 15, -1, -1, -1, -1, -1, -1, -1, -1);
    __m256 blue[8], green[8], red[8];
    for (int j = 0; j < 8; ++j) {
        const __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[j]));
        const __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[j] + 8));
        const __m128i b = _mm_or_si128(_mm_shuffle_epi8(lo, blueLo), _mm_shuffle_epi8(hi, blueHi));
        const __m128i g = _mm_or_si128(_mm_shuffle_epi8(lo, greenLo), _mm_shuffle_epi8(hi, greenHi));
        const __m128i r = _mm_or_si128(_mm_shuffle_epi8(lo, redLo), _mm_shuffle_epi8(hi, redHi));
        blue[j] = _mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(b));
        green[j] = _mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(g));
        red[j] = _mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(r));
    }
    bool ok = true;
    for (int t = 0; t < count; ++t) {
        const ColourWeights w = targets[t].weights;
        const __m256 wr = _mm256_set1_ps(w.r), wg = _mm256_set1_ps(w.g), wb = _mm256_set1_ps(w.b),
                     off = _mm256_set1_ps(w.offset);
        __m256 d[8];
        for (int j = 0; j < 8; ++j) {
            // ((R wR + G wG) + B wB) + offset, as the baseline form adds them.
            d[j] = _mm256_add_ps(
                _mm256_add_ps(_mm256_add_ps(_mm256_mul_ps(red[j], wr), _mm256_mul_ps(green[j], wg)),
                              _mm256_mul_ps(blue[j], wb)),
                off);
        }
        ok = TransformRows(d, targets[t].plan, targets[t].out + offset) && ok;
    }
    return ok;
}

bool CpuHasAvx2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}
#endif

}  // namespace

bool UsingAvx2() {
#if defined(KORVEL_JPEG_AVX2)
    static const bool available = CpuHasAvx2();
    return available && avx2Allowed.load(std::memory_order_relaxed);
#else
    return false;
#endif
}

void AllowAvx2(bool allowed) {
    avx2Allowed = allowed;
}

bool TransformPixelBlock(const std::uint8_t* const* rows, const BlockTarget* targets, int count,
                         std::size_t offset) {
#if defined(KORVEL_JPEG_AVX2)
    if (UsingAvx2()) return TransformPixelBlockAvx2(rows, targets, count, offset);
#endif
    return TransformPixelBlockBaseline(rows, targets, count, offset);
}

}  // namespace jpeg
