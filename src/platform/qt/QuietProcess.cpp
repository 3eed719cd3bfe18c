#include "platform/qt/QuietProcess.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryFile>
#include <QtEndian>
#include <array>
#include <cstring>

#include "platform/qt/PictureLoader.h"

namespace platform {

namespace {

// The picture travels to the keeper in a private file: a magic word, width
// and height, then the rows of 32-bit pixels. Written and read with no
// conversion, the hand-over costs the editor's close little.
constexpr std::array<char, 8> kMagic{'K', 'O', 'R', 'V', 'K', 'E', 'E', 'P'};

bool WritePictureFile(QFile& file, const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    std::array<char, 16> header{};
    std::memcpy(header.data(), kMagic.data(), kMagic.size());
    qToLittleEndian<quint32>(static_cast<quint32>(rgb.width()), header.data() + 8);
    qToLittleEndian<quint32>(static_cast<quint32>(rgb.height()), header.data() + 12);
    if (file.write(header.data(), header.size()) != static_cast<qint64>(header.size())) return false;
    const qint64 rowBytes = qint64{rgb.width()} * 4;
    for (int y = 0; y < rgb.height(); ++y) {
        if (file.write(reinterpret_cast<const char*>(rgb.constScanLine(y)), rowBytes) != rowBytes)
            return false;
    }
    return file.flush();
}

QImage ReadPictureFile(QFile& file) {
    std::array<char, 16> header{};
    if (file.read(header.data(), header.size()) != static_cast<qint64>(header.size())) return {};
    if (std::memcmp(header.data(), kMagic.data(), kMagic.size()) != 0) return {};
    const quint32 width = qFromLittleEndian<quint32>(header.data() + 8);
    const quint32 height = qFromLittleEndian<quint32>(header.data() + 12);
    if (width == 0 || height == 0 || width > kMaxPictureSide || height > kMaxPictureSide) return {};
    if (!PictureSizeAllowed(QSize(static_cast<int>(width), static_cast<int>(height)))) return {};
    const qint64 rowBytes = qint64{width} * 4;
    if (file.size() != static_cast<qint64>(header.size()) + rowBytes * height) return {};
    QImage picture(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
    if (picture.isNull()) return {};
    for (int y = 0; y < picture.height(); ++y) {
        if (file.read(reinterpret_cast<char*>(picture.scanLine(y)), rowBytes) != rowBytes) return {};
    }
    return picture;
}

}  // namespace

qint64 StartDetachedQuietly(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    qint64 pid = 0;
    return process.startDetached(&pid) ? pid : 0;
}

KeeperStart StartKeeperWithPicture(const QString& program, const QString& argument, const QImage& picture,
                                   const QStringList& more) {
    if (picture.isNull()) return {};
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/korvel-annotarix-keep-XXXXXX"));
    file.setAutoRemove(false);  // the keeper removes it once read
    if (!file.open() || !WritePictureFile(file, picture)) {
        file.remove();
        return {};
    }
    file.close();
    const qint64 pid = StartDetachedQuietly(program, QStringList{argument, file.fileName()} + more);
    if (pid == 0) {
        file.remove();
        return {};
    }
    return {pid, file.fileName()};
}

QImage TakeKeeperPicture(const QString& file) {
    QFile pixels(file);
    const QImage picture = pixels.open(QIODevice::ReadOnly) ? ReadPictureFile(pixels) : QImage();
    pixels.remove();
    return picture;
}

}  // namespace platform
