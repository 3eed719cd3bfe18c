// Row loops for the common same-size copies between 24- and 32-bit pixels.
#include "raster/FastRows.h"

#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define KORVEL_RASTER_SSSE3 1
#endif

namespace gdi::detail {
namespace {

// 32-bit B,G,R,x pixels to 24-bit B,G,R, four pixels per step. The words
// are assembled in registers and stored whole (building them in a small array
// first would make every store wait for the array's bytes to be reloaded).
void Row32To24Scalar(const std::uint8_t* s, std::uint8_t* d, LONG n) {
    LONG i = 0;
    for (; i + 4 <= n; i += 4, s += 16, d += 12) {
        std::uint64_t a, b;  // pixels 0 and 1, pixels 2 and 3
        std::memcpy(&a, s, 8);
        std::memcpy(&b, s + 8, 8);
        const std::uint64_t lo = (a & 0xFFFFFFu) | ((a >> 8) & 0xFFFFFF000000u) | (b << 48);
        const auto hi = static_cast<std::uint32_t>(((b >> 16) & 0xFFu) | ((b >> 24) & 0xFFFFFF00u));
        std::memcpy(d, &lo, 8);
        std::memcpy(d + 8, &hi, 4);
    }
    for (; i < n; ++i, s += 4, d += 3) {
        d[0] = s[0];
        d[1] = s[1];
        d[2] = s[2];
    }
}

}  // namespace

void Row24To32(const std::uint8_t* s, std::uint8_t* d, LONG n, std::uint32_t unused) {
    const std::uint64_t unused2 = unused | (std::uint64_t{unused} << 32);
    LONG i = 0;
    for (; i + 4 <= n; i += 4, s += 12, d += 16) {
        std::uint64_t a;  // bytes 0..7
        std::uint32_t b;  // bytes 8..11
        std::memcpy(&a, s, 8);
        std::memcpy(&b, s + 8, 4);
        const std::uint64_t p01 = (a & 0xFFFFFFu) | ((a << 8) & 0x00FFFFFF00000000u) | unused2;
        const std::uint64_t p23 =
            (a >> 48) | (std::uint64_t{b & 0xFFu} << 16) | (std::uint64_t{b >> 8} << 32) | unused2;
        std::memcpy(d, &p01, 8);
        std::memcpy(d + 8, &p23, 8);
    }
    for (; i < n; ++i, s += 3, d += 4) {
        const std::uint32_t v =
            std::uint32_t{s[0]} | (std::uint32_t{s[1]} << 8) | (std::uint32_t{s[2]} << 16) | unused;
        std::memcpy(d, &v, 4);
    }
}

void RowUnused32(const std::uint8_t* s, std::uint8_t* d, LONG n, std::uint32_t unused) {
    for (LONG i = 0; i < n; ++i, s += 4, d += 4) {
        std::uint32_t v;
        std::memcpy(&v, s, 4);
        v = (v & 0x00FFFFFFu) | unused;
        std::memcpy(d, &v, 4);
    }
}

#if KORVEL_RASTER_SSSE3
namespace {

// Four pixels per shuffle. Each 16-byte store runs 4 bytes past the 12 it
// produces, so the loop stops while at least two more pixels follow.
__attribute__((target("ssse3"))) LONG Row32To24Ssse3(const std::uint8_t* s, std::uint8_t* d, LONG n) {
    const __m128i order = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    LONG i = 0;
    for (; i + 6 <= n; i += 4, s += 16, d += 12) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_shuffle_epi8(v, order));
    }
    return i;
}

bool HaveSsse3() {
    // Asked on first use, after the CPU detection has been initialised.
    static const bool have = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("ssse3") != 0;
    }();
    return have;
}

}  // namespace
#endif

void Row32To24(const std::uint8_t* s, std::uint8_t* d, LONG n) {
#if KORVEL_RASTER_SSSE3
    if (HaveSsse3()) {
        const LONG done = Row32To24Ssse3(s, d, n);
        Row32To24Scalar(s + static_cast<std::ptrdiff_t>(done) * 4, d + static_cast<std::ptrdiff_t>(done) * 3,
                        n - done);
        return;
    }
#endif
    Row32To24Scalar(s, d, n);
}

}  // namespace gdi::detail
