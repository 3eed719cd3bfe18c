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
    // A large bitmap (the save command's own temp.bmp) is decoded into memory
    // in huge pages: the bitmap reader fills an image of the size and format
    // it announced instead of allocating one of its own.
    QImage picture;
    if (size.isValid() && reader.format() == "bmp")
        picture = platform::NewLargeImage(size, reader.imageFormat());
    if (!reader.read(&picture) || picture.isNull()) return {};
    if (picture.width() > platform::kMaxPictureSide || picture.height() > platform::kMaxPictureSide)
        return {};
    return picture;
}
