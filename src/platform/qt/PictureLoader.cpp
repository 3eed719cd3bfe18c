#include "platform/qt/PictureLoader.h"

#include <QFileInfo>
#include <QImageReader>

#include "platform/qt/LargeImage.h"
#include "platform/wmf/WmfPicture.h"

QImage LoadPictureFile(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile() || !info.isReadable()) return {};
    // Qt reads no metafiles: those (told by their header) go to the program's own player.
    if (auto metafile = wmf::TryLoadWindowsMetafileFile(path)) return *metafile;

    QImageReader reader(path);
    reader.setAutoTransform(false);
    // Refuse what cannot be held: the reader checks its allocation against
    // this limit before decoding, and the size check catches a header that
    // promises more than the limits before any pixel memory is taken.
    reader.setAllocationLimit(static_cast<int>(platform::kMaxPictureBytes / (1024 * 1024)));
    if (!reader.canRead()) return {};
    const QSize size = reader.size();
    if (size.isValid()) {
        if (size.width() > platform::kMaxPictureSide || size.height() > platform::kMaxPictureSide) return {};
        if (qint64{size.width()} * size.height() * 4 > platform::kMaxPictureBytes) return {};
    }
    // A large picture is decoded into memory in huge pages: the bitmap, JPEG
    // and PNG readers fill an image of the size and format they announced
    // (for a screenshot, the canvas's own RGB32) instead of allocating one of
    // their own, so the decoded rows land where the canvas will show them.
    QImage picture;
    static const QList<QByteArray> kFillsGivenImage{"bmp", "jpeg", "png"};
    if (size.isValid() && kFillsGivenImage.contains(reader.format()))
        picture = platform::NewLargeImage(size, reader.imageFormat());
    if (!reader.read(&picture) || picture.isNull()) return {};
    if (picture.width() > platform::kMaxPictureSide || picture.height() > platform::kMaxPictureSide)
        return {};
    return picture;
}
