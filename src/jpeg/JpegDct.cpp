#include "jpeg/JpegDct.h"

#include <cstring>

#include "core/Rounding.h"
#include "jpeg/JpegDctLanes.h"
#include "jpeg/JpegError.h"
#include "jpeg/JpegTables.h"

namespace jpeg {
namespace {

// The coefficient nearest to product, a half going to the even neighbour;
// false when it does not fit 16 bits.
bool RoundCoefficient(float product, std::int16_t& out) {
    const double rounded = core::RoundHalfEven(product);
    if (rounded < -32768.0 || rounded > 32767.0) return false;
    out = static_cast<std::int16_t>(rounded);
    return true;
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
    // Columns first, then rows.
    for (int column = 0; column < 8; ++column) {
        float d[8];
        for (int i = 0; i < 8; ++i) d[i] = block[i * 8 + column];
        lanes::Dct8(d);
        for (int i = 0; i < 8; ++i) block[i * 8 + column] = d[i];
    }
    for (int row = 0; row < 8; ++row) lanes::Dct8(block + row * 8);
}

void Quantise(const float* block, const QuantTable& table, std::int16_t* out) {
    for (int i = 0; i < 64; ++i) {
        const int z = kZigzag[i];
        if (!RoundCoefficient(block[i] * table.multipliers[z], out[z])) RaiseOverflow();
    }
}

bool QuantiseByPlan(const float* block, const QuantPlan& plan, std::int16_t* out) {
    bool ok = true;
    for (int v = 0; v < 8; ++v) {
        for (int u = 0; u < 8; ++u) {
            const int i = v * 8 + u;  // the plan's layout is transposed
            ok = RoundCoefficient(block[u * 8 + v] * plan.multipliers[i], out[plan.destination[i]]) && ok;
        }
    }
    return ok;
}

QuantPlan MakeQuantPlan(const QuantTable& table) {
    QuantPlan plan;
    for (int v = 0; v < 8; ++v) {
        for (int u = 0; u < 8; ++u) {
            const int z = kZigzag[u * 8 + v];
            plan.multipliers[v * 8 + u] = table.multipliers[z];
            plan.destination[v * 8 + u] = static_cast<std::uint8_t>(z);
            plan.origin[z] = static_cast<std::uint8_t>(v * 8 + u);
        }
    }
    return plan;
}

bool TransformFlatDc(float sample, const QuantPlan& plan, std::int16_t& dc) {
    return RoundCoefficient((64.0f * sample) * plan.multipliers[0], dc);
}

bool TransformFlatBlock(float sample, const QuantPlan& plan, std::int16_t* out) {
    std::memset(out, 0, 64 * sizeof(std::int16_t));
    return TransformFlatDc(sample, plan, out[plan.destination[0]]);
}

}  // namespace jpeg
