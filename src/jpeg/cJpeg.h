// cJpeg: the program's own baseline JPEG encoder (JFIF, Huffman coding, 8-bit
// samples, per-image optimal Huffman tables).
//
// Use: construct (quality 95, three components without subsampling), set
// Quality, call SampleView once with the picture's pixels (or SampleHDC with
// a device context holding it), then SaveFile. Failures are raised as
// jpeg::JpegError with the number and description the caller may show (1
// validation, 6 overflow, 7 out of memory, 9 nothing sampled, 61/75/76 file
// errors); Quality silently ignores values outside 1..100.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "imaging/Rgb32View.h"
#include "jpeg/JpegOutput.h"
#include "jpeg/JpegPixelRows.h"
#include "jpeg/JpegState.h"
#include "raster/gdi.h"

class cJpeg {
  public:
    cJpeg();

    // Quality 1..100; other values are ignored. Rebuilds the quantisation
    // tables of slots 0 (luminance) and 1 (chrominance).
    std::int32_t Quality() const { return quality_; }
    void Quality(std::int32_t vData);

    // Sampling factors 1..4 of the three components; H2, V2, H3, V3 all 0 make
    // a grey encoder (one component). Raises "Invalid Sampling Value" and then
    // keeps the old components. Drops any sampled coefficients.
    void SetSamplingFrequencies(std::int32_t H1, std::int32_t V1, std::int32_t H2, std::int32_t V2,
                                std::int32_t H3, std::int32_t V3);

    // Reads the whole picture where it lies (nothing is copied but a strip
    // per thread at a time) and stores the quantised DCT coefficients of
    // every component. 0 = done, 1 = an empty picture (or no work bitmap).
    std::int32_t SampleView(const imaging::Rgb32View& pixels);

    // The same for the rectangle (lSrcLeft, lSrcTop, lWidth, lHeight) of
    // lHDC, a DC of session `from`; pixels outside the DC's bitmap read
    // black. A 24- or 32-bit DIB is read in place, any other depth through a
    // 32-bit copy of the rectangle.
    std::int32_t SampleHDC(const gdi::Session& from, gdi::HDC lHDC, std::int32_t lWidth, std::int32_t lHeight,
                           std::int32_t lSrcLeft, std::int32_t lSrcTop);

    // Comment written as a COM segment when not empty; single-byte characters,
    // at most 65535 ("Illegal Comment Length" otherwise).
    const std::string& Comment() const { return state_.comment; }
    void Comment(std::string_view Value);

    // Writes the sampled picture as a JFIF file, assembled straight into it.
    // 0 = written, 1 = empty name, 2 = a file of that name exists (it is left
    // untouched). May be called again (another name): the coefficients stay.
    std::int32_t SaveFile(const std::string& FileName);

    // The file SaveFile would write, assembled in memory.
    std::vector<std::uint8_t> EncodeToMemory();

    // Threads for sampling, statistics and coding; 0 = one per core. The
    // bytes written never depend on it.
    void SetThreadCount(int threads) { threads_ = threads; }

    // Whether sampling may use the processor's vector instructions where it
    // has them (the default). The bytes written never depend on it either.
    void UseVectorInstructions(bool allowed) { vector_ = allowed; }

    const jpeg::EncoderState& State() const { return state_; }

  private:
    int Threads() const;
    std::int32_t Sample(const jpeg::PixelRows& source, std::int32_t lWidth, std::int32_t lHeight,
                        std::int32_t lSrcLeft, std::int32_t lSrcTop);
    std::int32_t SampleDc(const gdi::Session& from, gdi::HDC lHDC, std::int32_t lWidth, std::int32_t lHeight,
                          std::int32_t lSrcLeft, std::int32_t lSrcTop);
    jpeg::ByteArray Assemble();
    bool Assemble(const jpeg::ByteSink& sink);

    jpeg::EncoderState state_;
    // The 24-bit strips sampling reads the picture into, one per thread.
    std::vector<std::vector<std::uint8_t>> strips_;
    std::int32_t quality_ = 0;
    int threads_ = 0;
    bool vector_ = true;
};
