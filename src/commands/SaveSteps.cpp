#include "commands/SaveSteps.h"

#include <QFile>
#include <filesystem>
#include <system_error>

#include "commands/AtomicFile.h"

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

bool WriteJpegFromBitmap(const QString& /*bitmapPath*/, const QString& /*jpegPath*/, int /*quality*/,
                         SaveStageTimes* /*times*/) {
    return false;  // the encoder path is added with the image class
}

}  // namespace commands
