// The encoder object: defaults, quality and quantisation tables, sampling
// factors and comment.
#include "jpeg/cJpeg.h"

#include <algorithm>
#include <new>

#include "core/Parallel.h"
#include "core/Rounding.h"
#include "jpeg/JpegDct.h"
#include "jpeg/JpegError.h"
#include "jpeg/JpegFileWriter.h"
#include "jpeg/JpegTables.h"
#include "raster/GdiHandles.h"

using jpeg::JpegError;

cJpeg::cJpeg() {
    SetSamplingFrequencies(1, 1, 1, 1, 1, 1);
    Quality(95);
}

void cJpeg::Quality(std::int32_t vData) {
    if (vData < 1 || vData > 100) return;
    quality_ = vData;
    const double scale = vData >= 50 ? 200.0 - 2.0 * vData : core::RoundHalfEven(5000.0 / vData);
    const auto fill = [scale](jpeg::QuantTable& slot, const std::array<std::uint16_t, 64>& base) {
        for (int k = 0; k < 64; ++k) {
            const double t = core::RoundHalfEven((base[k] * scale + 50.0) / 100.0);
            slot.values[k] = static_cast<std::uint16_t>(std::clamp(t, 1.0, 255.0));
        }
    };
    fill(state_.quant[0], jpeg::kBaseLuminance);
    fill(state_.quant[1], jpeg::kBaseChrominance);
    jpeg::ComputeMultipliers(state_.quant[0], state_.precision);
    jpeg::ComputeMultipliers(state_.quant[1], state_.precision);
}

void cJpeg::SetSamplingFrequencies(std::int32_t H1, std::int32_t V1, std::int32_t H2, std::int32_t V2,
                                   std::int32_t H3, std::int32_t V3) {
    const auto check = [](std::int32_t factor) {
        if (factor < 1 || factor > 4) throw JpegError(jpeg::kErrValidation, "Invalid Sampling Value");
    };
    check(H1);
    check(V1);
    const bool grey = H2 == 0 && V2 == 0 && H3 == 0 && V3 == 0;
    if (!grey) {
        check(H2);
        check(H3);
        check(V2);
        check(V3);
    }

    const auto make = [](int h, int v, int quantSelector) {
        jpeg::Component c;
        c.h = h;
        c.v = v;
        c.quantSelector = quantSelector;
        return c;
    };
    std::vector<jpeg::Component> components;
    if (grey) {
        components.push_back(make(1, 1, 0));
    } else {
        components.push_back(make(H1, V1, 0));
        components.push_back(make(H2, V2, 1));
        components.push_back(make(H3, V3, 1));
    }
    state_.components = std::move(components);
    state_.counted.clear();
    state_.hmax = 1;
    state_.vmax = 1;
    for (const jpeg::Component& c : state_.components) {
        state_.hmax = std::max(state_.hmax, c.h);
        state_.vmax = std::max(state_.vmax, c.v);
    }
}

void cJpeg::Comment(std::string_view Value) {
    if (Value.size() > 65535) throw JpegError(jpeg::kErrValidation, "Illegal Comment Length");
    state_.comment = std::string(Value);
}

std::int32_t cJpeg::SampleView(const imaging::Rgb32View& pixels) {
    const jpeg::PixelRows rows{pixels.base, pixels.stride, pixels.width, pixels.height, 4};
    try {
        return Sample(rows, pixels.width, pixels.height, 0, 0);
    } catch (const std::bad_alloc&) {
        jpeg::RaiseOutOfMemory();  // a picture too large for the memory left
    }
}

std::int32_t cJpeg::SampleHDC(const gdi::Session& from, gdi::HDC lHDC, std::int32_t lWidth,
                              std::int32_t lHeight, std::int32_t lSrcLeft, std::int32_t lSrcTop) {
    try {
        return SampleDc(from, lHDC, lWidth, lHeight, lSrcLeft, lSrcTop);
    } catch (const std::bad_alloc&) {
        jpeg::RaiseOutOfMemory();
    }
}

std::int32_t cJpeg::SampleDc(const gdi::Session& from, gdi::HDC lHDC, std::int32_t lWidth,
                             std::int32_t lHeight, std::int32_t lSrcLeft, std::int32_t lSrcTop) {
    const gdi::DibRows dib = gdi::SelectedDibRows(from, lHDC);
    if (dib.top == nullptr || dib.bitCount == 24 || dib.bitCount == 32) {
        // No DIB at all reads black, as a blit from it would leave the strips.
        const jpeg::PixelRows rows{dib.top, dib.pitch, dib.width, dib.height, dib.bitCount / 8};
        return Sample(rows, lWidth, lHeight, lSrcLeft, lSrcTop);
    }
    // Palette and 16-bit pictures: the rectangle converted by the raster layer.
    if (lWidth < 1 || lHeight < 1) return Sample({}, lWidth, lHeight, 0, 0);
    gdi::BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = lWidth;
    info.bmiHeader.biHeight = -lHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = gdi::BI_RGB;
    gdi::Session handles;
    const gdi::UniqueDC dc(handles, gdi::CreateCompatibleDC(handles, 0));
    void* bits = nullptr;
    const gdi::UniqueBitmap copy(
        handles, gdi::CreateDIBSection(handles, dc.get(), &info, gdi::DIB_RGB_COLORS, &bits, 0, 0));
    if (!dc || !copy) return 1;
    const gdi::SelectionGuard selection(handles, dc.get(), copy.get());
    gdi::BitBlt(handles, dc.get(), 0, 0, lWidth, lHeight, from, lHDC, lSrcLeft, lSrcTop, gdi::SRCCOPY);
    const jpeg::PixelRows rows{static_cast<const std::uint8_t*>(bits), std::ptrdiff_t{4} * lWidth, lWidth,
                               lHeight, 4};
    return Sample(rows, lWidth, lHeight, 0, 0);
}

jpeg::ByteArray cJpeg::Assemble() {
    try {
        return jpeg::AssembleFile(state_, Threads());
    } catch (const std::bad_alloc&) {
        jpeg::RaiseOutOfMemory();
    }
}

bool cJpeg::Assemble(const jpeg::ByteSink& sink) {
    try {
        return jpeg::AssembleFile(state_, Threads(), sink);
    } catch (const std::bad_alloc&) {
        jpeg::RaiseOutOfMemory();
    }
}

int cJpeg::Threads() const {
    return threads_ > 0 ? threads_ : core::AutomaticThreadCount();
}
