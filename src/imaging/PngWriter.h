// A fast PNG writer for pictures that go onto the clipboard: 8-bit RGB, the
// "up" filter on every row, and deflate at its fastest level. The rows are
// read and compressed in bands on several threads, each band as a deflate
// stream of its own, so the bytes written never depend on the number of
// threads.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "imaging/RowSource.h"

namespace imaging {

// A 128-bit fingerprint of pixels: equal prints stand for equal pixels.
using PixelPrint = std::array<std::uint64_t, 2>;

// The compressed bands of the last picture written, kept to write the next
// picture faster: a band whose rows (and the row above, which the filter
// reads) print the same as last time is taken over as it is. The cache holds
// no pixels: successive pictures (the undo snapshots of one stroke after
// another) need not be kept for it.
struct PngBandCache {
    int width = 0;
    int height = 0;
    int rowsPerBand = 0;
    struct Band {
        std::vector<std::uint8_t> deflated;
        unsigned long adler = 1;
        std::size_t filteredBytes = 0;
        PixelPrint print{};
    };
    std::vector<Band> bands;
};

// The PNG file of the picture, alpha dropped. Empty for an empty picture, when
// memory runs out, or when `cancel` turns true meanwhile. With a cache,
// unchanged bands of the previous picture are reused and the cache then
// describes this picture.
std::vector<std::uint8_t> EncodePng(const RowSource& rows, PngBandCache* cache = nullptr,
                                    const std::atomic<bool>* cancel = nullptr);
std::vector<std::uint8_t> EncodePng(const Rgb32View& pixels, PngBandCache* cache = nullptr);

// The same, with the band size given in rows (tests: bands of one row must
// decode like one band).
std::vector<std::uint8_t> EncodePng(const RowSource& rows, int rowsPerBand, PngBandCache* cache = nullptr,
                                    const std::atomic<bool>* cancel = nullptr);
std::vector<std::uint8_t> EncodePng(const Rgb32View& pixels, int rowsPerBand, PngBandCache* cache = nullptr);

}  // namespace imaging
