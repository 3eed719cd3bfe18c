#include "canvas/CanvasVersion.h"

#include <algorithm>
#include <cstring>

namespace canvas {

namespace {

constexpr std::size_t kTilePixels = std::size_t{kTileSize} * kTileSize;

int TilesFor(int pixels) {
    return (std::max(pixels, 0) + kTileSize - 1) / kTileSize;
}

}  // namespace

CanvasVersion::CanvasVersion(std::shared_ptr<detail::PixelBlock> block, QSize size)
    : block_(std::move(block)),
      size_(size),
      tilesX_(TilesFor(size.width())),
      tilesY_(TilesFor(size.height())),
      kept_(static_cast<std::size_t>(tilesX_) * static_cast<std::size_t>(tilesY_)) {}

Version CanvasVersion::Of(QImage image) {
    if (image.format() != QImage::Format_RGB32) image = image.convertToFormat(QImage::Format_RGB32);
    auto block = std::make_shared<detail::PixelBlock>();
    const QSize size = image.size();
    block->image = std::move(image);
    return std::make_shared<const CanvasVersion>(std::move(block), size);
}

namespace detail {

TileCopies::TileCopies(const QImage& image, const QRect& area)
    : image_(image),
      tx0_(area.left() / kTileSize),
      ty0_(area.top() / kTileSize),
      columns_(area.isEmpty() ? 0 : area.right() / kTileSize - tx0_ + 1),
      rows_(area.isEmpty() ? 0 : area.bottom() / kTileSize - ty0_ + 1) {}

Tile TileCopies::Get(int tx, int ty) {
    if (made_.empty()) made_.resize(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_));
    Tile& tile = made_[static_cast<std::size_t>(ty - ty0_) * static_cast<std::size_t>(columns_) +
                       static_cast<std::size_t>(tx - tx0_)];
    if (tile) return tile;
    auto pixels = std::make_shared_for_overwrite<std::uint32_t[]>(kTilePixels);
    const QRect cell = QRect(tx * kTileSize, ty * kTileSize, kTileSize, kTileSize) & image_.rect();
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
        std::memcpy(&pixels[static_cast<std::size_t>(y - cell.top()) * kTileSize],
                    image_.constScanLine(y) + std::ptrdiff_t{4} * cell.left(),
                    std::size_t{4} * static_cast<std::size_t>(cell.width()));
    }
    tile = std::move(pixels);
    return tile;
}

}  // namespace detail

void CanvasVersion::KeepTiles(const QRect& area, detail::TileCopies& copies) {
    const QRect inside = area & QRect(QPoint(0, 0), size_) & block_->image.rect();
    if (inside.isEmpty()) return;
    for (int ty = inside.top() / kTileSize; ty <= inside.bottom() / kTileSize; ++ty) {
        for (int tx = inside.left() / kTileSize; tx <= inside.right() / kTileSize; ++tx) {
            auto& tile = kept_[static_cast<std::size_t>(TileIndex(tx, ty))];
            if (tile) continue;
            tile = copies.Get(tx, ty);
            ++keptCount_;
        }
    }
}

void CanvasVersion::ReadLocked(int first, int count, std::uint8_t* out, std::ptrdiff_t stride) const {
    const QImage& image = block_->image;
    const int width = size_.width();
    // The block is as large as the version (or larger, for a block that grew).
    const int fromImage = std::min(width, image.width());
    for (int r = 0; r < count; ++r) {
        const int y = first + r;
        auto* row = reinterpret_cast<std::uint32_t*>(out + stride * r);
        if (y < image.height()) {
            std::memcpy(row, image.constScanLine(y), std::size_t{4} * static_cast<std::size_t>(fromImage));
        }
        if (keptCount_ == 0) continue;
        const int ty = y / kTileSize;
        const int inTile = y - ty * kTileSize;
        for (int tx = 0; tx < tilesX_; ++tx) {
            const auto& tile = kept_[static_cast<std::size_t>(TileIndex(tx, ty))];
            if (!tile) continue;
            const int x = tx * kTileSize;
            const int n = std::min(kTileSize, width - x);
            std::memcpy(row + x, &tile[static_cast<std::size_t>(inTile) * kTileSize],
                        std::size_t{4} * static_cast<std::size_t>(n));
        }
    }
}

void CanvasVersion::ReadRows(int first, int count, std::uint8_t* out, std::ptrdiff_t stride) const {
    const std::lock_guard lock(block_->mutex);
    ReadLocked(first, count, out, stride);
}

QImage CanvasVersion::ToImage() const {
    const std::lock_guard lock(block_->mutex);
    if (keptCount_ == 0 && block_->image.size() == size_) return block_->image;
    QImage whole(size_, QImage::Format_RGB32);
    if (whole.isNull()) return whole;
    whole.setDotsPerMeterX(block_->image.dotsPerMeterX());
    whole.setDotsPerMeterY(block_->image.dotsPerMeterY());
    ReadLocked(0, size_.height(), whole.bits(), whole.bytesPerLine());
    return whole;
}

QImage CanvasVersion::Copy(const QRect& area) const {
    const QRect inside = area & QRect(QPoint(0, 0), size_);
    if (inside.isEmpty()) return {};
    QImage part(inside.size(), QImage::Format_RGB32);
    if (part.isNull()) return part;
    const std::lock_guard lock(block_->mutex);
    const QImage& image = block_->image;
    const QRect fromImage = inside & image.rect();
    for (int y = fromImage.top(); y <= fromImage.bottom(); ++y) {
        std::memcpy(part.scanLine(y - inside.top()),
                    image.constScanLine(y) + std::ptrdiff_t{4} * inside.left(),
                    std::size_t{4} * static_cast<std::size_t>(fromImage.width()));
    }
    if (keptCount_ == 0) return part;
    for (int ty = inside.top() / kTileSize; ty <= inside.bottom() / kTileSize; ++ty) {
        for (int tx = inside.left() / kTileSize; tx <= inside.right() / kTileSize; ++tx) {
            const auto& tile = kept_[static_cast<std::size_t>(TileIndex(tx, ty))];
            if (!tile) continue;
            const QRect cell = QRect(tx * kTileSize, ty * kTileSize, kTileSize, kTileSize) & inside;
            for (int y = cell.top(); y <= cell.bottom(); ++y) {
                const std::size_t at = static_cast<std::size_t>(y - ty * kTileSize) * kTileSize +
                                       static_cast<std::size_t>(cell.left() - tx * kTileSize);
                std::memcpy(
                    part.scanLine(y - inside.top()) + std::ptrdiff_t{4} * (cell.left() - inside.left()),
                    &tile[at], std::size_t{4} * static_cast<std::size_t>(cell.width()));
            }
        }
    }
    return part;
}

bool CanvasVersion::OverwrittenIn(const QRect& area) const {
    const QRect inside = area & QRect(QPoint(0, 0), size_);
    if (inside.isEmpty()) return false;
    const std::lock_guard lock(block_->mutex);
    if (keptCount_ == 0) return false;
    for (int ty = inside.top() / kTileSize; ty <= inside.bottom() / kTileSize; ++ty) {
        for (int tx = inside.left() / kTileSize; tx <= inside.right() / kTileSize; ++tx) {
            if (kept_[static_cast<std::size_t>(TileIndex(tx, ty))]) return true;
        }
    }
    return false;
}

}  // namespace canvas
