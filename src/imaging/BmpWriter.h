// The standard 24-bit Windows bitmap (BITMAPFILEHEADER, BITMAPINFOHEADER,
// bottom-up rows padded to 4 bytes, blue-green-red, 96 DPI) as the program
// writes it to files and offers it on the clipboard.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "imaging/RowSource.h"

namespace imaging {

inline constexpr std::size_t kBmp24HeaderBytes = 14 + 40;

// Bytes of one stored row of a picture width pixels wide.
std::size_t Bmp24RowBytes(int width);

// Bytes of the whole file, headers included; 0 when the picture is empty or
// too large for a bitmap file (over 4 GiB).
std::uint64_t Bmp24FileBytes(int width, int height);

// The two headers of a file for a picture of width x height.
std::array<std::uint8_t, kBmp24HeaderBytes> Bmp24Headers(int width, int height);

// Stored rows [firstRow, endRow) of the file, counted from its first stored
// row (the picture's bottom one), into out (Bmp24RowBytes per row, padding
// bytes zero). Alpha is dropped.
void PutBmp24Rows(const Rgb32View& pixels, int firstRow, int endRow, std::span<std::uint8_t> out);

// The whole file into out, which holds exactly Bmp24FileBytes; rows are
// converted on several threads. False when out has another size.
bool PutBmp24File(const Rgb32View& pixels, std::span<std::uint8_t> out);
bool PutBmp24File(const RowSource& rows, std::span<std::uint8_t> out);

}  // namespace imaging
