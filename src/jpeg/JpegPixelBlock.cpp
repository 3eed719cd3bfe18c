// The eight-lane helpers of JpegDctLanes.h take and return vectors by value,
// which GCC and Clang flag as a calling convention that differs between
// instruction sets; they are always inlined, so no such call exists.
#pragma GCC diagnostic ignored "-Wpsabi"

#include "jpeg/JpegPixelBlock.h"

#include <bit>
#include <cstring>

#include "jpeg/JpegCoefficients.h"
#include "jpeg/JpegDctLanes.h"

#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define KORVEL_JPEG_AVX2 1
#endif

namespace jpeg {
namespace {

// The reference form: colour conversion, ForwardDct and quantisation one
// value at a time.
bool TransformPixelBlockReference(const std::uint8_t* const* rows, int pixelBytes, const BlockTarget* targets,
                                  int count, std::size_t offset) {
    float red[64], green[64], blue[64];
    for (int j = 0; j < 8; ++j) {
        const std::uint8_t* px = rows[j];
        for (int k = 0; k < 8; ++k) {
            blue[j * 8 + k] = px[pixelBytes * k];
            green[j * 8 + k] = px[pixelBytes * k + 1];
            red[j * 8 + k] = px[pixelBytes * k + 2];
        }
    }
    bool ok = true;
    for (int t = 0; t < count; ++t) {
        float block[64];
        targets[t].weights.Apply(red, green, blue, block, 64);
        ForwardDct(block);
        ok = QuantiseByPlan(block, targets[t].plan, targets[t].out + offset) && ok;
    }
    return ok;
}

#if defined(KORVEL_JPEG_AVX2)
#define AVX2 __attribute__((target("avx2")))

// The fast form: the same arithmetic with each vector holding one line of the
// block, the transform being the reference's own (lanes::Dct8).

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

// DCT of the block whose line j is d[j] (columns, then rows), then
// quantisation into zigzag order.
AVX2 inline bool TransformLines(__m256* d, const QuantPlan& plan, std::int16_t* out) {
    lanes::Dct8(d);  // every lane a column
    Transpose(d);
    lanes::Dct8(d);  // every lane a row: lane u of d[v] is output (u, v)
    const __m256 lowest = _mm256_set1_ps(-32768.5f);
    const __m256 highest = _mm256_set1_ps(32767.5f);
    __m256 outside = _mm256_setzero_ps();
    alignas(32) std::int16_t rounded[64];
    for (int v = 0; v < 8; ++v) {
        const __m256 q = d[v] * _mm256_loadu_ps(plan.multipliers.data() + v * 8);
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

// TransformLines with the coefficients stored in compact form at end: the
// zigzag positions of the values that are not zero are found from their
// places in the transposed block, without placing all 64.
AVX2 inline bool TransformLinesCompact(__m256* d, const QuantPlan& plan, std::uint8_t*& end) {
    lanes::Dct8(d);
    Transpose(d);
    lanes::Dct8(d);
    const __m256 lowest = _mm256_set1_ps(-32768.5f);
    const __m256 highest = _mm256_set1_ps(32767.5f);
    __m256 outside = _mm256_setzero_ps();
    alignas(32) std::int16_t rounded[64];
    std::uint64_t zeros = 0;
    const __m128i zero = _mm_setzero_si128();
    for (int v = 0; v < 8; ++v) {
        const __m256 q = d[v] * _mm256_loadu_ps(plan.multipliers.data() + v * 8);
        outside = _mm256_or_ps(outside, _mm256_or_ps(_mm256_cmp_ps(q, lowest, _CMP_LT_OQ),
                                                     _mm256_cmp_ps(q, highest, _CMP_GE_OQ)));
        const __m256i n = _mm256_cvtps_epi32(q);
        const __m128i packed = _mm_packs_epi32(_mm256_castsi256_si128(n), _mm256_extracti128_si256(n, 1));
        _mm_store_si128(reinterpret_cast<__m128i*>(rounded + v * 8), packed);
        const __m128i isZero = _mm_packs_epi16(_mm_cmpeq_epi16(packed, zero), zero);
        zeros |= static_cast<std::uint64_t>(_mm_movemask_epi8(isZero) & 0xFF) << (v * 8);
    }
    // A block with a coefficient outside 16 bits is still stored (saturated),
    // so the store stays whole; the caller raises the overflow.
    const bool fits = _mm256_movemask_ps(outside) == 0;
    std::uint64_t natural = ~zeros;
    std::uint64_t zigzag = 0;
    while (natural != 0) {
        const int i = std::countr_zero(natural);
        natural &= natural - 1;
        zigzag |= std::uint64_t{1} << plan.destination[i];
    }
    std::uint8_t* out = end;
    const std::int16_t dc = rounded[plan.origin[0]];
    std::memcpy(out + 1, &dc, 2);
    std::uint8_t* next = out + 3;
    zigzag &= ~std::uint64_t{1};
    while (zigzag != 0) {
        const int k = std::countr_zero(zigzag);
        zigzag &= zigzag - 1;
        const std::int16_t v = rounded[plan.origin[k]];
        next = PutCompactValue(next, k, v);
    }
    out[0] = static_cast<std::uint8_t>(next - out - 3);
    end = next;
    return fits;
}

AVX2 bool TransformBlockAvx2(const float* block, const QuantPlan& plan, std::int16_t* out) {
    __m256 d[8];
    for (int j = 0; j < 8; ++j) d[j] = _mm256_loadu_ps(block + j * 8);
    return TransformLines(d, plan, out);
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
        __m256 d[8];
        targets[t].weights.Apply(red, green, blue, d, 8);
        ok = TransformLines(d, targets[t].plan, targets[t].out + offset) && ok;
    }
    return ok;
}

// The same for 32-bit pixels: each line is one load, the channels shifted
// and masked out of its eight words.
AVX2 bool TransformPixelBlock32Avx2(const std::uint8_t* const* rows, const BlockTarget* targets, int count,
                                    std::size_t offset) {
    const __m256i low = _mm256_set1_epi32(0xFF);
    __m256 blue[8], green[8], red[8];
    for (int j = 0; j < 8; ++j) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows[j]));
        blue[j] = _mm256_cvtepi32_ps(_mm256_and_si256(v, low));
        green[j] = _mm256_cvtepi32_ps(_mm256_and_si256(_mm256_srli_epi32(v, 8), low));
        red[j] = _mm256_cvtepi32_ps(_mm256_and_si256(_mm256_srli_epi32(v, 16), low));
    }
    bool ok = true;
    for (int t = 0; t < count; ++t) {
        __m256 d[8];
        targets[t].weights.Apply(red, green, blue, d, 8);
        ok = TransformLines(d, targets[t].plan, targets[t].out + offset) && ok;
    }
    return ok;
}

// The colour conversion of TransformPixelBlock32Avx2 and TransformPixelBlockAvx2
// with every target stored in compact form.
AVX2 bool TransformPixelBlockCompactAvx2(const std::uint8_t* const* rows, int pixelBytes,
                                         const BlockTarget* targets, int count, std::uint8_t** ends) {
    __m256 blue[8], green[8], red[8];
    if (pixelBytes == 4) {
        const __m256i low = _mm256_set1_epi32(0xFF);
        for (int j = 0; j < 8; ++j) {
            const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows[j]));
            blue[j] = _mm256_cvtepi32_ps(_mm256_and_si256(v, low));
            green[j] = _mm256_cvtepi32_ps(_mm256_and_si256(_mm256_srli_epi32(v, 8), low));
            red[j] = _mm256_cvtepi32_ps(_mm256_and_si256(_mm256_srli_epi32(v, 16), low));
        }
    } else {
        const __m128i blueLo = _mm_setr_epi8(0, 3, 6, 9, 12, 15, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
        const __m128i blueHi = _mm_setr_epi8(-1, -1, -1, -1, -1, -1, 10, 13, -1, -1, -1, -1, -1, -1, -1, -1);
        const __m128i greenLo = _mm_setr_epi8(1, 4, 7, 10, 13, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
        const __m128i greenHi = _mm_setr_epi8(-1, -1, -1, -1, -1, 8, 11, 14, -1, -1, -1, -1, -1, -1, -1, -1);
        const __m128i redLo = _mm_setr_epi8(2, 5, 8, 11, 14, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
        const __m128i redHi = _mm_setr_epi8(-1, -1, -1, -1, -1, 9, 12, 15, -1, -1, -1, -1, -1, -1, -1, -1);
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
    }
    bool ok = true;
    for (int t = 0; t < count; ++t) {
        __m256 d[8];
        targets[t].weights.Apply(red, green, blue, d, 8);
        ok = TransformLinesCompact(d, targets[t].plan, ends[t]) && ok;
    }
    return ok;
}

bool CpuHasAvx2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}
#endif

}  // namespace

bool Avx2Available() {
#if defined(KORVEL_JPEG_AVX2)
    static const bool available = CpuHasAvx2();
    return available;
#else
    return false;
#endif
}

bool TransformBlock(float* block, const QuantPlan& plan, std::int16_t* out) {
#if defined(KORVEL_JPEG_AVX2)
    if (Avx2Available()) return TransformBlockAvx2(block, plan, out);
#endif
    ForwardDct(block);
    return QuantiseByPlan(block, plan, out);
}

bool TransformPixelBlock(const std::uint8_t* const* rows, int pixelBytes, const BlockTarget* targets,
                         int count, std::size_t offset, bool vector) {
#if defined(KORVEL_JPEG_AVX2)
    if (vector && Avx2Available()) {
        return pixelBytes == 4 ? TransformPixelBlock32Avx2(rows, targets, count, offset)
                               : TransformPixelBlockAvx2(rows, targets, count, offset);
    }
#endif
    return TransformPixelBlockReference(rows, pixelBytes, targets, count, offset);
}

bool TransformPixelBlockCompact(const std::uint8_t* const* rows, int pixelBytes, const BlockTarget* targets,
                                int count, std::uint8_t** ends, bool vector) {
#if defined(KORVEL_JPEG_AVX2)
    if (vector && Avx2Available())
        return TransformPixelBlockCompactAvx2(rows, pixelBytes, targets, count, ends);
#endif
    const bool ok = TransformPixelBlockReference(rows, pixelBytes, targets, count, 0);
    for (int t = 0; t < count; ++t) ends[t] = PutCompactBlock(targets[t].out, ends[t]);
    return ok;
}

}  // namespace jpeg
