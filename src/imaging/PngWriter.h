// A fast PNG writer for pictures that go onto the clipboard: 8-bit RGB, the
// "up" filter on every row, and deflate at its fastest level. The rows are
// compressed in bands on several threads, each band as a deflate stream of its
// own, so the bytes written never depend on the number of threads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace imaging {

// Pixels as 32-bit words 0xAARRGGBB in native byte order (a Qt RGB32 or ARGB32
// image), top row first; stride is the distance between rows in bytes.
struct Rgb32View {
    const std::uint8_t* base = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;
};

// The PNG file of the picture, alpha dropped. Empty for an empty picture or
// when memory runs out.
std::vector<std::uint8_t> EncodePng(const Rgb32View& pixels);

// The same, with the band size given in rows (tests: bands of one row must
// decode like one band).
std::vector<std::uint8_t> EncodePng(const Rgb32View& pixels, int rowsPerBand);

}  // namespace imaging
