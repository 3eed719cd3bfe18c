// cImage: the derived images (grey, resized, mirrored, turned copies).
#include "imaging/cImage.h"

std::unique_ptr<cImage> cImage::MakeLike(std::int32_t lWidth, std::int32_t lHeight) const {
    auto image = std::make_unique<cImage>();
    image->Create(lWidth, lHeight, BitCount());
    if (BitCount() != 24) image->CopyPalletHDC(session_, hDC_);
    return image;
}

void cImage::FillFrom(cImage& target, const gdi::POINT (&points)[3]) const {
    gdi::PlgBlt(target.Handles(), target.hDC(), points, session_, hDC_, 0, 0, Width(), Height(), 0, 0, 0);
}

std::unique_ptr<cImage> cImage::Greyscale() const {
    auto image = std::make_unique<cImage>();
    image->Create(Width(), Height(), 8);  // comes with the 256-level grey table
    gdi::BitBlt(image->Handles(), image->hDC(), 0, 0, Width(), Height(), session_, hDC_, 0, 0, gdi::SRCCOPY);
    return image;
}

std::unique_ptr<cImage> cImage::Resample(std::int32_t lWidth, std::int32_t lHeight) const {
    auto image = MakeLike(lWidth, lHeight);
    if (lWidth == Width() && lHeight == Height()) {
        gdi::BitBlt(image->Handles(), image->hDC(), 0, 0, Width(), Height(), session_, hDC_, 0, 0,
                    gdi::SRCCOPY);
    } else {
        if (gdi::SetStretchBltMode(image->Handles(), image->hDC(), gdi::HALFTONE) == 0) {
            gdi::SetStretchBltMode(image->Handles(), image->hDC(), gdi::COLORONCOLOR);
        }
        gdi::StretchBlt(image->Handles(), image->hDC(), 0, 0, lWidth, lHeight, session_, hDC_, 0, 0, Width(),
                        Height(), gdi::SRCCOPY);
    }
    return image;
}

std::unique_ptr<cImage> cImage::Mirror(bool Vertical) const {
    const std::int32_t w = Width(), h = Height();
    auto image = MakeLike(w, h);
    // Where the upper-left, upper-right and lower-left corners land.
    if (Vertical) {
        FillFrom(*image, {{0, h}, {w, h}, {0, 0}});  // top and bottom exchanged
    } else {
        FillFrom(*image, {{w, 0}, {0, 0}, {w, h}});  // left and right exchanged
    }
    return image;
}

std::unique_ptr<cImage> cImage::Rotate(std::int32_t Degrees) const {
    std::int32_t d = Degrees % 360;
    if (d < 0) d += 360;
    const std::int32_t w = Width(), h = Height();
    std::unique_ptr<cImage> image;
    switch (d) {
        case 90:  // a quarter turn counter-clockwise
            image = MakeLike(h, w);
            FillFrom(*image, {{0, w}, {0, 0}, {h, w}});
            break;
        case 180:
            image = MakeLike(w, h);
            FillFrom(*image, {{w, h}, {0, h}, {w, 0}});
            break;
        case 270:  // a quarter turn clockwise
            image = MakeLike(h, w);
            FillFrom(*image, {{h, 0}, {h, w}, {0, 0}});
            break;
        default:
            break;
    }
    return image;
}
