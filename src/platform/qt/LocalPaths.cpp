#include "platform/qt/LocalPaths.h"

#include <QByteArray>
#include <QFile>

namespace platform {

std::optional<QString> PathFromLocalBytes(QByteArrayView bytes) {
    const QByteArray raw = bytes.toByteArray();
    QString path = QFile::decodeName(raw);
    if (QFile::encodeName(path) != raw) return std::nullopt;
    return path;
}

std::optional<QString> LocalFileOfUrl(const QUrl& url) {
    if (!url.isLocalFile()) return std::nullopt;
    // The path's bytes as the URL carries them, before Qt decodes them as
    // UTF-8 (which puts U+FFFD for bytes that are not).
    const QByteArray bytes = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    if (!PathFromLocalBytes(bytes)) return std::nullopt;
    return url.toLocalFile();
}

}  // namespace platform
