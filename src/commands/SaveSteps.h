// The steps of the save command that do not need the editor window: finding
// a free file name and turning the canvas image into a JPEG file.
#pragma once

#include <QImage>
#include <QString>
#include <optional>

namespace commands {

// Counter suffixes tried after the plain name: _01 .. _99.
inline constexpr int kMaxNameCounter = 99;

// True when anything exists under `path`: a file (also one that cannot be
// opened for reading), a folder or a symbolic link, even a dangling one.
bool IsNameTaken(const QString& path);

// The base path (without extension) the save writes to: folder + name when
// neither name.jpg nor name.bmp is taken, else folder + name + "_NN" with the
// smallest free NN from 01 to 99. Empty when all of them are taken.
std::optional<QString> FindFreeBaseName(const QString& folder, const QString& name);

// Milliseconds spent in each stage of a JPEG save (for the benchmark).
struct SaveStageTimes {
    double bitmapWrite = 0;  // canvas image -> intermediate bitmap file
    double reload = 0;       // bitmap file -> picture (through the picture loader)
    double copy = 0;         // picture -> cImage
    double sample = 0;       // cImage device context -> encoder coefficients
    double encode = 0;       // coefficients -> JPEG bytes
    double write = 0;        // JPEG bytes -> file
};

// Copies `picture` into a 24-bit cImage (the pixels a 24-bit bitmap file of
// it holds), encodes it with cJpeg at `quality` and writes `jpegPath` (never
// replacing an existing file). True when the JPEG file was written
// completely; on failure no JPEG file is left.
bool WriteJpegFromPicture(const QImage& picture, const QString& jpegPath, int quality,
                          SaveStageTimes* times = nullptr);

// The same for a bitmap file, reloaded through the picture loader. The
// bitmap is not deleted here.
bool WriteJpegFromBitmap(const QString& bitmapPath, const QString& jpegPath, int quality,
                         SaveStageTimes* times = nullptr);

}  // namespace commands
