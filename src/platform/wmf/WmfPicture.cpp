#include "platform/wmf/WmfPicture.h"

#include <QFile>
#include <algorithm>
#include <cmath>

#include "platform/wmf/WmfPlayer.h"
#include "platform/wmf/WmfReader.h"
#include "platform/wmf/WmfRecordTypes.h"

namespace wmf {
namespace {

constexpr double kScreenDpi = 96.0;
constexpr qint64 kMaxFileBytes = qint64{256} << 20;

struct Frame {
    QSize size;     // image pixels
    QRectF window;  // logical rectangle the image shows at the start
};

std::optional<Frame> PictureFrame(const Metafile& mf) {
    if (mf.placeable) {
        const PlaceableHeader& p = *mf.placeable;
        if (p.unitsPerInch == 0) return std::nullopt;
        const double w = std::abs(static_cast<double>(p.right) - p.left);
        const double h = std::abs(static_cast<double>(p.bottom) - p.top);
        if (w == 0 || h == 0) return std::nullopt;
        const auto pixels = [&](double units) {
            return std::max(1, static_cast<int>(std::lround(units * kScreenDpi / p.unitsPerInch)));
        };
        return Frame{QSize(pixels(w), pixels(h)), QRectF(p.left, p.top, p.right - p.left, p.bottom - p.top)};
    }
    std::optional<Frame> frame;
    mf.ForEachRecord([&frame](const Record& r) {
        if (r.function != kSetWindowExt || !r.params.Has(2)) return true;
        const int w = r.params.S16(1);
        const int h = r.params.S16(0);
        if (w == 0 || h == 0) return true;
        frame = Frame{QSize(std::abs(w), std::abs(h)), QRectF(0, 0, w, h)};
        return false;
    });
    return frame;
}

}  // namespace

QImage RenderMetafile(std::span<const std::uint8_t> bytes, const RenderLimits& limits) {
    const auto mf = ParseMetafile(bytes);
    if (!mf) return {};
    const auto frame = PictureFrame(*mf);
    if (!frame) return {};
    const int w = frame->size.width();
    const int h = frame->size.height();
    const std::uint64_t pixels = static_cast<std::uint64_t>(w) * static_cast<std::uint64_t>(h);
    if (w > limits.maxSide || h > limits.maxSide || pixels * 4 > limits.maxImageBytes) return {};

    QImage image(w, h, QImage::Format_RGB32);
    if (image.isNull()) return {};
    image.fill(Qt::white);
    PlayLimits play;
    play.workBudget = std::clamp(pixels * limits.workPerPixel, limits.minWork, limits.maxWork);
    play.maxBitmapPixels = limits.maxBitmapPixels;
    Player player(image, mf->header.numberOfObjects, frame->window, mf->placeable.has_value(), play);
    if (!player.Play(*mf)) return {};
    return image;
}

std::optional<QImage> TryLoadWindowsMetafileFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray head = file.read(static_cast<qint64>(kMetaHeaderBytes));
    const std::span<const std::uint8_t> headBytes(reinterpret_cast<const std::uint8_t*>(head.constData()),
                                                  static_cast<std::size_t>(head.size()));
    if (!HasMetafileSignature(headBytes)) return std::nullopt;
    if (file.size() > kMaxFileBytes || !file.seek(0)) return QImage();
    const QByteArray all = file.readAll();
    return LoadWindowsMetafile(std::span<const std::uint8_t>(
        reinterpret_cast<const std::uint8_t*>(all.constData()), static_cast<std::size_t>(all.size())));
}

}  // namespace wmf

QImage LoadWindowsMetafile(std::span<const std::uint8_t> bytes) {
    return wmf::RenderMetafile(bytes, {});
}
