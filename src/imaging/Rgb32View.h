// A read-only view of 32-bit pixels, shared by the picture writers that know
// nothing of Qt.
#pragma once

#include <cstddef>
#include <cstdint>

namespace imaging {

// Pixels as 32-bit words 0xAARRGGBB in native byte order (a Qt RGB32 or ARGB32
// image), top row first; stride is the distance between rows in bytes.
struct Rgb32View {
    const std::uint8_t* base = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;
};

}  // namespace imaging
