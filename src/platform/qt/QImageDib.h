// A QImage seen by the raster layer: its pixel memory as a top-down 32-bit
// DIB selected into a memory DC of its own, in the caller's session, without
// copying. The session must outlive the wrapper. Blits into
// hdc() change the image directly (the canvas shows them on its next paint).
//
// The image must be Format_RGB32 (another format is converted in place
// first), must not be reassigned or detached while the wrapper lives, and
// must outlive it. Pixels the layer writes keep 0xFF in their fourth byte.
// A read-only view must never be a blit target.
#pragma once

#include <QImage>

#include "raster/GdiHandles.h"

class QImageDib {
  public:
    QImageDib(gdi::Session& session, QImage& image);
    // A view only to read from (a blit source): the pixels are not made the
    // image's own, so an image sharing them with others is not copied. An
    // image not in Format_RGB32 gives no DC.
    struct ReadOnly {};
    QImageDib(gdi::Session& session, const QImage& image, ReadOnly);
    ~QImageDib();
    QImageDib(const QImageDib&) = delete;
    QImageDib& operator=(const QImageDib&) = delete;

    // The memory DC, 0 for a null image.
    gdi::HDC hdc() const { return dc_.get(); }

  private:
    // Destroyed in reverse: previous bitmap back, bitmap deleted, DC deleted.
    gdi::Session& session_;
    gdi::UniqueDC dc_;
    gdi::UniqueBitmap bitmap_;
    gdi::HGDIOBJ previous_ = 0;
};
