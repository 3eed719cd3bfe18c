#include "platform/qt/PictureClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QThreadPool>
#include <atomic>
#include <limits>
#include <mutex>
#include <new>
#include <span>
#include <utility>

#include "imaging/BmpWriter.h"
#include "imaging/PngWriter.h"
#include "platform/qt/AnsweringWait.h"
#include "platform/qt/X11Clipboard.h"

namespace platform {

namespace {

const QString kPng = QStringLiteral("image/png");
const QString kBmp = QStringLiteral("image/bmp");
// Clipboard histories (Klipper, CopyQ from 7.1, the Wayland history tools)
// keep nothing that carries this mark with the value "secret".
const QString kNotForHistory = QStringLiteral("x-kde-passwordManagerHint");
// CopyQ before 7.1 ignores that mark; it keeps nothing whose own mark reads "1".
const QString kHiddenFromCopyQ = QStringLiteral("application/x-copyq-hidden");

QImage AsRgb32(const QImage& picture) {
    return picture.format() == QImage::Format_RGB32 ? picture : picture.convertToFormat(QImage::Format_RGB32);
}

class PlainImage : public PictureSource {
  public:
    explicit PlainImage(QImage image) : image_(AsRgb32(image)) {}
    int Width() const override { return image_.width(); }
    int Height() const override { return image_.height(); }
    void ReadRows(int first, int count, std::uint8_t* out, std::ptrdiff_t stride) const override {
        const imaging::Rgb32View view{image_.constBits(), image_.width(), image_.height(),
                                      image_.bytesPerLine()};
        imaging::ViewRows(view).ReadRows(first, count, out, stride);
    }
    QImage ToImage() const override { return image_; }

  private:
    QImage image_;
};

QByteArray ToByteArray(const std::vector<std::uint8_t>& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

QByteArray BmpOf(const imaging::RowSource& rows) {
    // The same 24-bit bitmap as a saved file, written straight into one
    // buffer of its final size.
    const std::uint64_t bytes = imaging::Bmp24FileBytes(rows.Width(), rows.Height());
    if (bytes == 0 || bytes > static_cast<std::uint64_t>(std::numeric_limits<qsizetype>::max())) return {};
    try {
        QByteArray bmp(static_cast<qsizetype>(bytes), Qt::Uninitialized);
        const std::span<std::uint8_t> out{reinterpret_cast<std::uint8_t*>(bmp.data()),
                                          static_cast<std::size_t>(bmp.size())};
        return imaging::PutBmp24File(rows, out) ? bmp : QByteArray();
    } catch (const std::bad_alloc&) {
        return {};
    }
}

}  // namespace

// The writes of one editor's PNGs run one after another, each through the
// bands of the one before. `wanted` numbers the writes ahead, so a newer one
// takes over from one that has not started yet.
struct PngWriterCache {
    std::mutex mutex;
    imaging::PngBandCache bands;
    std::atomic<std::uint64_t> wanted{0};
};

std::shared_ptr<const PictureSource> ImageSource(QImage image) {
    return std::make_shared<PlainImage>(std::move(image));
}

// One format's encoding: the pool job fills `bytes` and sets `done`; the
// mime data's destruction sets `cancelled`, which stops a job that nobody
// waits for any more.
struct PictureMimeData::Encoding {
    std::atomic<bool> done{false};
    std::atomic<bool> cancelled{false};
    QByteArray bytes;
};

PictureMimeData::PictureMimeData(std::shared_ptr<const PictureSource> picture, ClipboardUse use,
                                 std::shared_ptr<PngWriterCache> cache, std::function<void()> pause)
    : picture_(std::move(picture)), use_(use), cache_(std::move(cache)), pause_(std::move(pause)) {}

PictureMimeData::~PictureMimeData() {
    for (const auto& encoding : {png_, bmp_}) {
        if (encoding) encoding->cancelled.store(true);
    }
}

QImage PictureMimeData::Picture() const {
    return picture_ ? picture_->ToImage() : QImage();
}

int PictureMimeData::Encodings() const {
    return (png_ ? 1 : 0) + (bmp_ ? 1 : 0);
}

std::shared_ptr<PictureMimeData::Encoding> PictureMimeData::Start(bool png) const {
    std::shared_ptr<Encoding>& slot = png ? png_ : bmp_;
    if (slot) return slot;
    slot = std::make_shared<Encoding>();
    auto job = [encoding = slot, picture = picture_, cache = cache_, pause = pause_, png] {
        if (pause) pause();
        if (picture) {
            if (!png) {
                encoding->bytes = BmpOf(*picture);
            } else if (cache) {
                const std::lock_guard lock(cache->mutex);
                encoding->bytes =
                    ToByteArray(imaging::EncodePng(*picture, &cache->bands, &encoding->cancelled));
            } else {
                encoding->bytes = ToByteArray(imaging::EncodePng(*picture, nullptr, &encoding->cancelled));
            }
        }
        encoding->done.store(true);
        WakeAnsweringWait();
    };
    QThreadPool::globalInstance()->start(std::move(job));
    return slot;
}

void PictureMimeData::EncodePngAhead() const {
    (void)Start(true);
}

QStringList PictureMimeData::formats() const {
    // Only these two: Qt's own image type would make the X11 clipboard offer
    // some twenty formats, and clipboard managers fetch every one of them.
    // An undo snapshot, which every press puts there, is marked to stay out
    // of clipboard histories; a picture the user copies goes in.
    if (use_ == ClipboardUse::UndoSnapshot) return {kPng, kBmp, kNotForHistory, kHiddenFromCopyQ};
    return {kPng, kBmp};
}

bool PictureMimeData::hasFormat(const QString& mimeType) const {
    // In this program the picture also reads as a QImage (hasImage()); it is
    // not listed among the formats, so other programs never see Qt's type.
    if (mimeType == kNotForHistory || mimeType == kHiddenFromCopyQ) return use_ == ClipboardUse::UndoSnapshot;
    return mimeType == kPng || mimeType == kBmp || mimeType == QLatin1String("application/x-qt-image");
}

QVariant PictureMimeData::retrieveData(const QString& mimeType, QMetaType type) const {
    if (type.id() == QMetaType::QImage) return Picture();
    if (use_ == ClipboardUse::UndoSnapshot) {
        if (mimeType == kNotForHistory) return QByteArray("secret");
        if (mimeType == kHiddenFromCopyQ) return QByteArray("1");
    }
    if (mimeType != kPng && mimeType != kBmp) return {};
    // Qt reads this object again once the bytes are returned, so it must not
    // be freed by the events that run while the encoding is waited for:
    // another program taking the clipboard meanwhile is handled after the
    // answer. The encoding is held here all the same.
    const SelectionLossHeld hold;
    const std::shared_ptr<Encoding> encoding = Start(mimeType == kPng);
    WaitAnswering(encoding->done);
    return encoding->bytes;
}

ClipboardPublisher::ClipboardPublisher() : cache_(std::make_shared<PngWriterCache>()) {}

void ClipboardPublisher::Put(std::shared_ptr<const PictureSource> picture, ClipboardUse use) const {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr || !picture || picture->Width() <= 0 || picture->Height() <= 0) return;
    auto data = std::make_unique<PictureMimeData>(std::move(picture), use, cache_, pauseEncoding_);
    if (ClipboardManagerRunning()) data->EncodePngAhead();
    clipboard->setMimeData(data.release());  // the clipboard takes ownership
}

void ClipboardPublisher::PreparePngAhead(std::shared_ptr<const PictureSource> picture) const {
    if (!picture) return;
    const std::uint64_t ticket = ++cache_->wanted;
    QThreadPool::globalInstance()->start([picture = std::move(picture), cache = cache_, ticket] {
        const std::lock_guard lock(cache->mutex);
        if (ticket != cache->wanted.load()) return;  // a newer picture came since
        (void)imaging::EncodePng(*picture, &cache->bands);
    });
}

void PutPictureOnClipboard(const QImage& picture, ClipboardUse use) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr || picture.isNull()) return;
    auto data = std::make_unique<PictureMimeData>(ImageSource(picture), use);
    clipboard->setMimeData(data.release());  // the clipboard takes ownership
}

const PictureMimeData* OwnClipboardPicture() {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) return nullptr;
    // The platform hands back foreign data through an object of its own, so
    // this is non-null only while the clipboard holds this program's picture.
    return qobject_cast<const PictureMimeData*>(clipboard->mimeData());
}

QByteArray EncodeClipboardPng(const QImage& picture) {
    const PlainImage source(picture);
    return ToByteArray(imaging::EncodePng(source));
}

QByteArray EncodeClipboardBmp(const QImage& picture) {
    const PlainImage source(picture);
    return BmpOf(source);
}

}  // namespace platform
