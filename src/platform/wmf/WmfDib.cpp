#include "platform/wmf/WmfDib.h"

#include <bit>

#include "platform/wmf/WmfReader.h"

namespace wmf {
namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::int64_t kMaxSide = 65535;

struct Header {
    std::int64_t width = 0;
    std::int64_t height = 0;
    int bits = 0;
    std::uint32_t compression = kBiRgb;
    std::uint32_t colorsUsed = 0;
    std::size_t headerBytes = 0;
    std::size_t entryBytes = 4;  // colour table entry: RGBQUAD, RGBTRIPLE (core) or WORD (indices)
    std::uint32_t masks[3] = {0, 0, 0};
    bool masksInHeader = false;
};

std::optional<Header> ReadHeader(std::span<const std::uint8_t> b, bool paletteIndices) {
    if (b.size() < 4) return std::nullopt;
    Header h;
    const std::uint32_t size = ReadU32(b, 0);
    if (size == 12) {
        if (b.size() < 12) return std::nullopt;
        h.width = ReadU16(b, 4);
        h.height = ReadU16(b, 6);
        h.bits = ReadU16(b, 10);
        h.entryBytes = 3;
    } else if (size >= 40 && size <= b.size()) {
        h.width = static_cast<std::int32_t>(ReadU32(b, 4));
        h.height = static_cast<std::int32_t>(ReadU32(b, 8));
        h.bits = ReadU16(b, 14);
        h.compression = ReadU32(b, 16);
        h.colorsUsed = ReadU32(b, 32);
        if (size >= 52) {  // V2 and later headers carry the masks themselves
            for (int i = 0; i < 3; ++i) h.masks[i] = ReadU32(b, 40 + 4 * static_cast<std::size_t>(i));
            h.masksInHeader = true;
        }
    } else {
        return std::nullopt;
    }
    h.headerBytes = size;
    if (paletteIndices) h.entryBytes = 2;
    return h;
}

struct Source {
    std::span<const std::uint8_t> bits;
    std::vector<std::uint32_t> palette;
};

std::uint32_t Expand(std::uint32_t v, std::uint32_t mask) {
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    const int width = std::popcount(mask);
    std::uint64_t x = (v & mask) >> shift;
    const std::uint64_t max = (std::uint64_t{1} << width) - 1;
    return static_cast<std::uint32_t>((x * 255 + max / 2) / max);
}

std::uint32_t PaletteColor(const std::vector<std::uint32_t>& palette, std::uint32_t index) {
    return index < palette.size() ? palette[index] : 0xFF000000u;
}

void DecodeRows(const Header& h, const Source& src, DibPixels& out) {
    const std::uint64_t stride = ((static_cast<std::uint64_t>(out.width) * h.bits + 31) / 32) * 4;
    std::uint32_t masks[3] = {h.masks[0], h.masks[1], h.masks[2]};
    if (h.compression == kBiRgb) {
        if (h.bits == 16) masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
        if (h.bits == 32) masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
    }
    for (int row = 0; row < out.height; ++row) {
        const int y = out.bottomUp ? out.height - 1 - row : row;
        const std::uint8_t* line = src.bits.data() + stride * static_cast<std::uint64_t>(row);
        std::uint32_t* dst =
            out.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(out.width);
        for (int x = 0; x < out.width; ++x) {
            switch (h.bits) {
                case 1:
                    dst[x] = PaletteColor(src.palette, (line[x >> 3] >> (7 - (x & 7))) & 1);
                    break;
                case 4:
                    dst[x] = PaletteColor(src.palette, (line[x >> 1] >> ((x & 1) ? 0 : 4)) & 15);
                    break;
                case 8:
                    dst[x] = PaletteColor(src.palette, line[x]);
                    break;
                case 24:
                    dst[x] = 0xFF000000u | (std::uint32_t{line[3 * x + 2]} << 16) |
                             (std::uint32_t{line[3 * x + 1]} << 8) | line[3 * x];
                    break;
                default: {  // 16 or 32 bits through the colour masks
                    const std::size_t n = static_cast<std::size_t>(h.bits / 8);
                    std::uint32_t v = 0;
                    for (std::size_t i = 0; i < n; ++i) v |= std::uint32_t{line[n * x + i]} << (8 * i);
                    dst[x] = 0xFF000000u | (Expand(v, masks[0]) << 16) | (Expand(v, masks[1]) << 8) |
                             Expand(v, masks[2]);
                }
            }
        }
    }
}

// Run-length encoded bitmaps (always bottom-up). Pixels the runs never reach
// stay at colour 0 of the table, as GDI leaves them.
bool DecodeRle(const Header& h, const Source& src, DibPixels& out) {
    const auto& data = src.bits;
    const bool four = h.compression == kBiRle4;
    std::fill(out.pixels.begin(), out.pixels.end(), PaletteColor(src.palette, 0));
    std::int64_t x = 0;
    std::int64_t row = 0;  // counted from the bottom
    auto put = [&](std::uint32_t index) {
        if (x < out.width && row < out.height) {
            const std::size_t y = static_cast<std::size_t>(out.height - 1 - row);
            out.pixels[y * static_cast<std::size_t>(out.width) + static_cast<std::size_t>(x)] =
                PaletteColor(src.palette, index);
        }
        ++x;
    };
    std::size_t i = 0;
    while (i + 1 < data.size() && row < out.height) {
        const std::uint8_t count = data[i];
        const std::uint8_t value = data[i + 1];
        i += 2;
        if (count > 0) {  // encoded run
            for (int k = 0; k < count && x < out.width; ++k)
                put(four ? ((k & 1) ? value & 15 : value >> 4) : value);
            continue;
        }
        if (value == 0) {  // end of line
            x = 0;
            ++row;
        } else if (value == 1) {  // end of bitmap
            return true;
        } else if (value == 2) {  // delta
            if (i + 1 >= data.size()) return false;
            x += data[i];
            row += data[i + 1];
            i += 2;
        } else {  // absolute run of `value` pixels, padded to a word
            const std::size_t bytes = four ? (value + 1u) / 2 : value;
            if (i + bytes > data.size()) return false;
            for (int k = 0; k < value; ++k) {
                const std::uint8_t b =
                    data[i + (four ? static_cast<std::size_t>(k / 2) : static_cast<std::size_t>(k))];
                put(four ? ((k & 1) ? b & 15 : b >> 4) : b);
            }
            i += bytes + (bytes & 1);
        }
    }
    return true;
}

}  // namespace

std::optional<DibPixels> DecodeDib(std::span<const std::uint8_t> packed, bool paletteIndices,
                                   std::uint64_t maxPixels) {
    auto header = ReadHeader(packed, paletteIndices);
    if (!header) return std::nullopt;
    Header& h = *header;
    const bool rle = h.compression == kBiRle8 || h.compression == kBiRle4;
    const bool bitsOk =
        h.bits == 1 || h.bits == 4 || h.bits == 8 || h.bits == 16 || h.bits == 24 || h.bits == 32;
    if (!bitsOk) return std::nullopt;
    if (h.compression == kBiBitfields && h.bits != 16 && h.bits != 32) return std::nullopt;
    if ((h.compression == kBiRle8 && h.bits != 8) || (h.compression == kBiRle4 && h.bits != 4))
        return std::nullopt;
    if (h.compression != kBiRgb && h.compression != kBiBitfields && !rle) return std::nullopt;

    const bool topDown = h.height < 0;
    const std::int64_t width = h.width;
    const std::int64_t height = topDown ? -h.height : h.height;
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return std::nullopt;
    if (topDown && rle) return std::nullopt;
    const std::uint64_t pixelCount = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
    if (pixelCount > maxPixels) return std::nullopt;

    std::size_t pos = h.headerBytes;
    if (h.compression == kBiBitfields && !h.masksInHeader) {
        if (packed.size() < pos + 12) return std::nullopt;
        for (int i = 0; i < 3; ++i) h.masks[i] = ReadU32(packed, pos + 4 * static_cast<std::size_t>(i));
        pos += 12;
    }
    std::uint64_t entries = h.colorsUsed;
    if (entries == 0 && h.bits <= 8) entries = std::uint64_t{1} << h.bits;
    if (entries > 65536) return std::nullopt;
    const std::uint64_t tableBytes = entries * h.entryBytes;
    if (tableBytes > packed.size() - pos) return std::nullopt;

    Source src;
    if (h.bits <= 8) {
        src.palette.resize(static_cast<std::size_t>(entries));
        for (std::size_t i = 0; i < src.palette.size(); ++i) {
            const std::size_t at = pos + i * h.entryBytes;
            if (h.entryBytes == 2) {
                const std::uint32_t grey = ReadU16(packed, at) & 0xFF;
                src.palette[i] = 0xFF000000u | grey * 0x010101u;
            } else {
                src.palette[i] = 0xFF000000u | (std::uint32_t{packed[at + 2]} << 16) |
                                 (std::uint32_t{packed[at + 1]} << 8) | packed[at];
            }
        }
    }
    pos += static_cast<std::size_t>(tableBytes);
    src.bits = packed.subspan(pos);

    if (!rle) {
        const std::uint64_t stride = ((static_cast<std::uint64_t>(width) * h.bits + 31) / 32) * 4;
        if (stride * static_cast<std::uint64_t>(height) > src.bits.size()) return std::nullopt;
    }

    DibPixels out;
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    out.bottomUp = !topDown;
    out.pixels.resize(static_cast<std::size_t>(pixelCount));
    if (rle) {
        if (!DecodeRle(h, src, out)) return std::nullopt;
    } else {
        DecodeRows(h, src, out);
    }
    return out;
}

}  // namespace wmf
