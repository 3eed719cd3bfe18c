#include "commands/SaveSteps.h"

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <algorithm>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <system_error>

#include "imaging/StdPicture.h"
#include "imaging/cImage.h"
#include "jpeg/cJpeg.h"
#include "platform/qt/PictureLoader.h"
#include "platform/qt/StdPictureFromQImage.h"

namespace commands {

bool IsNameTaken(const QString& path) {
    if (path.isEmpty()) return false;
    std::error_code error;
    const auto status = std::filesystem::symlink_status(QFile::encodeName(path).toStdString(), error);
    // A name that cannot be examined at all (missing folder, folder without
    // search permission) is not taken; writing there fails and is reported.
    if (error) return false;
    return status.type() != std::filesystem::file_type::not_found;
}

std::optional<QString> FindFreeBaseName(const QString& folder, const QString& name) {
    const auto isFree = [](const QString& base) {
        return !IsNameTaken(base + QStringLiteral(".jpg")) && !IsNameTaken(base + QStringLiteral(".bmp"));
    };
    QString base = folder + name;
    if (isFree(base)) return base;
    for (int n = 1; n <= kMaxNameCounter; ++n) {
        base = folder + name + QStringLiteral("_%1").arg(n, 2, 10, QLatin1Char('0'));
        if (isFree(base)) return base;
    }
    return std::nullopt;
}

bool WriteJpegFromBitmap(const QString& bitmapPath, const QString& jpegPath, int quality,
                         SaveStageTimes* times) {
    QElapsedTimer clock;
    clock.start();
    // The bitmap comes back through the one picture loader.
    const QImage reloaded = LoadPictureFile(bitmapPath);
    if (times != nullptr) times->reload = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    return !reloaded.isNull() && WriteJpegFromPicture(reloaded, jpegPath, quality, times);
}

bool WriteJpegFromPicture(const QImage& picture, const QString& jpegPath, int quality,
                          SaveStageTimes* times) {
    QElapsedTimer clock;
    clock.start();
    const auto lap = [&](double SaveStageTimes::*stage) {
        if (times != nullptr) times->*stage = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        clock.restart();
    };
    try {
        // The picture object is made at 24 bits, a depth cImage takes, with
        // the alpha channel dropped as a bitmap file would drop it.
        if (picture.isNull()) return false;
        StdPicture bitmap = MakeStdPicture(picture);
        if (bitmap.Empty()) return false;

        cImage image;
        std::int16_t bitCount = 0;  // keep the picture's own depth
        if (!image.CopyStdPicture(bitmap, bitCount)) return false;
        bitmap = StdPicture();  // no longer needed
        lap(&SaveStageTimes::copy);
        cJpeg encoder;
        encoder.Quality(quality);
        if (encoder.SampleHDC(image.hDC(), image.Width(), image.Height(), 0, 0) != 0) return false;
        lap(&SaveStageTimes::sample);

        const std::string target = QFile::encodeName(jpegPath).toStdString();
        if (times != nullptr) {
            // The file writer assembles the file in memory before writing it;
            // timing that assembly on its own splits encoding from writing.
            (void)encoder.EncodeToMemory();
            lap(&SaveStageTimes::encode);
        }
        // SaveFile never replaces a file and removes a half-written one.
        const bool written = encoder.SaveFile(target) == 0;
        if (times != nullptr)
            times->write = std::max(0.0, static_cast<double>(clock.nsecsElapsed()) / 1e6 - times->encode);
        return written;
    } catch (const std::exception&) {
        // Encoder errors (disk full, path not found, access denied) and
        // image errors arrive here; SaveFile leaves no partial file.
        return false;
    }
}

}  // namespace commands
