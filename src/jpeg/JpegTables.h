// Constant tables of the encoder: the zigzag order, the example quantisation
// tables of T.81 Annex K and the scale factors of the AAN DCT.
#pragma once

#include <array>
#include <cstdint>

namespace jpeg {

// kZigzag[row * 8 + column] = position of that coefficient in zigzag order.
extern const std::array<std::uint8_t, 64> kZigzag;
// kNatural[z] = row * 8 + column of zigzag position z.
extern const std::array<std::uint8_t, 64> kNatural;

// T.81 Table K.1 (luminance) and K.2 (chrominance), in zigzag order.
extern const std::array<std::uint16_t, 64> kBaseLuminance;
extern const std::array<std::uint16_t, 64> kBaseChrominance;

// r[k] = 1 / (2 * sqrt(2) * s_k), s_0 = 1, s_k = sqrt(2) * cos(k * pi / 16).
inline constexpr std::array<double, 8> kDctScale = {0.353553390593273, 0.25489778955208,  0.270598050073098,
                                                    0.300672443467523, 0.353553390593273, 0.449988111568207,
                                                    0.653281482438186, 1.28145772387074};

}  // namespace jpeg
