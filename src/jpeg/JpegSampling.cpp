// Sampling: reads a rectangle of a device context into a 24-bit work bitmap,
// converts it to Y, Cb, Cr and transforms every 8 x 8 block as it is read.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "jpeg/JpegDct.h"
#include "jpeg/JpegError.h"
#include "jpeg/JpegParallel.h"
#include "jpeg/cJpeg.h"

namespace {

struct ColourWeights {
    float r, g, b, offset;
};

// The offsets include the level shift: Y is centred on 0; the +128 of Cb and
// Cr cancels against it.
constexpr ColourWeights kWeights[3] = {
    {0.299f, 0.587f, 0.114f, -128.0f},
    {-0.16874f, -0.33126f, 0.5f, 0.0f},
    {0.5f, -0.41869f, -0.08131f, 0.0f},
};

// The 24-bit work bitmap selected into a memory DC of its own. Released in
// the fixed order: previous bitmap selected back, bitmap deleted, DC deleted.
class WorkBitmap {
  public:
    WorkBitmap() = default;
    WorkBitmap(const WorkBitmap&) = delete;
    WorkBitmap& operator=(const WorkBitmap&) = delete;
    ~WorkBitmap() {
        if (dc_ == 0) return;
        if (bitmap_ != 0) {
            gdi::SelectObject(dc_, previous_);
            gdi::DeleteObject(bitmap_);
        }
        gdi::DeleteDC(dc_);
    }

    bool Create(int width, int height) {
        dc_ = gdi::CreateCompatibleDC(0);
        if (dc_ == 0) return false;
        gdi::BITMAPINFO info{};
        info.bmiHeader.biSize = 40;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = gdi::BI_RGB;
        info.bmiHeader.biSizeImage = static_cast<gdi::DWORD>(Stride(width) * height);
        void* bits = nullptr;
        bitmap_ = gdi::CreateDIBSection(dc_, &info, gdi::DIB_RGB_COLORS, &bits, 0, 0);
        if (bitmap_ == 0 || bits == nullptr) {
            if (bitmap_ != 0) gdi::DeleteObject(bitmap_);
            bitmap_ = 0;
            return false;
        }
        bits_ = static_cast<const std::uint8_t*>(bits);
        previous_ = gdi::SelectObject(dc_, bitmap_);
        return true;
    }

    static std::int64_t Stride(std::int64_t width) { return (3 * width + 3) & ~std::int64_t{3}; }
    gdi::HDC Dc() const { return dc_; }
    const std::uint8_t* Bits() const { return bits_; }

  private:
    gdi::HDC dc_ = 0;
    gdi::HBITMAP bitmap_ = 0;
    gdi::HGDIOBJ previous_ = 0;
    const std::uint8_t* bits_ = nullptr;
};

// ceiling(factor * size / maxFactor), as the frame header's component size.
std::int64_t ScaledSize(int factor, int size, int maxFactor) {
    return static_cast<std::int64_t>(-std::floor(-(static_cast<double>(factor) * size) / maxFactor));
}

std::int64_t RoundUp8(std::int64_t v) {
    return (v + 7) / 8 * 8;
}

// True when the 8 x 8 pixels of block column bx all have one colour.
bool IsFlat(const std::uint8_t* const* rows, int bx) {
    const std::uint8_t* first = rows[0] + bx * 24;
    std::uint8_t pattern[24];
    for (int k = 0; k < 8; ++k) std::memcpy(pattern + 3 * k, first, 3);
    for (int j = 0; j < 8; ++j) {
        if (std::memcmp(rows[j] + bx * 24, pattern, 24) != 0) return false;
    }
    return true;
}

}  // namespace

std::int32_t cJpeg::SampleHDC(gdi::HDC lHDC, std::int32_t lWidth, std::int32_t lHeight, std::int32_t lSrcLeft,
                              std::int32_t lSrcTop) {
    state_.precision = 8;
    state_.height = lHeight;
    state_.width = lWidth;
    if (lWidth < 1 || lHeight < 1) return 1;

    const std::int64_t w8 = RoundUp8(lWidth);
    const std::int64_t h8 = RoundUp8(lHeight);
    if (w8 > 0x7FFFFFF0 || h8 > 0x7FFFFFF0 || WorkBitmap::Stride(w8) * h8 > 0x7FFFFFFF) return 1;
    WorkBitmap work;
    if (!work.Create(static_cast<int>(w8), static_cast<int>(h8))) return 1;
    const gdi::HDC mem = work.Dc();
    if (gdi::SetStretchBltMode(mem, gdi::HALFTONE) == 0) gdi::SetStretchBltMode(mem, gdi::COLORONCOLOR);

    const int count = static_cast<int>(state_.components.size());
    std::int64_t drawn[4] = {-1, -1, -1, -1};  // cw, ch, pw, ph of the picture in the work bitmap
    int c = 0;
    while (c < count) {
        jpeg::Component& comp = state_.components[static_cast<std::size_t>(c)];
        const std::int64_t cw = ScaledSize(comp.h, lWidth, state_.hmax);
        const std::int64_t ch = ScaledSize(comp.v, lHeight, state_.vmax);
        const std::int64_t pw = RoundUp8(cw);
        const std::int64_t ph = RoundUp8(ch);

        // Redraw whenever the component's picture differs from the one drawn,
        // not only its padded size: two components may pad to one size from
        // different scaled sizes.
        if (cw != drawn[0] || ch != drawn[1] || pw != drawn[2] || ph != drawn[3]) {
            const int top = static_cast<int>(h8 - ph);
            const int icw = static_cast<int>(cw);
            const int ich = static_cast<int>(ch);
            if (cw == lWidth && ch == lHeight) {
                gdi::BitBlt(mem, 0, top, icw, ich, lHDC, lSrcLeft, lSrcTop, gdi::SRCCOPY);
            } else {
                gdi::StretchBlt(mem, 0, top, icw, ich, lHDC, lSrcLeft, lSrcTop, lWidth, lHeight,
                                gdi::SRCCOPY);
            }
            for (int x = icw; x < pw; ++x) gdi::BitBlt(mem, x, top, 1, ich, mem, x - 1, top, gdi::SRCCOPY);
            for (int y = top + ich; y < h8; ++y) {
                gdi::BitBlt(mem, 0, y, static_cast<int>(pw), 1, mem, 0, y - 1, gdi::SRCCOPY);
            }
            drawn[0] = cw;
            drawn[1] = ch;
            drawn[2] = pw;
            drawn[3] = ph;
        }

        // Components that follow with the same picture are sampled together,
        // so the pixels are read once for all of them.
        int group = 1;
        comp.id = c + 1;
        while (c + group < count) {
            const jpeg::Component& next = state_.components[static_cast<std::size_t>(c + group)];
            if (ScaledSize(next.h, lWidth, state_.hmax) != cw ||
                ScaledSize(next.v, lHeight, state_.vmax) != ch)
                break;
            state_.components[static_cast<std::size_t>(c + group)].id = c + group + 1;
            ++group;
        }
        SampleComponentsFromMemory(work.Bits(), static_cast<std::ptrdiff_t>(WorkBitmap::Stride(w8)),
                                   static_cast<int>(pw), static_cast<int>(ph), c, group);
        c += group;
    }
    return 0;
}

void cJpeg::SampleComponentsFromMemory(const std::uint8_t* bits, std::ptrdiff_t stride, int pw, int ph,
                                       int firstComponent, int componentCount) {
    const int blocksX = pw / 8;
    const int blocksY = ph / 8;
    struct Target {
        ColourWeights weights;
        jpeg::QuantPlan plan;
        std::int16_t* out;
    };
    std::vector<Target> targets;
    for (int k = 0; k < componentCount; ++k) {
        const int index = firstComponent + k;
        jpeg::Component& comp = state_.components[static_cast<std::size_t>(index)];
        // Every entry is written below, so the new array is not cleared first.
        comp.coefficients =
            jpeg::CoefficientArray(static_cast<std::size_t>(pw) * static_cast<std::size_t>(ph));
        targets.push_back({kWeights[index], jpeg::MakeQuantPlan(state_.quant[comp.quantSelector]),
                           comp.coefficients.data()});
    }

    // Block rows are independent: split them over the threads.
    const int parts = blocksY >= 16 ? std::min(Threads(), blocksY / 8) : 1;
    std::atomic<bool> overflow{false};
    jpeg::RunParts(parts, [&](int part) {
        const auto firstRow = static_cast<int>(jpeg::PartBegin(blocksY, parts, part));
        const auto endRow = static_cast<int>(jpeg::PartBegin(blocksY, parts, part + 1));
        alignas(32) std::int32_t red[64], green[64], blue[64];
        alignas(32) float block[64];
        for (int by = firstRow; by < endRow; ++by) {
            const std::uint8_t* rows[8];
            for (int j = 0; j < 8; ++j)
                rows[j] = bits + static_cast<std::ptrdiff_t>(ph - 1 - (by * 8 + j)) * stride;
            for (int bx = 0; bx < blocksX; ++bx) {
                const std::size_t offset = (static_cast<std::size_t>(by) * blocksX + bx) * 64;
                if (IsFlat(rows, bx)) {
                    // One colour: the transform reduces to the DC term.
                    const std::uint8_t* px = rows[0] + bx * 24;
                    for (const Target& t : targets) {
                        const ColourWeights w = t.weights;
                        const float sample = static_cast<float>(px[2]) * w.r +
                                             static_cast<float>(px[1]) * w.g +
                                             static_cast<float>(px[0]) * w.b + w.offset;
                        if (!jpeg::TransformFlatBlock(sample, t.plan, t.out + offset)) overflow = true;
                    }
                    continue;
                }
                for (int j = 0; j < 8; ++j) {
                    const std::uint8_t* px = rows[j] + bx * 24;
                    for (int k = 0; k < 8; ++k) {
                        blue[j * 8 + k] = px[3 * k];
                        green[j * 8 + k] = px[3 * k + 1];
                        red[j * 8 + k] = px[3 * k + 2];
                    }
                }
                for (const Target& t : targets) {
                    const ColourWeights w = t.weights;
                    for (int i = 0; i < 64; ++i) {
                        block[i] = static_cast<float>(red[i]) * w.r + static_cast<float>(green[i]) * w.g +
                                   static_cast<float>(blue[i]) * w.b + w.offset;
                    }
                    if (!jpeg::TransformBlock(block, t.plan, t.out + offset)) overflow = true;
                }
            }
        }
    });
    if (overflow) jpeg::RaiseOverflow();
}
