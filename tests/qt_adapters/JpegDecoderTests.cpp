// The loader's own JPEG decoder: the pixels Qt's reader gave for every kind
// of file it read, and the files it refuses before they cost their claimed
// size in time or memory.
#include <gtest/gtest.h>
#include <jpeglib.h>

#include <QBuffer>
#include <QImageReader>
#include <csetjmp>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/qt/JpegDecoder.h"
#include "platform/qt/PictureLoader.h"
#include "support/HandMadeJpeg.h"

namespace {

using test_support::FlatScanData;
using test_support::HandMadeProgressiveJpeg;
using test_support::HandMadeScan;

std::span<const std::byte> Bytes(const QByteArray& file) {
    return std::as_bytes(std::span(file.constData(), static_cast<std::size_t>(file.size())));
}

QImage Decode(const QByteArray& file) {
    return platform::DecodeJpeg(Bytes(file));
}

// How a test file is written by libjpeg.
struct Layout {
    const char* name;
    J_COLOR_SPACE input;  // JCS_RGB, JCS_GRAYSCALE or JCS_CMYK
    J_COLOR_SPACE stored;
    int lumaH, lumaV;  // sampling factors of the first component
    bool progressive;
};

struct JpegFailure {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

// Samples of a smooth picture with edges: channel c of pixel (x, y).
int Sample(int x, int y, int c) {
    return (x * (7 + c * 5) + y * (3 + c * 11) + ((x / 4 + y / 3) % 2) * 90) & 255;
}

// A 37 x 29 picture (partial blocks and MCUs at the right and bottom) as
// libjpeg writes it in `layout`, at 300 dots per inch.
QByteArray Encode(const Layout& layout) {
    const int width = 37;
    const int height = 29;
    const int channels = layout.input == JCS_GRAYSCALE ? 1 : layout.input == JCS_CMYK ? 4 : 3;
    std::vector<JSAMPLE> pixels(static_cast<std::size_t>(width * height * channels));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < channels; ++c)
                pixels[static_cast<std::size_t>((y * width + x) * channels + c)] =
                    static_cast<JSAMPLE>(Sample(x, y, c));
        }
    }
    jpeg_compress_struct info{};
    JpegFailure failure{};
    info.err = jpeg_std_error(&failure.manager);
    failure.manager.error_exit = [](j_common_ptr common) {
        std::longjmp(reinterpret_cast<JpegFailure*>(common->err)->jump, 1);
    };
    unsigned char* out = nullptr;
    unsigned long size = 0;
    if (setjmp(failure.jump) != 0) {
        jpeg_destroy_compress(&info);
        std::free(out);
        return {};
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = width;
    info.image_height = height;
    info.input_components = channels;
    info.in_color_space = layout.input;
    jpeg_set_defaults(&info);
    jpeg_set_colorspace(&info, layout.stored);
    jpeg_set_quality(&info, 90, TRUE);
    info.comp_info[0].h_samp_factor = layout.lumaH;
    info.comp_info[0].v_samp_factor = layout.lumaV;
    info.density_unit = 1;
    info.X_density = 300;
    info.Y_density = 300;
    if (layout.progressive) jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = &pixels[static_cast<std::size_t>(info.next_scanline) * width * channels];
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray file(reinterpret_cast<const char*>(out), static_cast<qsizetype>(size));
    std::free(out);
    return file;
}

// Grey pictures of one flat block, progressive: a DC scan and its
// refinements, then first scans of the AC coefficients one at a time; each
// scan is a whole pass over the picture.
std::vector<HandMadeScan> ValidScans(int count) {
    std::vector<HandMadeScan> scans;
    const QByteArray dc = FlatScanData(1, false);
    const QByteArray ac = FlatScanData(1, true);
    scans.push_back({0, 0, 0, 13, dc});
    for (int bit = 13; bit > 0; --bit) scans.push_back({0, 0, bit, bit - 1, dc});
    for (int k = 1; k < 64; ++k) scans.push_back({k, k, 0, 0, ac});
    scans.resize(static_cast<std::size_t>(count));
    return scans;
}

TEST(JpegDecoder, GivesThePixelsAndResolutionOfQtsReaderForEveryKindOfFile) {
    const Layout layouts[] = {
        {"grey", JCS_GRAYSCALE, JCS_GRAYSCALE, 1, 1, false},
        {"YCbCr 4:2:0", JCS_RGB, JCS_YCbCr, 2, 2, false},
        {"YCbCr 4:2:2", JCS_RGB, JCS_YCbCr, 2, 1, false},
        {"YCbCr 4:4:4", JCS_RGB, JCS_YCbCr, 1, 1, false},
        {"progressive 4:2:0", JCS_RGB, JCS_YCbCr, 2, 2, true},
        {"progressive grey", JCS_GRAYSCALE, JCS_GRAYSCALE, 1, 1, true},
        {"RGB", JCS_RGB, JCS_RGB, 1, 1, false},
        {"CMYK (Adobe)", JCS_CMYK, JCS_CMYK, 1, 1, false},
        {"YCCK (Adobe)", JCS_CMYK, JCS_YCCK, 2, 2, false},
    };
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(layout.name);
        const QByteArray file = Encode(layout);
        ASSERT_FALSE(file.isEmpty());
        QBuffer buffer;
        buffer.setData(file);
        QImageReader reader(&buffer, "jpeg");
        reader.setAutoTransform(false);
        const QImage expected = reader.read();
        ASSERT_FALSE(expected.isNull());
        const QImage decoded = Decode(file);
        ASSERT_EQ(decoded.format(), QImage::Format_RGB32);
        EXPECT_EQ(decoded, expected.convertToFormat(QImage::Format_RGB32));  // size and every pixel
        EXPECT_EQ(decoded.dotsPerMeterX(), expected.dotsPerMeterX());
        EXPECT_EQ(decoded.dotsPerMeterY(), expected.dotsPerMeterY());
        // libjpeg records the resolution in JFIF files (grey and YCbCr).
        if (layout.stored == JCS_GRAYSCALE || layout.stored == JCS_YCbCr) {
            EXPECT_EQ(decoded.dotsPerMeterX(), 11811);  // 300 dpi
        }
        // Files and bytes go through the same decoder.
        EXPECT_EQ(platform::DecodePictureData(file), decoded);
    }
}

// Files the decoder refuses, whatever they would cost otherwise: damaged or
// cut short, beyond the loader's limits, or with scans that repeat or go on.
TEST(JpegDecoder, RefusesCutDamagedOversizedAndEndlessFiles) {
    const QByteArray baseline = Encode({"", JCS_RGB, JCS_YCbCr, 2, 2, false});
    const QByteArray progressive = Encode({"", JCS_RGB, JCS_YCbCr, 2, 2, true});
    const QByteArray dc = FlatScanData(1, false);
    const auto flat = [](int width, int height) {
        const long blocks = long{(width + 7) / 8} * ((height + 7) / 8);
        return HandMadeProgressiveJpeg(
            width, height,
            {{0, 0, 0, 0, FlatScanData(blocks, false)}, {1, 63, 0, 0, FlatScanData(blocks, true)}});
    };
    std::vector<HandMadeScan> repeated(1000, HandMadeScan{0, 0, 0, 0, QByteArray(5, '\0')});
    const struct {
        const char* name;
        QByteArray file;
    } refused[] = {
        {"baseline cut within its scan", baseline.left(baseline.size() * 6 / 10)},
        {"progressive cut after some scans", progressive.left(progressive.size() * 6 / 10)},
        {"header only", baseline.left(baseline.indexOf("\xFF\xDA"))},
        {"start-of-image marker only", QByteArray("\xFF\xD8", 2)},
        {"no JPEG", QByteArray("not a picture at all")},
        {"a side beyond 32767", flat(40000, 8)},
        {"more than 1 GiB of pixels", flat(20000, 20000)},
        {"DC scan sent twice", HandMadeProgressiveJpeg(8, 8, {{0, 0, 0, 0, dc}, {0, 0, 0, 0, dc}})},
        {"refinement out of order", HandMadeProgressiveJpeg(8, 8, {{0, 0, 0, 2, dc}, {0, 0, 1, 0, dc}})},
        {"AC before DC", HandMadeProgressiveJpeg(8, 8, {{1, 63, 0, 0, FlatScanData(1, true)}})},
        {"one pass more than the scan limit",
         HandMadeProgressiveJpeg(8, 8, ValidScans(platform::kMaxJpegScanPasses + 1))},
        // The hostile file of the benchmark: 15 KB claiming 16384 x 16384,
        // each of its 1000 scans a few bytes, each a walk over 4 million blocks.
        {"16384 x 16384 with 1000 short scans", HandMadeProgressiveJpeg(16384, 16384, repeated)},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(Decode(c.file).isNull());
    }
    // Still read: as many passes as the limit allows, a flat picture, and a
    // file with stray bytes between two markers.
    EXPECT_EQ(Decode(HandMadeProgressiveJpeg(8, 8, ValidScans(platform::kMaxJpegScanPasses))).size(),
              QSize(8, 8));
    EXPECT_EQ(Decode(flat(100, 60)).pixel(99, 59), qRgb(128, 128, 128));
    QByteArray stray = baseline;
    stray.insert(stray.indexOf("\xFF\xDA"), "xyz");
    EXPECT_EQ(Decode(stray), Decode(baseline));
}

// A file whose only defect is a missing end marker holds every row: it reads
// as the whole file does, whatever its scans; a file cut short between two
// scans does not.
TEST(JpegDecoder, AMissingEndMarkerAloneStillGivesTheWholePicture) {
    const Layout layouts[] = {
        {"baseline", JCS_RGB, JCS_YCbCr, 2, 2, false},
        {"grey", JCS_GRAYSCALE, JCS_GRAYSCALE, 1, 1, false},
        {"progressive", JCS_RGB, JCS_YCbCr, 2, 2, true},
        {"progressive grey", JCS_GRAYSCALE, JCS_GRAYSCALE, 1, 1, true},
    };
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(layout.name);
        const QByteArray whole = Encode(layout);
        ASSERT_TRUE(whole.endsWith("\xFF\xD9"));
        const QImage decoded = Decode(whole);
        ASSERT_FALSE(decoded.isNull());
        EXPECT_EQ(Decode(whole.left(whole.size() - 2)), decoded);
        if (layout.progressive) {
            // Cut right before its last scan: every row decodes, blurred.
            EXPECT_TRUE(Decode(whole.left(whole.lastIndexOf("\xFF\xDA"))).isNull());
        }
    }
}

TEST(JpegDecoder, StopsWhenCancelled) {
    const QByteArray file = Encode({"", JCS_RGB, JCS_YCbCr, 2, 2, false});
    std::atomic<bool> cancel{true};
    EXPECT_TRUE(platform::DecodeJpeg(Bytes(file), &cancel).isNull());
    cancel = false;
    EXPECT_FALSE(platform::DecodeJpeg(Bytes(file), &cancel).isNull());
}

}  // namespace
