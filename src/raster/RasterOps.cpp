// Raster operations on rows of 32-bit colours.
#include "raster/RasterOps.h"

namespace gdi::detail {
namespace {

constexpr std::uint32_t kWhiteBrush = 0x00FFFFFFu;

inline unsigned Rop3(DWORD rop) {
    return (rop >> 16) & 0xFFu;
}

// Evaluates any ternary operation from its truth table: bit (P<<2 | S<<1 | D)
// of the code is the result for those three input bits.
inline std::uint32_t Ternary(unsigned code, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
    std::uint32_t result = 0;
    for (unsigned k = 0; k < 8; ++k) {
        if ((code >> k) & 1u) {
            result |= ((k & 4u) ? p : ~p) & ((k & 2u) ? s : ~s) & ((k & 1u) ? d : ~d);
        }
    }
    return result;
}

template <typename Op>
void ForEach(const std::uint32_t* src, std::uint32_t* dst, LONG n, Op op) {
    for (LONG i = 0; i < n; ++i) dst[i] = op(src ? src[i] : 0u, dst[i]) & 0x00FFFFFFu;
}

}  // namespace

bool RopUsesSource(DWORD rop) {
    const unsigned c = Rop3(rop);
    return (((c >> 2) ^ c) & 0x33u) != 0;
}

bool RopUsesDestination(DWORD rop) {
    const unsigned c = Rop3(rop);
    return (((c >> 1) ^ c) & 0x55u) != 0;
}

void ApplyRop(DWORD rop, const std::uint32_t* src, std::uint32_t* dst, LONG n) {
    switch (rop) {
        case SRCCOPY:
            ForEach(src, dst, n, [](std::uint32_t s, std::uint32_t) { return s; });
            break;
        case SRCAND:
            ForEach(src, dst, n, [](std::uint32_t s, std::uint32_t d) { return s & d; });
            break;
        case SRCPAINT:
            ForEach(src, dst, n, [](std::uint32_t s, std::uint32_t d) { return s | d; });
            break;
        case SRCINVERT:
            ForEach(src, dst, n, [](std::uint32_t s, std::uint32_t d) { return s ^ d; });
            break;
        case NOTSRCCOPY:
            ForEach(src, dst, n, [](std::uint32_t s, std::uint32_t) { return ~s; });
            break;
        default: {
            const unsigned code = Rop3(rop);
            ForEach(src, dst, n,
                    [code](std::uint32_t s, std::uint32_t d) { return Ternary(code, kWhiteBrush, s, d); });
            break;
        }
    }
}

}  // namespace gdi::detail
