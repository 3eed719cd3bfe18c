// A fast PNG writer for pictures that go onto the clipboard: 8-bit RGB, the
// "up" filter on every row, and deflate at its fastest level. The rows are
// compressed in bands on several threads, each band as a deflate stream of its
// own, so the bytes written never depend on the number of threads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "imaging/Rgb32View.h"

namespace imaging {

// The compressed bands of the last picture written, kept to write the next
// picture faster: a band whose rows (and the row above, which the filter
// reads) are unchanged is taken over as it is. The caller keeps the pixels of
// `pixels` unchanged and alive for as long as the cache refers to them.
struct PngBandCache {
    Rgb32View pixels;
    int rowsPerBand = 0;
    struct Band {
        std::vector<std::uint8_t> deflated;
        unsigned long adler = 1;
        std::size_t filteredBytes = 0;
    };
    std::vector<Band> bands;
};

// The PNG file of the picture, alpha dropped. Empty for an empty picture or
// when memory runs out. With a cache, unchanged bands of the previous picture
// are reused and the cache then describes this picture.
std::vector<std::uint8_t> EncodePng(const Rgb32View& pixels, PngBandCache* cache = nullptr);

// The same, with the band size given in rows (tests: bands of one row must
// decode like one band).
std::vector<std::uint8_t> EncodePng(const Rgb32View& pixels, int rowsPerBand, PngBandCache* cache = nullptr);

}  // namespace imaging
