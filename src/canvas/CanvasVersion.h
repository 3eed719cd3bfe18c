// The canvas's pixels at one moment: the assigned picture, the reference
// picture the eraser puts back, an undo snapshot on the clipboard. Taking a
// version copies nothing. While the canvas draws on, each version keeps the
// tiles that a drawing is about to overwrite (a copy of each tile on its first
// write since the version was taken) and reads everything else from the
// canvas itself; a version of a canvas that was given a new picture keeps the
// old pixels alive instead. So a press costs what its stroke touches, and a
// whole picture exists only when somebody asks for one (ToImage).
//
// Versions may be read from any thread (the clipboard's encoders read them in
// rows while the canvas draws on); only the canvas writes, on its own thread.
#pragma once

#include <QImage>
#include <QRect>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/qt/PictureClipboard.h"

namespace canvas {

class CanvasVersion;

// Tiles of 64 x 64 pixels: a stroke touches few of them, and each is copied
// in a few dozen cache lines.
inline constexpr int kTileSize = 64;

namespace detail {

// One block of canvas pixels and the versions that read from it. The canvas
// writes into `image` while the block is its current one.
struct PixelBlock {
    std::mutex mutex;
    QImage image;
    std::vector<std::weak_ptr<CanvasVersion>> versions;
};

using Tile = std::shared_ptr<const std::uint32_t[]>;

// The tile copies made for one write, shared by every version that needs
// one: the versions that hold no copy of a tile all show the canvas's own
// pixels there, so one copy serves them all (an undo snapshot and the
// eraser's reference picture taken with nothing drawn between them cost one
// copy, not two).
class TileCopies {
  public:
    TileCopies(const QImage& image, const QRect& area);
    // The copy of tile (tx, ty), made on first request; (tx, ty) lies in the area.
    Tile Get(int tx, int ty);

  private:
    const QImage& image_;
    int tx0_, ty0_, columns_, rows_;
    std::vector<Tile> made_;
};

}  // namespace detail

class CanvasVersion : public platform::PictureSource {
  public:
    // A version that is just this image (nothing draws on it).
    static std::shared_ptr<const CanvasVersion> Of(QImage image);

    CanvasVersion(std::shared_ptr<detail::PixelBlock> block, QSize size);
    CanvasVersion(const CanvasVersion&) = delete;
    CanvasVersion& operator=(const CanvasVersion&) = delete;

    QSize Size() const { return size_; }
    int Width() const override { return size_.width(); }
    int Height() const override { return size_.height(); }
    void ReadRows(int first, int count, std::uint8_t* out, std::ptrdiff_t stride) const override;
    // The whole picture as an image of its own. While nothing was drawn over
    // the version, it is the canvas's own block shared (no copy); drawing then
    // copies it for the canvas, so hold such an image briefly.
    QImage ToImage() const override;
    // The pixels of `area` (clipped to the version) as an image of its own.
    QImage Copy(const QRect& area) const;
    // Whether the pixels of `area` may differ from the canvas's block (a
    // drawing went over them since the version was taken).
    bool OverwrittenIn(const QRect& area) const;

  private:
    friend class CanvasSurface;

    int TileIndex(int tx, int ty) const { return ty * tilesX_ + tx; }
    // Under the block's lock: keeps the canvas's pixels of the tiles in
    // `area` that the version does not hold yet.
    void KeepTiles(const QRect& area, detail::TileCopies& copies);
    // Under the block's lock: the rows into out, tiles kept laid over.
    void ReadLocked(int first, int count, std::uint8_t* out, std::ptrdiff_t stride) const;

    std::shared_ptr<detail::PixelBlock> block_;
    QSize size_;
    int tilesX_ = 0;
    int tilesY_ = 0;
    std::vector<detail::Tile> kept_;  // kTileSize * kTileSize pixels, or null
    int keptCount_ = 0;
};

using Version = std::shared_ptr<const CanvasVersion>;

}  // namespace canvas
