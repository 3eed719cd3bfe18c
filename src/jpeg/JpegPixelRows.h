// Rows of 24- or 32-bit pixels (blue, green, red first) where they lie in
// memory: what the encoder samples, read in place.
#pragma once

#include <cstddef>
#include <cstdint>

namespace jpeg {

struct PixelRows {
    const std::uint8_t* top = nullptr;  // first byte of the top row; nullptr: a picture that reads black
    std::ptrdiff_t pitch = 0;           // from one row to the row below (negative for bottom-up memory)
    int width = 0;
    int height = 0;
    int bytesPerPixel = 4;  // 3 or 4

    const std::uint8_t* Row(int y) const { return top + static_cast<std::ptrdiff_t>(y) * pitch; }
};

}  // namespace jpeg
