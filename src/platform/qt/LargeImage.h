// Images whose pixel memory is mapped straight from the system in huge pages
// where the system offers them: a 4K picture's 33 MB are then first touched
// with a few dozen page faults instead of eight thousand.
#pragma once

#include <QImage>
#include <QSize>

namespace platform {

// Whether a large image asks the system for huge pages. They make the first
// touch of the memory several times faster when the system has them at hand,
// but where it must first compact memory to find them (a desktop that has run
// for a while) the first touch stalls for up to a hundred milliseconds and
// more: fine for opening a picture, not for a press under the pointer.
enum class LargePages { HugeWhereOffered, Ordinary };

// A size x format image. A large one lies on fresh zeroed memory of its
// own, released with the last copy of the image; small images, and systems
// without memory mappings, get an ordinary QImage (contents undefined). A
// null image when the memory cannot be had.
QImage NewLargeImage(QSize size, QImage::Format format, LargePages pages = LargePages::HugeWhereOffered);

}  // namespace platform
