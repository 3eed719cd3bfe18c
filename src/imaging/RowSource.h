// A picture that writers read in bands of rows, from any thread: the rows are
// copied out, so the picture behind may be one that changes meanwhile (the
// canvas), as long as the source hands out the pixels of one moment.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "imaging/Rgb32View.h"

namespace imaging {

class RowSource {
  public:
    virtual ~RowSource() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Copies rows [first, first + count) as 32-bit pixels 0xAARRGGBB into
    // `out`, row r at out + r * stride. The rows lie inside the picture.
    virtual void ReadRows(int first, int count, std::uint8_t* out, std::ptrdiff_t stride) const = 0;
};

// The rows of pixels in memory that nothing changes while they are read.
class ViewRows : public RowSource {
  public:
    explicit ViewRows(const Rgb32View& view) : view_(view) {}
    int Width() const override { return view_.width; }
    int Height() const override { return view_.height; }
    void ReadRows(int first, int count, std::uint8_t* out, std::ptrdiff_t stride) const override {
        const std::size_t bytes = std::size_t{4} * static_cast<std::size_t>(view_.width);
        for (int r = 0; r < count; ++r)
            std::memcpy(out + stride * r, view_.base + view_.stride * (first + r), bytes);
    }

  private:
    Rgb32View view_;
};

}  // namespace imaging
