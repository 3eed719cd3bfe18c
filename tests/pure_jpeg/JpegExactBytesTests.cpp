// The whole files the encoder writes, byte for byte. The expected SHA-256
// values come from jpeg_reference.py in this folder, a slow scalar encoder
// written separately from the description of the format and its rounding
// rules; they are never taken from this encoder's own output. Regenerate them
// with `python3 tests/pure_jpeg/jpeg_reference.py` after changing a picture
// below (the script holds the same formulas).
//
// A change of rounding order, of the Huffman tie-break, of the HUFFVAL order
// or of the length limiting keeps the file size and passes every other test;
// here it fails, at every thread count and with and without the vector form.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

#include "JpegTestSupport.h"
#include "jpeg/JpegPixelBlock.h"

using jpegtest::Rgb;
using jpegtest::SourcePicture;

namespace {

// --- SHA-256 (FIPS 180-4), enough for a test --------------------------------

std::string Sha256(const std::vector<std::uint8_t>& data) {
    static constexpr std::array<std::uint32_t, 64> k = {
        0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
        0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
        0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
        0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
        0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
        0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
        0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
        0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};
    std::array<std::uint32_t, 8> h = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                      0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    std::vector<std::uint8_t> m = data;
    const std::uint64_t bitLength = static_cast<std::uint64_t>(data.size()) * 8;
    m.push_back(0x80);
    while (m.size() % 64 != 56) m.push_back(0);
    for (int i = 7; i >= 0; --i) m.push_back(static_cast<std::uint8_t>(bitLength >> (8 * i)));
    const auto rotr = [](std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); };
    for (std::size_t chunk = 0; chunk < m.size(); chunk += 64) {
        std::array<std::uint32_t, 64> w{};
        for (int i = 0; i < 16; ++i) {
            const std::uint8_t* p = &m[chunk + 4 * static_cast<std::size_t>(i)];
            w[i] =
                (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
        }
        for (int i = 16; i < 64; ++i) {
            const std::uint32_t s0 = rotr(w[i - 15], 7) ^ rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
            const std::uint32_t s1 = rotr(w[i - 2], 17) ^ rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
            w[i] = w[i - 16] + s0 + w[i - 7] + s1;
        }
        std::array<std::uint32_t, 8> v = h;
        for (int i = 0; i < 64; ++i) {
            const std::uint32_t s1 = rotr(v[4], 6) ^ rotr(v[4], 11) ^ rotr(v[4], 25);
            const std::uint32_t t1 = v[7] + s1 + ((v[4] & v[5]) ^ (~v[4] & v[6])) + k[i] + w[i];
            const std::uint32_t s0 = rotr(v[0], 2) ^ rotr(v[0], 13) ^ rotr(v[0], 22);
            const std::uint32_t t2 = s0 + ((v[0] & v[1]) ^ (v[0] & v[2]) ^ (v[1] & v[2]));
            v = {t1 + t2, v[0], v[1], v[2], v[3] + t1, v[4], v[5], v[6]};
        }
        for (int i = 0; i < 8; ++i) h[i] += v[i];
    }
    std::string hex;
    for (const std::uint32_t word : h) {
        char part[9];
        std::snprintf(part, sizeof part, "%08x", word);
        hex += part;
    }
    return hex;
}

// --- the pictures (the same formulas as in jpeg_reference.py) ----------------

std::uint32_t Mix(std::uint32_t x, std::uint32_t y, std::uint32_t seed) {
    std::uint32_t h = x * 0x9E3779B1u + y * 0x85EBCA77u + seed * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

Rgb Px(int r, int g, int b) {
    return {static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b)};
}

Rgb Colourful(int x, int y) {
    const std::uint32_t n = Mix(x, y, 1);
    return Px((x * 7 + (n & 63)) & 255, (y * 11 + ((n >> 8) & 31)) & 255,
              ((x + y) * 5 + ((n >> 16) & 127)) & 255);
}

Rgb Photo(int x, int y) {
    const std::uint32_t n = Mix(x, y, 2);
    int r = 60 + (x * 150) / 161;
    int g = 200 - (y * 120) / 139;
    int b = 90 + ((x * y) >> 6) % 60;
    if (y >= 40 && y < 70) {
        r = (r + static_cast<int>(n & 127)) & 255;
        g = (g + static_cast<int>((n >> 7) & 63)) & 255;
    }
    if (x + y > 220) b = 255 - b;
    return Px(r, g, b);
}

Rgb Flat(int, int) {
    return Px(90, 140, 200);
}

Rgb Sparse(int x, int y) {
    const std::uint32_t n = Mix(x, y, 3);
    const std::uint32_t block = static_cast<std::uint32_t>((x >> 3) + (y >> 3) * 64);
    const std::uint32_t strength = Mix(block, 0, 4) % 9;
    if (strength == 0 || (n & 7) != 0) return Px(255, 255, 255);
    const std::uint32_t amp = (1u << strength) - 1;
    const int v = 255 - static_cast<int>((n >> 8) & amp);
    return Px(v, std::max(0, v - static_cast<int>((n >> 16) & (amp >> 1))), v);
}

Rgb Screen(int x, int y) {
    if (y < 24) return Px(x & 255, 80, 160);
    if ((x / 7 + y / 11) % 5 == 0 && (x * 3 + y) % 4 < 2) return Px(0, 0, 0);
    if (x > 600 && y > 400) return Px(230, 230, 230);
    return Px(255, 255, 255);
}

struct Picture {
    const char* name;
    int width, height;
    Rgb (*pixel)(int, int);
    bool grey;
};

// "sparse" makes optimal AC codes of 17 and 18 bits before the length limit
// and hundreds of stuffed 0xFF bytes; "screen" is large enough for the scan
// to be coded in three parts.
constexpr Picture kPictures[] = {
    {"colourful", 37, 23, Colourful, false}, {"colourful grey", 37, 23, Colourful, true},
    {"photo", 161, 139, Photo, false},       {"flat", 13, 9, Flat, false},
    {"sparse", 512, 384, Sparse, false},     {"screen", 1031, 777, Screen, false},
};

struct Pinned {
    const char* picture;
    int quality;
    const char* sha256;
};

// Printed by jpeg_reference.py.
constexpr Pinned kPinned[] = {
    {"colourful", 95, "3c49b6701d8a70b852a9183685f8b77844673318d938565052c75ae28b0ef489"},
    {"colourful", 100, "af893d3c3a3e234e947fd50224a3ae09bc0bb0c4cb3ed84e8519de0a70d83e0f"},
    {"colourful", 1, "1cba7df306ba3041e3e052915dd60ab871ac3c3215cc68951972ef505668eeb7"},
    {"colourful grey", 95, "e6f33fdb19661149c192072019436dd71a6642290b8f80890c4179a1d8c74962"},
    {"colourful grey", 100, "1ea253063eb14ac4e858a3d00941f577a0385054e31a1bae37972bf26dfc3fd6"},
    {"colourful grey", 1, "083a6e5fb6402f0089a5f05e8e3c0811057784127eb69c9c5a8ee24c85620a55"},
    {"photo", 95, "1ef4a19988bb6621ef145ae61051028b84669fd2e0c10b39ac3dcf2e3d07d4cf"},
    {"photo", 100, "ba2b03349acb96c8954b2fd19c05b3d07ab9783886689ee23fe73c5810f0bc86"},
    {"photo", 1, "5d533d9f0504d6d145f01e28d6c8fcc698a1ebea64e39624a05e3f485b2ffe74"},
    {"flat", 95, "7d9debc1429251c124090fb7ffcaa9778b0eb300468c434d0e0c791d8f87845f"},
    {"flat", 100, "065b93f0d7bf6676a8f9662a218b36bbf6d7c1df75d37e0b03b2d21085df690a"},
    {"flat", 1, "1251471b9533e20b34f7586d99dd9055f3cfc240812d708958d615fac9c68f64"},
    {"sparse", 95, "334312d9fd70013b0aac99b96b1cb3c298dcdce40061504e47e53a7ad504fa89"},
    {"sparse", 100, "603249f73b01709f99e4cc1c3215decd77bedcb597557ca1f170b20118dca0f6"},
    {"sparse", 1, "3ce0f456fb663f1ffbbbd2b1a2fb3ddfac176c1850ad04d696d708fd4bbf5607"},
    {"screen", 95, "95d5de89a8be187ca625520f7f3d5d0a2c36154b9a1993333d41fb39f4fae15c"},
};

TEST(JpegExactBytes, Sha256OfKnownMessages) {
    EXPECT_EQ(Sha256({}), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Sha256({'a', 'b', 'c'}), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // Two blocks of padding.
    const std::string two = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    EXPECT_EQ(Sha256(std::vector<std::uint8_t>(two.begin(), two.end())),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
}

// Every picture is encoded from a 24-bit DC and, as the save does, from
// 32-bit rows read in place (wider than the picture, with a fourth byte that
// is not part of the colour).
TEST(JpegExactBytes, FilesMatchTheReferenceAtEveryThreadCountAndInstructionSet) {
    const std::string dir = jpegtest::TempFolder();
    std::vector<bool> vectorForms{false};
    if (jpeg::Avx2Available()) vectorForms.push_back(true);
    int files = 0;
    for (const Picture& p : kPictures) {
        const SourcePicture source(p.width, p.height, p.pixel);
        const int stride = 4 * p.width + 8;
        std::vector<std::uint8_t> rgb32(static_cast<std::size_t>(stride) * p.height);
        for (int y = 0; y < p.height; ++y) {
            for (int x = 0; x < p.width; ++x) {
                const Rgb c = p.pixel(x, y);
                std::uint8_t* px = rgb32.data() + y * stride + 4 * x;
                px[0] = c.b;
                px[1] = c.g;
                px[2] = c.r;
                px[3] = static_cast<std::uint8_t>(x * 7 + y);
            }
        }
        for (const Pinned& pin : kPinned) {
            if (std::string(pin.picture) != p.name) continue;
            for (const bool avx2 : vectorForms) {
                for (const bool inPlace : {false, true}) {
                    for (const int threads : {1, 2, 3, 4, 0}) {
                        cJpeg encoder;
                        if (p.grey) encoder.SetSamplingFrequencies(1, 1, 0, 0, 0, 0);
                        encoder.Quality(pin.quality);
                        encoder.SetThreadCount(threads);
                        encoder.UseVectorInstructions(avx2);
                        if (inPlace) {
                            ASSERT_EQ(encoder.SampleView({rgb32.data(), p.width, p.height, stride}), 0);
                        } else {
                            ASSERT_EQ(
                                encoder.SampleHDC(source.Handles(), source.Dc(), p.width, p.height, 0, 0), 0);
                        }
                        const std::string path = dir + "file" + std::to_string(files++) + ".jpg";
                        ASSERT_EQ(encoder.SaveFile(path), 0);
                        EXPECT_EQ(Sha256(jpegtest::ReadFile(path)), pin.sha256)
                            << p.name << " at quality " << pin.quality << ", " << threads << " threads, "
                            << (avx2 ? "AVX2" : "scalar") << (inPlace ? ", 32-bit rows" : ", 24-bit DC");
                    }
                }
            }
        }
    }
    std::filesystem::remove_all(dir);
    EXPECT_EQ(files, static_cast<int>(std::size(kPinned) * vectorForms.size() * 2 * 5));
}

}  // namespace
