// Picture objects from QImages: the way a loaded or reloaded picture reaches
// cImage::CopyStdPicture at a depth it accepts.
#pragma once

#include <QImage>

#include "imaging/StdPicture.h"

// A 24-bit bottom-up DIB section with the image's pixels (alpha dropped, as
// a bitmap file would). An empty picture for a null image or one too large
// for a DIB section.
StdPicture MakeStdPicture(const QImage& image);
