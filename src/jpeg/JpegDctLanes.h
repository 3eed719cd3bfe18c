// The one-dimensional forward DCT of Arai, Agui and Nakajima (the scaled
// float form), written once for any lane type: a float for the reference
// transform, or eight floats side by side for the fast path. Every lane runs
// the same single-precision operations in the same order, so the fast path
// gives the reference's results bit for bit. Products with the constants are
// formed in double precision and stored as single precision.
//
// A vector lane type is a GCC/Clang vector of eight floats (such as __m256);
// the functions are always inlined, so they take the instruction set of the
// function that uses them.
#pragma once

#include <type_traits>

#define KORVEL_ALWAYS_INLINE inline __attribute__((always_inline))

namespace jpeg::lanes {

// Eight lanes in double precision.
typedef double WideLanes __attribute__((vector_size(64)));

// float(double(x) * c)
template <class V>
KORVEL_ALWAYS_INLINE V MulD(V x, double c) {
    if constexpr (std::is_same_v<V, float>) {
        return static_cast<float>(static_cast<double>(x) * c);
    } else {
        return __builtin_convertvector(__builtin_convertvector(x, WideLanes) * c, V);
    }
}

// float(double(x) * c + double(z))
template <class V>
KORVEL_ALWAYS_INLINE V MulAddD(V x, double c, V z) {
    if constexpr (std::is_same_v<V, float>) {
        return static_cast<float>(static_cast<double>(x) * c + static_cast<double>(z));
    } else {
        return __builtin_convertvector(
            __builtin_convertvector(x, WideLanes) * c + __builtin_convertvector(z, WideLanes), V);
    }
}

// Transforms the sequences d[0..7] (d[i] holds sample i of every lane) in
// place: d[k] becomes output k, the DCT coefficient scaled by 2 sqrt(2) s_k.
template <class V>
KORVEL_ALWAYS_INLINE void Dct8(V* d) {
    constexpr double kC4 = 0.707106781186548;
    constexpr double kC6 = 0.382683432365091;
    constexpr double kE = 0.541196100146196;
    constexpr double kF = 1.30656296487638;

    const V t0 = d[0] + d[7], t7 = d[0] - d[7];
    const V t1 = d[1] + d[6], t6 = d[1] - d[6];
    const V t2 = d[2] + d[5], t5 = d[2] - d[5];
    const V t3 = d[3] + d[4], t4 = d[3] - d[4];

    // Even part.
    const V t10 = t0 + t3, t13 = t0 - t3;
    const V t11 = t1 + t2;
    const V z1 = MulD(t1 - t2 + t13, kC4);
    d[0] = t10 + t11;
    d[4] = t10 - t11;
    d[2] = t13 + z1;
    d[6] = t13 - z1;

    // Odd part.
    const V p10 = t4 + t5, p11 = t5 + t6, p12 = t6 + t7;
    const V z5 = MulD(p10 - p12, kC6);
    const V z2 = MulAddD(p10, kE, z5);
    const V z4 = MulAddD(p12, kF, z5);
    const V z3 = MulD(p11, kC4);
    const V z11 = t7 + z3, z13 = t7 - z3;
    d[5] = z13 + z2;
    d[3] = z13 - z2;
    d[1] = z11 + z4;
    d[7] = z11 - z4;
}

}  // namespace jpeg::lanes
