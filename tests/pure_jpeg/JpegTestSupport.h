// Helpers of the encoder tests: a source picture in a memory DC, a decoder
// (libjpeg) for what the encoder wrote, and small byte-level readers.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "jpeg/cJpeg.h"
#include "raster/gdi.h"

namespace jpegtest {

struct Rgb {
    std::uint8_t r, g, b;
};

// A 24-bit DIB section selected into a memory DC of a session of its own,
// filled from a function of the pixel position (x, y from the top-left
// corner).
class SourcePicture {
  public:
    SourcePicture(int width, int height, const std::function<Rgb(int x, int y)>& pixel);
    ~SourcePicture();
    SourcePicture(const SourcePicture&) = delete;
    SourcePicture& operator=(const SourcePicture&) = delete;

    const gdi::Session& Handles() const { return session_; }
    gdi::HDC Dc() const { return dc_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    Rgb At(int x, int y) const;

  private:
    int width_, height_;
    gdi::Session session_;
    gdi::HDC dc_ = 0;
    gdi::HBITMAP bitmap_ = 0;
    gdi::HGDIOBJ previous_ = 0;
    std::uint8_t* bits_ = nullptr;
    std::size_t stride_ = 0;
};

// Encodes the whole picture with the encoder's current settings.
std::vector<std::uint8_t> Encode(cJpeg& encoder, const SourcePicture& picture);

struct Decoded {
    bool ok = false;
    std::string error;
    int width = 0, height = 0, components = 0;
    std::vector<std::uint8_t> pixels;  // top-down, `components` bytes per pixel (RGB or grey)
};
// Decodes with libjpeg (when the tests were built with it).
Decoded Decode(const std::vector<std::uint8_t>& file);
bool HaveDecoder();

// Peak signal-to-noise ratio of the decoded picture against the source, in dB.
double Psnr(const SourcePicture& source, const Decoded& decoded);

// Markers of the segments in file order, up to the first SOS (inclusive).
std::vector<std::uint8_t> SegmentMarkers(const std::vector<std::uint8_t>& file);
// Offset of the first occurrence of marker FF code, or -1.
long FindMarker(const std::vector<std::uint8_t>& file, std::uint8_t code);

std::vector<std::uint8_t> ReadFile(const std::string& path);
// A fresh empty folder for the test's files.
std::string TempFolder();

}  // namespace jpegtest
