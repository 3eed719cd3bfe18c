#include "JpegTestSupport.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#if defined(KORVEL_HAVE_LIBJPEG)
#include <jpeglib.h>
#endif

namespace jpegtest {

SourcePicture::SourcePicture(int width, int height, const std::function<Rgb(int x, int y)>& pixel)
    : width_(width), height_(height) {
    dc_ = gdi::CreateCompatibleDC(session_, 0);
    gdi::BITMAPINFO info{};
    info.bmiHeader.biSize = 40;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    stride_ = (3 * static_cast<std::size_t>(width) + 3) & ~std::size_t{3};
    info.bmiHeader.biSizeImage = static_cast<gdi::DWORD>(stride_ * height);
    void* bits = nullptr;
    bitmap_ = gdi::CreateDIBSection(session_, dc_, &info, gdi::DIB_RGB_COLORS, &bits, 0, 0);
    bits_ = static_cast<std::uint8_t*>(bits);
    previous_ = gdi::SelectObject(session_, dc_, bitmap_);
    if (bits_ == nullptr) ADD_FAILURE() << "no source bitmap";
    for (int y = 0; y < height && bits_ != nullptr; ++y) {
        std::uint8_t* row = bits_ + static_cast<std::size_t>(height - 1 - y) * stride_;
        for (int x = 0; x < width; ++x) {
            const Rgb c = pixel(x, y);
            row[3 * x] = c.b;
            row[3 * x + 1] = c.g;
            row[3 * x + 2] = c.r;
        }
    }
}

SourcePicture::~SourcePicture() {
    gdi::SelectObject(session_, dc_, previous_);
    gdi::DeleteObject(session_, bitmap_);
    gdi::DeleteDC(session_, dc_);
}

Rgb SourcePicture::At(int x, int y) const {
    const std::uint8_t* p = bits_ + static_cast<std::size_t>(height_ - 1 - y) * stride_ + 3 * x;
    return {p[2], p[1], p[0]};
}

std::vector<std::uint8_t> Encode(cJpeg& encoder, const SourcePicture& picture) {
    EXPECT_EQ(encoder.SampleHDC(picture.Handles(), picture.Dc(), picture.Width(), picture.Height(), 0, 0), 0);
    return encoder.EncodeToMemory();
}

#if defined(KORVEL_HAVE_LIBJPEG)
namespace {
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};
void OnError(j_common_ptr info) {
    auto* err = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, err->message);
    std::longjmp(err->jump, 1);
}
}  // namespace

bool HaveDecoder() {
    return true;
}

Decoded Decode(const std::vector<std::uint8_t>& file) {
    Decoded out;
    jpeg_decompress_struct info{};
    ErrorManager err{};
    info.err = jpeg_std_error(&err.base);
    err.base.error_exit = OnError;
    // Warnings (corrupt data that libjpeg recovers from) count as failures too.
    err.base.emit_message = [](j_common_ptr i, int level) {
        if (level < 0) OnError(i);
    };
    if (setjmp(err.jump) != 0) {
        out.ok = false;
        out.error = err.message;
        jpeg_destroy_decompress(&info);
        return out;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&info, TRUE);
    info.dct_method = JDCT_FLOAT;
    jpeg_start_decompress(&info);
    out.width = static_cast<int>(info.output_width);
    out.height = static_cast<int>(info.output_height);
    out.components = info.output_components;
    out.pixels.resize(static_cast<std::size_t>(out.width) * out.height * out.components);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row =
            out.pixels.data() + static_cast<std::size_t>(info.output_scanline) * out.width * out.components;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    out.ok = true;
    return out;
}
#else
bool HaveDecoder() {
    return false;
}
Decoded Decode(const std::vector<std::uint8_t>&) {
    return {};
}
#endif

double Psnr(const SourcePicture& source, const Decoded& decoded) {
    double squared = 0;
    std::size_t n = 0;
    for (int y = 0; y < source.Height(); ++y) {
        for (int x = 0; x < source.Width(); ++x) {
            const Rgb s = source.At(x, y);
            const std::uint8_t* d = decoded.pixels.data() +
                                    (static_cast<std::size_t>(y) * decoded.width + x) * decoded.components;
            if (decoded.components == 3) {
                const int dr = s.r - d[0], dg = s.g - d[1], db = s.b - d[2];
                squared += dr * dr + dg * dg + db * db;
                n += 3;
            } else {
                const int grey = static_cast<int>(std::lround(0.299 * s.r + 0.587 * s.g + 0.114 * s.b));
                squared += (grey - d[0]) * (grey - d[0]);
                n += 1;
            }
        }
    }
    if (squared == 0) return 99.0;
    return 10.0 * std::log10(255.0 * 255.0 / (squared / static_cast<double>(n)));
}

std::vector<std::uint8_t> SegmentMarkers(const std::vector<std::uint8_t>& file) {
    std::vector<std::uint8_t> markers;
    std::size_t p = 0;
    while (p + 1 < file.size() && file[p] == 0xFF) {
        const std::uint8_t code = file[p + 1];
        markers.push_back(code);
        if (code == 0xD8) {
            p += 2;
            continue;
        }
        if (code == 0xDA || p + 3 >= file.size()) break;
        p += 2 + (static_cast<std::size_t>(file[p + 2]) << 8 | file[p + 3]);
    }
    return markers;
}

long FindMarker(const std::vector<std::uint8_t>& file, std::uint8_t code) {
    for (std::size_t i = 0; i + 1 < file.size(); ++i) {
        if (file[i] == 0xFF && file[i + 1] == code) return static_cast<long>(i);
    }
    return -1;
}

std::vector<std::uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string TempFolder() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      ("korvel-jpeg-" + std::to_string(::getpid()) + "-" + test->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string() + "/";
}

}  // namespace jpegtest
