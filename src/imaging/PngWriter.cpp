#include "imaging/PngWriter.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <initializer_list>
#include <new>
#include <span>
#include <utility>

#include "core/Parallel.h"

namespace imaging {

namespace {

constexpr std::array<std::uint8_t, 8> kSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint8_t kFilterUp = 2;
// About one megabyte of filtered rows per band: enough to compress well,
// small enough to share the work among the cores.
constexpr std::size_t kBandBytes = std::size_t{1} << 20;

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value >> 24));
    out.push_back(static_cast<std::uint8_t>(value >> 16));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}

// Appends one chunk: length, type, data, CRC over type and data.
// One chunk whose data is the given pieces one after the other.
void PutChunk(std::vector<std::uint8_t>& out, const char (&type)[5],
              std::initializer_list<std::span<const std::uint8_t>> pieces) {
    std::size_t length = 0;
    for (const auto piece : pieces) length += piece.size();
    PutU32(out, static_cast<std::uint32_t>(length));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    for (const auto piece : pieces) out.insert(out.end(), piece.begin(), piece.end());
    const uLong crc = crc32_z(0, out.data() + typeAt, 4 + length);
    PutU32(out, static_cast<std::uint32_t>(crc));
}

// A row as PNG scan line: filter byte, then red-green-blue bytes minus those
// of the row above (nullptr for row 0, whose row above is all zeros).
void FilterRow(const std::uint32_t* row, const std::uint32_t* above, int width, std::uint8_t* line) {
    line[0] = kFilterUp;
    std::uint8_t* out = line + 1;
    for (int x = 0; x < width; ++x) {
        std::uint32_t p = row[x];
        if (above != nullptr) {
            // Byte-wise subtraction modulo 256, no borrow between the bytes.
            const std::uint32_t q = above[x];
            p = ((p | 0x80808080u) - (q & 0x7F7F7F7Fu)) ^ ((p ^ ~q) & 0x80808080u);
        }
        out[0] = static_cast<std::uint8_t>(p >> 16);
        out[1] = static_cast<std::uint8_t>(p >> 8);
        out[2] = static_cast<std::uint8_t>(p);
        out += 3;
    }
}

std::uint64_t RotateLeft(std::uint64_t value, int bits) {
    return (value << bits) | (value >> (64 - bits));
}

std::uint64_t Avalanche(std::uint64_t h) {
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ull;
    h ^= h >> 33;
    return h;
}

// The print of the pixels' red, green and blue (alpha does not reach the
// file): two independent 64-bit lanes over 8 bytes at a time.
PixelPrint PrintPixels(const std::uint32_t* pixels, std::size_t count) {
    std::uint64_t a = 0x9E3779B97F4A7C15ull ^ count;
    std::uint64_t b = 0xC2B2AE3D27D4EB4Full + count;
    const auto mix = [&a, &b](std::uint64_t word) {
        a = RotateLeft(a ^ (word * 0x87C37B91114253D5ull), 31) * 0x4CF5AD432745937Full;
        b = RotateLeft(b + (word ^ 0x52DCE729DA3ED6E5ull), 27) * 0x9E3779B185EBCA87ull +
            0x27D4EB2F165667C5ull;
    };
    std::size_t i = 0;
    for (; i + 2 <= count; i += 2) {
        std::uint64_t word = 0;
        std::memcpy(&word, pixels + i, sizeof word);
        mix(word & 0x00FFFFFF00FFFFFFull);
    }
    if (i < count) mix(pixels[i] & 0x00FFFFFFu);
    return {Avalanche(a ^ b), Avalanche(b + RotateLeft(a, 17))};
}

struct Band {
    int firstRow = 0;
    int endRow = 0;
    std::vector<std::uint8_t> deflated;  // raw deflate data, ending on a byte boundary
    uLong adler = 1;                     // Adler-32 of the band's filtered rows
    std::size_t filteredBytes = 0;
    PixelPrint print{};
    bool ok = false;
};

bool CacheFits(const PngBandCache& cache, int width, int height, int rowsPerBand, int bandCount) {
    return cache.width == width && cache.height == height && cache.rowsPerBand == rowsPerBand &&
           static_cast<int>(cache.bands.size()) == bandCount;
}

// Compresses one band as a deflate stream of its own from its rows in
// `pixels` (the row above first, when the band has one); every band but the
// last ends with a sync flush (no final block), so the bands join into one
// stream.
void DeflateBand(const std::uint32_t* pixels, int width, Band& band, bool last) {
    if (width <= 0) return;
    const std::size_t lineBytes = 1 + std::size_t{3} * static_cast<std::size_t>(width);
    std::vector<std::uint8_t> line(lineBytes);
    z_stream z{};
    if (deflateInit2(&z, 1, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) return;
    band.filteredBytes = lineBytes * static_cast<std::size_t>(band.endRow - band.firstRow);
    band.deflated.resize(deflateBound(&z, static_cast<uLong>(band.filteredBytes)) + 16);
    z.next_out = band.deflated.data();
    z.avail_out = static_cast<uInt>(band.deflated.size());
    const std::size_t w = static_cast<std::size_t>(width);
    const std::uint32_t* above = band.firstRow > 0 ? pixels : nullptr;
    const std::uint32_t* row = band.firstRow > 0 ? pixels + w : pixels;
    bool ok = true;
    for (int y = band.firstRow; y < band.endRow && ok; ++y, above = row, row += w) {
        FilterRow(row, above, width, line.data());
        band.adler = adler32(band.adler, line.data(), static_cast<uInt>(lineBytes));
        z.next_in = line.data();
        z.avail_in = static_cast<uInt>(lineBytes);
        const int flush = y + 1 < band.endRow ? Z_NO_FLUSH : (last ? Z_FINISH : Z_SYNC_FLUSH);
        const int result = deflate(&z, flush);
        ok = z.avail_in == 0 && (result == Z_OK || result == Z_STREAM_END || result == Z_BUF_ERROR);
    }
    band.deflated.resize(band.deflated.size() - std::min<std::size_t>(z.avail_out, band.deflated.size()));
    deflateEnd(&z);
    band.ok = ok;
}

}  // namespace

std::vector<std::uint8_t> EncodePng(const Rgb32View& pixels, PngBandCache* cache) {
    if (pixels.base == nullptr) return {};
    return EncodePng(ViewRows(pixels), cache);
}

std::vector<std::uint8_t> EncodePng(const Rgb32View& pixels, int rowsPerBand, PngBandCache* cache) {
    if (pixels.base == nullptr) return {};
    return EncodePng(ViewRows(pixels), rowsPerBand, cache);
}

std::vector<std::uint8_t> EncodePng(const RowSource& rows, PngBandCache* cache,
                                    const std::atomic<bool>* cancel) {
    const std::size_t lineBytes = 1 + std::size_t{3} * static_cast<std::size_t>(std::max(rows.Width(), 0));
    return EncodePng(rows, static_cast<int>(std::max<std::size_t>(1, kBandBytes / lineBytes)), cache, cancel);
}

std::vector<std::uint8_t> EncodePng(const RowSource& rows, int rowsPerBand, PngBandCache* cache,
                                    const std::atomic<bool>* cancel) {
    PngBandCache previous;
    if (cache != nullptr) previous = std::exchange(*cache, PngBandCache{});
    const int width = rows.Width();
    const int height = rows.Height();
    if (width <= 0 || height <= 0 || rowsPerBand <= 0) return {};
    const auto cancelled = [cancel] { return cancel != nullptr && cancel->load(std::memory_order_relaxed); };
    try {
        std::vector<Band> bands;
        for (int y = 0; y < height; y += rowsPerBand) {
            Band band;
            band.firstRow = y;
            band.endRow = std::min(height, y + rowsPerBand);
            bands.push_back(std::move(band));
        }
        const int count = static_cast<int>(bands.size());
        const bool reuse = CacheFits(previous, width, height, rowsPerBand, count);
        const int parts = std::min(count, core::AutomaticThreadCount());
        core::RunParts(parts, [&](int p) {
            const long long begin = core::PartBegin(count, parts, p);
            const long long end = core::PartBegin(count, parts, p + 1);
            // The band's rows, and the row above that its filter reads.
            std::vector<std::uint32_t> pixels;
            for (long long b = begin; b < end && !cancelled(); ++b) {
                Band& band = bands[static_cast<std::size_t>(b)];
                const int first = std::max(0, band.firstRow - 1);
                const std::size_t count32 =
                    static_cast<std::size_t>(band.endRow - first) * static_cast<std::size_t>(width);
                pixels.resize(count32);
                rows.ReadRows(first, band.endRow - first, reinterpret_cast<std::uint8_t*>(pixels.data()),
                              static_cast<std::ptrdiff_t>(width) * 4);
                band.print = PrintPixels(pixels.data(), count32);
                PngBandCache::Band* old = reuse ? &previous.bands[static_cast<std::size_t>(b)] : nullptr;
                if (old != nullptr && old->print == band.print) {
                    band.deflated = std::move(old->deflated);
                    band.adler = old->adler;
                    band.filteredBytes = old->filteredBytes;
                    band.ok = true;
                } else {
                    DeflateBand(pixels.data(), width, band, b + 1 == count);
                }
            }
        });
        if (cancelled()) return {};

        // The file is assembled in one buffer of its final size: signature,
        // header, one IDAT chunk per band and the end, 12 bytes around each
        // chunk's data.
        constexpr std::size_t kChunkFrame = 12;
        constexpr std::size_t kHeaderBytes = 13;
        constexpr std::size_t kZlibFrame = 2 + 4;  // zlib header, Adler-32 of all rows
        std::size_t total = kSignature.size() + (kChunkFrame + kHeaderBytes) + kChunkFrame + kZlibFrame;
        for (const Band& band : bands) {
            if (!band.ok) return {};
            total += kChunkFrame + band.deflated.size();
        }
        std::vector<std::uint8_t> png;
        png.reserve(total);
        png.assign(kSignature.begin(), kSignature.end());
        std::vector<std::uint8_t> header;
        PutU32(header, static_cast<std::uint32_t>(width));
        PutU32(header, static_cast<std::uint32_t>(height));
        header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, adaptive filters, no interlace
        PutChunk(png, "IHDR", {header});

        // One IDAT chunk per band: the zlib header goes before the first
        // band, the Adler-32 of all rows after the last.
        constexpr std::array<std::uint8_t, 2> kZlibHeader{0x78, 0x01};
        uLong adler = 1;
        for (int b = 0; b < count; ++b) {
            const Band& band = bands[static_cast<std::size_t>(b)];
            adler = adler32_combine(adler, band.adler, static_cast<z_off_t>(band.filteredBytes));
            const bool first = b == 0;
            const bool last = b + 1 == count;
            const std::array<std::uint8_t, 4> trailer{
                static_cast<std::uint8_t>(adler >> 24), static_cast<std::uint8_t>(adler >> 16),
                static_cast<std::uint8_t>(adler >> 8), static_cast<std::uint8_t>(adler)};
            PutChunk(
                png, "IDAT",
                {std::span<const std::uint8_t>(kZlibHeader).first(first ? kZlibHeader.size() : 0),
                 band.deflated, std::span<const std::uint8_t>(trailer).first(last ? trailer.size() : 0)});
        }
        PutChunk(png, "IEND", {});

        if (cache != nullptr) {
            cache->width = width;
            cache->height = height;
            cache->rowsPerBand = rowsPerBand;
            cache->bands.resize(bands.size());
            for (std::size_t b = 0; b < bands.size(); ++b) {
                cache->bands[b] = {std::move(bands[b].deflated), bands[b].adler, bands[b].filteredBytes,
                                   bands[b].print};
            }
        }
        return png;
    } catch (const std::bad_alloc&) {
        if (cache != nullptr) *cache = PngBandCache{};
        return {};
    }
}

}  // namespace imaging
