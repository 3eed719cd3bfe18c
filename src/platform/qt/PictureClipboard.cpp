#include "platform/qt/PictureClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QThreadPool>
#include <limits>
#include <memory>
#include <mutex>
#include <new>
#include <span>
#include <utility>

#include "imaging/BmpWriter.h"
#include "imaging/PngWriter.h"
#include "platform/qt/LargeImage.h"

namespace platform {

namespace {

const QString kPng = QStringLiteral("image/png");
const QString kBmp = QStringLiteral("image/bmp");

QImage AsRgb32(const QImage& picture) {
    return picture.format() == QImage::Format_RGB32 ? picture : picture.convertToFormat(QImage::Format_RGB32);
}

// Successive pictures (the undo snapshots of one stroke after another)
// mostly differ in a few bands: those alone are compressed again. The cache
// holds the last picture's pixels so that they cannot change. Writes ahead run
// on a pool thread; the mutex is held for a whole write.
struct PngCache {
    std::mutex mutex;
    QImage picture;
    imaging::PngBandCache bands;
    std::uint64_t wanted = 0;  // the latest write ahead asked for
};

PngCache& ThePngCache() {
    static PngCache cache;
    return cache;
}

// Writes the picture through the cache; the caller holds the mutex. Returns
// the picture compared against before, now not needed any more.
QImage EncodeThroughCache(PngCache& cache, const QImage& rgb, std::vector<std::uint8_t>& png) {
    const imaging::Rgb32View view{rgb.constBits(), rgb.width(), rgb.height(), rgb.bytesPerLine()};
    png = imaging::EncodePng(view, &cache.bands);
    return std::exchange(cache.picture, png.empty() ? QImage() : rgb);
}

}  // namespace

QByteArray EncodeClipboardPng(const QImage& picture) {
    const QImage rgb = AsRgb32(picture);
    std::vector<std::uint8_t> png;
    QImage replaced;
    {
        PngCache& cache = ThePngCache();
        const std::lock_guard lock(cache.mutex);
        replaced = EncodeThroughCache(cache, rgb, png);
    }
    // The picture compared against last time can take the canvas's next copy.
    KeepForReuse(std::move(replaced));
    return QByteArray(reinterpret_cast<const char*>(png.data()), static_cast<qsizetype>(png.size()));
}

void PreparePngAhead(const QImage& picture) {
    if (picture.isNull()) return;
    PngCache& cache = ThePngCache();
    std::uint64_t ticket = 0;
    {
        const std::lock_guard lock(cache.mutex);
        ticket = ++cache.wanted;
    }
    QThreadPool::globalInstance()->start([picture, ticket] {
        PngCache& cache = ThePngCache();
        const std::lock_guard lock(cache.mutex);
        if (ticket != cache.wanted) return;  // a newer picture came since
        std::vector<std::uint8_t> png;
        // The picture replaced here is let go on this thread; only the
        // editor's own thread hands memory on for reuse.
        (void)EncodeThroughCache(cache, AsRgb32(picture), png);
    });
}

QByteArray EncodeClipboardBmp(const QImage& picture) {
    // The same 24-bit bitmap as a saved file, written straight into one
    // buffer of its final size.
    const QImage rgb = AsRgb32(picture);
    const std::uint64_t bytes = imaging::Bmp24FileBytes(rgb.width(), rgb.height());
    if (bytes == 0 || bytes > static_cast<std::uint64_t>(std::numeric_limits<qsizetype>::max())) return {};
    try {
        QByteArray bmp(static_cast<qsizetype>(bytes), Qt::Uninitialized);
        const imaging::Rgb32View view{rgb.constBits(), rgb.width(), rgb.height(), rgb.bytesPerLine()};
        const std::span<std::uint8_t> out{reinterpret_cast<std::uint8_t*>(bmp.data()),
                                          static_cast<std::size_t>(bmp.size())};
        return imaging::PutBmp24File(view, out) ? bmp : QByteArray();
    } catch (const std::bad_alloc&) {
        return {};
    }
}

PictureMimeData::PictureMimeData(QImage picture, ClipboardUse use)
    : picture_(std::move(picture)), use_(use) {}

QStringList PictureMimeData::formats() const {
    // Only these two: Qt's own image type would make the X11 clipboard offer
    // some twenty formats, and clipboard managers fetch every one of them.
    return {kPng, kBmp};
}

bool PictureMimeData::hasFormat(const QString& mimeType) const {
    // In this program the picture also reads as a QImage (hasImage()); it is
    // not listed among the formats, so other programs never see Qt's type.
    return mimeType == kPng || mimeType == kBmp || mimeType == QLatin1String("application/x-qt-image");
}

QVariant PictureMimeData::retrieveData(const QString& mimeType, QMetaType type) const {
    if (type.id() == QMetaType::QImage) return picture_;
    QByteArray* cache = mimeType == kPng ? &png_ : mimeType == kBmp ? &bmp_ : nullptr;
    if (cache == nullptr) return {};
    if (cache->isEmpty()) {
        *cache = mimeType == kPng ? EncodeClipboardPng(picture_) : EncodeClipboardBmp(picture_);
        ++encodings_;
    }
    return *cache;
}

void PutPictureOnClipboard(const QImage& picture, ClipboardUse use) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr || picture.isNull()) return;
    auto data = std::make_unique<PictureMimeData>(picture, use);
    clipboard->setMimeData(data.release());  // the clipboard takes ownership
}

const PictureMimeData* OwnClipboardPicture() {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) return nullptr;
    // The platform hands back foreign data through an object of its own, so
    // this is non-null only while the clipboard holds this program's picture.
    return qobject_cast<const PictureMimeData*>(clipboard->mimeData());
}

}  // namespace platform
