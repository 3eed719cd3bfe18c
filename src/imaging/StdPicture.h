// The picture object handed to cImage::CopyStdPicture: the owner of one
// bitmap of the raster layer (its handle is the picture's default property).
#pragma once

#include "raster/GdiHandles.h"

struct StdPicture {
    gdi::UniqueBitmap bitmap;

    StdPicture() = default;
    explicit StdPicture(gdi::HBITMAP handle) : bitmap(handle) {}

    gdi::HBITMAP Handle() const { return bitmap.get(); }
    bool Empty() const { return !bitmap; }
};
