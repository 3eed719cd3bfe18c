// PlgBlt: copies a source rectangle onto the parallelogram given by where its
// upper-left, upper-right and lower-left corners land. The quarter turns and
// mirror images (each source pixel lands on exactly one destination pixel)
// are moved pixel for pixel; any other mapping samples the source pixel under
// the centre of each destination pixel.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <optional>
#include <vector>

#include "raster/Blit.h"

namespace gdi {
namespace {

using detail::Bitmap;
using std::int64_t;

// Unit-step mapping of a quarter turn or mirror: source offset (x, y) lands on
// dest = origin + (ax * x + bx * y, ay * x + by * y), with a, b in {-1, 0, 1}.
struct ExactMap {
    int64_t originX, originY;
    int ax, ay, bx, by;
};

int Sign(int64_t v) {
    return (v > 0) - (v < 0);
}

std::optional<ExactMap> FindExactMap(const POINT* p, int64_t w, int64_t h) {
    const int64_t ux = int64_t{p[1].x} - p[0].x, uy = int64_t{p[1].y} - p[0].y;
    const int64_t vx = int64_t{p[2].x} - p[0].x, vy = int64_t{p[2].y} - p[0].y;
    const bool uHorizontal = uy == 0 && std::abs(ux) == w, uVertical = ux == 0 && std::abs(uy) == w;
    const bool vHorizontal = vy == 0 && std::abs(vx) == h, vVertical = vx == 0 && std::abs(vy) == h;
    if (!((uHorizontal && vVertical) || (uVertical && vHorizontal))) return std::nullopt;
    ExactMap m{p[0].x, p[0].y, Sign(ux), Sign(uy), Sign(vx), Sign(vy)};
    // The centre of source pixel 0 lands half a pixel inside the corner: a
    // negative step puts pixel 0 on the row or column before the corner.
    if (m.ax + m.bx < 0) --m.originX;
    if (m.ay + m.by < 0) --m.originY;
    return m;
}

template <std::size_t kBytes>
void MoveTile(std::uint8_t* dRow, std::ptrdiff_t dPitch, const std::uint8_t* s, std::ptrdiff_t sStepX,
              std::ptrdiff_t sStepY, LONG w, LONG h) {
    for (LONG y = 0; y < h; ++y, dRow += dPitch, s += sStepY) {
        const std::uint8_t* sp = s;
        std::uint8_t* dp = dRow;
        for (LONG x = 0; x < w; ++x, dp += kBytes, sp += sStepX) std::memcpy(dp, sp, kBytes);
    }
}

// Copies the destination rectangle [x0, x1) x [y0, y1) whose source pixels
// are sx = sx0 + X*sxX + Y*sxY, sy = sy0 + X*syX + Y*syY (X, Y relative).
void CopyExact(Bitmap& dst, const Bitmap& src, int64_t x0, int64_t y0, int64_t x1, int64_t y1, int64_t sx0,
               int64_t sy0, int sxX, int syX, int sxY, int syY) {
    const LONG w = static_cast<LONG>(x1 - x0), h = static_cast<LONG>(y1 - y0);
    const bool sameFormat = src.bitCount == dst.bitCount && src.bitCount >= 8 &&
                            (!src.Indexed() || detail::SameColourTable(src, dst)) &&
                            (src.bitCount != 32 || src.unusedByte == dst.unusedByte);
    if (sameFormat) {
        const std::ptrdiff_t bpp = src.bitCount / 8;
        const std::ptrdiff_t stepX = sxX * bpp + syX * src.pitch, stepY = sxY * bpp + syY * src.pitch;
        constexpr LONG kTile = 64;  // keeps the lines of a quarter turn in cache
        for (LONG ty = 0; ty < h; ty += kTile) {
            for (LONG tx = 0; tx < w; tx += kTile) {
                const LONG tw = std::min(kTile, w - tx), th = std::min(kTile, h - ty);
                std::uint8_t* d = dst.Row(static_cast<LONG>(y0 + ty)) + (x0 + tx) * bpp;
                const int64_t sx = sx0 + int64_t{tx} * sxX + int64_t{ty} * sxY;
                const int64_t sy = sy0 + int64_t{tx} * syX + int64_t{ty} * syY;
                const std::uint8_t* s = src.Row(static_cast<LONG>(sy)) + sx * bpp;
                if (bpp == 1) MoveTile<1>(d, dst.pitch, s, stepX, stepY, tw, th);
                if (bpp == 2) MoveTile<2>(d, dst.pitch, s, stepX, stepY, tw, th);
                if (bpp == 3) MoveTile<3>(d, dst.pitch, s, stepX, stepY, tw, th);
                if (bpp == 4) MoveTile<4>(d, dst.pitch, s, stepX, stepY, tw, th);
            }
        }
        return;
    }
    // Other formats: gather each destination row, then write it converted.
    const bool indices = src.Indexed() && dst.Indexed() && detail::SameColourTable(src, dst);
    std::vector<std::uint32_t> colours(static_cast<std::size_t>(w));
    std::vector<std::uint8_t> idx(static_cast<std::size_t>(w));
    std::optional<detail::ColourMatcher> matcher;
    if (dst.Indexed()) matcher.emplace(dst.colors);
    for (LONG y = 0; y < h; ++y) {
        for (LONG x = 0; x < w; ++x) {
            const auto sx = static_cast<LONG>(sx0 + int64_t{x} * sxX + int64_t{y} * sxY);
            const auto sy = static_cast<LONG>(sy0 + int64_t{x} * syX + int64_t{y} * syY);
            if (indices) {
                detail::ReadIndices(src, sx, sy, 1, &idx[static_cast<std::size_t>(x)]);
            } else {
                colours[static_cast<std::size_t>(x)] = detail::ReadPixel(src, sx, sy);
            }
        }
        if (indices) {
            detail::WriteIndices(dst, static_cast<LONG>(x0), static_cast<LONG>(y0 + y), w, idx.data());
        } else {
            detail::WriteRow(dst, static_cast<LONG>(x0), static_cast<LONG>(y0 + y), w, colours.data(),
                             matcher ? &*matcher : nullptr);
        }
    }
}

Bitmap Snapshot(const Bitmap& b) {
    Bitmap copy;
    copy.width = b.width;
    copy.height = b.height;
    copy.bitCount = b.bitCount;
    copy.topDown = b.topDown;
    copy.unusedByte = b.unusedByte;
    copy.stride = b.stride;
    copy.colors = b.colors;
    const std::size_t bytes = static_cast<std::size_t>(b.stride) * static_cast<std::size_t>(b.height);
    copy.owned = detail::AllocatePixels(bytes);
    std::memcpy(copy.owned.get(), b.memory, bytes);
    copy.memory = copy.owned.get();
    detail::SetRowAddressing(copy);
    return copy;
}

void PlgExact(Bitmap& dst, const Bitmap& src, const ExactMap& m, int64_t xSrc, int64_t ySrc, int64_t w,
              int64_t h) {
    // Source rectangle (relative offsets) clipped to the source bitmap.
    const int64_t ox0 = std::max<int64_t>(0, -xSrc), ox1 = std::min<int64_t>(w, src.width - xSrc);
    const int64_t oy0 = std::max<int64_t>(0, -ySrc), oy1 = std::min<int64_t>(h, src.height - ySrc);
    if (ox1 <= ox0 || oy1 <= oy0) return;
    // Its image in the destination, clipped to the destination bitmap.
    const auto mapX = [&](int64_t x, int64_t y) { return m.originX + m.ax * x + m.bx * y; };
    const auto mapY = [&](int64_t x, int64_t y) { return m.originY + m.ay * x + m.by * y; };
    const int64_t ax = mapX(ox0, oy0), bx = mapX(ox1 - 1, oy1 - 1);
    const int64_t ay = mapY(ox0, oy0), by = mapY(ox1 - 1, oy1 - 1);
    const int64_t x0 = std::max<int64_t>(std::min(ax, bx), 0),
                  x1 = std::min<int64_t>(std::max(ax, bx) + 1, dst.width);
    const int64_t y0 = std::max<int64_t>(std::min(ay, by), 0),
                  y1 = std::min<int64_t>(std::max(ay, by) + 1, dst.height);
    if (x1 <= x0 || y1 <= y0) return;
    // Inverse of a signed permutation is its transpose: offset = A^T (dest - origin).
    const int64_t rx = x0 - m.originX, ry = y0 - m.originY;
    const int64_t ox = m.ax * rx + m.ay * ry, oy = m.bx * rx + m.by * ry;
    CopyExact(dst, src, x0, y0, x1, y1, xSrc + ox, ySrc + oy, m.ax, m.bx, m.ay, m.by);
}

void PlgAffine(Bitmap& dst, const Bitmap& src, const POINT* p, int64_t xSrc, int64_t ySrc, int64_t w,
               int64_t h) {
    // dest = p0 + u * (p1 - p0) / w + v * (p2 - p0) / h, solved for (u, v).
    const double ux = (double(p[1].x) - p[0].x) / double(w), uy = (double(p[1].y) - p[0].y) / double(w);
    const double vx = (double(p[2].x) - p[0].x) / double(h), vy = (double(p[2].y) - p[0].y) / double(h);
    const double det = ux * vy - vx * uy;
    if (std::abs(det) < 1e-12) return;
    const double xs[4] = {double(p[0].x), double(p[1].x), double(p[2].x), double(p[1].x) + p[2].x - p[0].x};
    const double ys[4] = {double(p[0].y), double(p[1].y), double(p[2].y), double(p[1].y) + p[2].y - p[0].y};
    const int64_t x0 = std::max<int64_t>(0, static_cast<int64_t>(std::floor(*std::min_element(xs, xs + 4))));
    const int64_t x1 =
        std::min<int64_t>(dst.width, static_cast<int64_t>(std::ceil(*std::max_element(xs, xs + 4))));
    const int64_t y0 = std::max<int64_t>(0, static_cast<int64_t>(std::floor(*std::min_element(ys, ys + 4))));
    const int64_t y1 =
        std::min<int64_t>(dst.height, static_cast<int64_t>(std::ceil(*std::max_element(ys, ys + 4))));
    std::optional<detail::ColourMatcher> matcher;
    if (dst.Indexed()) matcher.emplace(dst.colors);
    for (int64_t y = y0; y < y1; ++y) {
        for (int64_t x = x0; x < x1; ++x) {
            const double rx = x + 0.5 - p[0].x, ry = y + 0.5 - p[0].y;
            const double u = (rx * vy - ry * vx) / det, v = (ux * ry - uy * rx) / det;
            if (!(u >= 0 && u < double(w) && v >= 0 && v < double(h))) continue;
            const int64_t sx = xSrc + static_cast<int64_t>(u), sy = ySrc + static_cast<int64_t>(v);
            if (sx < 0 || sy < 0 || sx >= src.width || sy >= src.height) continue;
            std::uint32_t c = detail::ReadPixel(src, static_cast<LONG>(sx), static_cast<LONG>(sy));
            detail::WriteRow(dst, static_cast<LONG>(x), static_cast<LONG>(y), 1, &c,
                             matcher ? &*matcher : nullptr);
        }
    }
}

}  // namespace

BOOL PlgBlt(Session& session, HDC dst, const POINT* points, const Session& from, HDC src, int xSrc, int ySrc,
            int width, int height, HBITMAP mask, int, int) {
    Bitmap* d = detail::SelectedBitmap(session, dst);
    const Bitmap* s = detail::SelectedBitmap(from, src);
    // Masks are not supported by this layer: refuse rather than ignore them.
    if (d == nullptr || s == nullptr || points == nullptr || mask != 0 || width <= 0 || height <= 0) return 0;
    // Within one bitmap, read from a copy so no pixel is read after it was written.
    Bitmap snapshot;
    if (s == d) {
        try {
            snapshot = Snapshot(*s);
        } catch (const std::bad_alloc&) {
            return 0;
        }
        s = &snapshot;
    }
    if (const auto exact = FindExactMap(points, width, height)) {
        PlgExact(*d, *s, *exact, xSrc, ySrc, width, height);
    } else {
        PlgAffine(*d, *s, points, xSrc, ySrc, width, height);
    }
    return 1;
}

BOOL PlgBlt(Session& session, HDC dst, const POINT* points, HDC src, int xSrc, int ySrc, int width,
            int height, HBITMAP mask, int xMask, int yMask) {
    return PlgBlt(session, dst, points, session, src, xSrc, ySrc, width, height, mask, xMask, yMask);
}

}  // namespace gdi
