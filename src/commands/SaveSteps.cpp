#include "commands/SaveSteps.h"

#include <QFile>
#include <QImage>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <system_error>

#include "imaging/Rgb32View.h"
#include "platform/qt/PictureLoader.h"

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

std::optional<QString> WriteUnderFreeName(QString base, const QString& folder, const QString& name,
                                          const QString& extension,
                                          const std::function<bool(const QString& path)>& write,
                                          bool* noNameLeft) {
    if (noNameLeft != nullptr) *noNameLeft = false;
    // Each round either writes or finds its name taken by someone else; the
    // names run out after the counter's last one.
    for (int round = 0; round <= kMaxNameCounter + 1; ++round) {
        if (write(base + extension)) return base;
        // A write that failed for another reason (a full disk, a folder that
        // cannot be written) leaves the name free.
        if (!IsNameTaken(base + extension)) return std::nullopt;
        std::optional<QString> next = FindFreeBaseName(folder, name);
        if (!next) break;
        base = std::move(*next);
    }
    if (noNameLeft != nullptr) *noNameLeft = true;
    return std::nullopt;
}

bool JpegSave::Copy(const QImage& picture) {
    if (picture.isNull()) return false;
    // Refer to the picture rather than copy it: a copy would share the
    // canvas's buffer, and the canvas's next stroke would then detach it.
    // Only a picture that is not RGB32 (never the canvas) is converted.
    converted_ = QImage();
    picture_ = &picture;
    if (picture.format() != QImage::Format_RGB32) {
        converted_ = picture.convertToFormat(QImage::Format_RGB32);
        picture_ = &converted_;
    }
    return !picture_->isNull();
}

bool JpegSave::Sample(int quality) {
    if (picture_ == nullptr) return false;
    encoder_.Quality(quality);
    const imaging::Rgb32View view{picture_->constBits(), picture_->width(), picture_->height(),
                                  static_cast<std::ptrdiff_t>(picture_->bytesPerLine())};
    const bool sampled = encoder_.SampleView(view) == 0;
    // The coefficients hold the picture now.
    picture_ = nullptr;
    converted_ = QImage();
    return sampled;
}

bool JpegSave::Write(const QString& jpegPath) {
    // SaveFile never replaces a file and leaves no half-written one.
    return encoder_.SaveFile(QFile::encodeName(jpegPath).toStdString()) == 0;
}

bool WriteJpegFromPicture(const QImage& picture, const QString& jpegPath, int quality) {
    try {
        JpegSave save;
        return save.Copy(picture) && save.Sample(quality) && save.Write(jpegPath);
    } catch (const std::exception&) {
        // Encoder errors (disk full, path not found, access denied) arrive
        // here; nothing is left behind.
        return false;
    }
}

bool WriteJpegFromBitmap(const QString& bitmapPath, const QString& jpegPath, int quality) {
    // The bitmap comes back through the one picture loader.
    const QImage reloaded = LoadPictureFile(bitmapPath);
    return !reloaded.isNull() && WriteJpegFromPicture(reloaded, jpegPath, quality);
}

}  // namespace commands
