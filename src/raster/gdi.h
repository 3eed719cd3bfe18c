// The program's own raster layer: device-independent bitmaps, memory device
// contexts and the blits between them, with the contracts of the Windows GDI
// calls of the same names (handles, selection, pixel layout, results).
//
// Pixel layout of a bitmap: rows bottom-up in memory unless the header height
// is negative, scan lines padded to a multiple of 4 bytes, 24-bit pixels in
// blue-green-red byte order, 32-bit pixels blue-green-red-unused, 16-bit
// pixels x-5-5-5, 1/4/8-bit pixels index a colour table of RGBQUAD entries.
//
// Conversions: into a palette bitmap by the nearest colour of its table
// (squared RGB distance, lowest index on a tie; into the 256-level grey ramp
// that is the rounded mean of red, green and blue). Raster operations act on
// colours, with the white brush of a memory DC as pattern.
//
// Handles live in a Session, owned by whoever draws (an image, a save, a
// tool): every call names the session its handles belong to, a blit between
// two sessions names both. A session is used by one thread at a time; there
// is no program-wide table and no lock. Code that only reads pixels takes
// them where they lie (SelectedDibRows) and needs no handle at all.
//
// No Qt in here: the Qt adapter (platform/qt) wraps a QImage's memory as a
// top-down 32-bit bitmap with WrapDIBits, without copying.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace gdi {

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using UINT = std::uint32_t;
using BOOL = int;

// Handles are small non-zero numbers; 0 means "none". A handle names a bitmap
// (HBITMAP/HGDIOBJ) or a device context (HDC) of one Session.
using HANDLE = std::uintptr_t;
using HGDIOBJ = HANDLE;
using HBITMAP = HANDLE;
using HDC = HANDLE;
using HWND = HANDLE;

struct POINT {
    LONG x;
    LONG y;
};

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

struct BITMAPINFOHEADER {
    DWORD biSize;  // 40
    LONG biWidth;
    LONG biHeight;        // positive: bottom-up rows; negative: top-down rows
    WORD biPlanes;        // 1
    WORD biBitCount;      // 1, 4, 8, 24 or 32
    DWORD biCompression;  // BI_RGB (0) only
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

// Header followed by room for a full 256-entry colour table.
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[256];
};

// What GetObjectA reports for a bitmap.
struct BITMAP {
    LONG bmType;  // 0
    LONG bmWidth;
    LONG bmHeight;      // always positive
    LONG bmWidthBytes;  // bytes per scan line
    WORD bmPlanes;      // 1
    WORD bmBitsPixel;
    void* bmBits;  // pixel memory of a DIB section
};

inline constexpr DWORD BI_RGB = 0;
inline constexpr UINT DIB_RGB_COLORS = 0;

// Raster operation codes of BitBlt / StretchBlt / PaintHDC.
inline constexpr DWORD SRCCOPY = 0x00CC0020;
inline constexpr DWORD SRCPAINT = 0x00EE0086;     // dst | src
inline constexpr DWORD SRCAND = 0x008800C6;       // dst & src
inline constexpr DWORD SRCINVERT = 0x00660046;    // dst ^ src
inline constexpr DWORD SRCERASE = 0x00440328;     // src & ~dst
inline constexpr DWORD NOTSRCCOPY = 0x00330008;   // ~src
inline constexpr DWORD NOTSRCERASE = 0x001100A6;  // ~(dst | src)
inline constexpr DWORD MERGEPAINT = 0x00BB0226;   // ~src | dst
inline constexpr DWORD DSTINVERT = 0x00550009;    // ~dst
inline constexpr DWORD BLACKNESS = 0x00000042;
inline constexpr DWORD WHITENESS = 0x00FF0062;

// Stretch modes.
inline constexpr int BLACKONWHITE = 1;
inline constexpr int WHITEONBLACK = 2;
inline constexpr int COLORONCOLOR = 3;
inline constexpr int HALFTONE = 4;

// --- sessions ---------------------------------------------------------------

class Session;
namespace detail {
struct Table;
Table& TableOf(const Session& session);
}  // namespace detail

// The handles of one drawer: the DCs and bitmaps made through it, each a
// number that means something to this session only. Whatever is still alive
// when the session ends is released with it.
class Session {
  public:
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Number of live handles (DCs and bitmaps, stock objects excluded).
    std::size_t LiveHandleCount() const;

  private:
    friend detail::Table& detail::TableOf(const Session& session);
    std::unique_ptr<detail::Table> table_;
};

// --- device contexts -------------------------------------------------------

// CreateDCA("DISPLAY", nullptr, nullptr, nullptr): a DC on the screen stand-in.
// It has no colour table and no pixels (blits with it fail); it serves to
// make compatible memory DCs. Any other driver name gives 0.
HDC CreateDCA(Session& s, const char* driver, const char* device, const char* output, const void* initData);
// A memory DC compatible with hdc (0 = the screen). A new memory DC holds a
// 1 x 1 monochrome stock bitmap, as GDI's does.
HDC CreateCompatibleDC(Session& s, HDC hdc);
BOOL DeleteDC(Session& s, HDC hdc);
// The desktop window and its DC: the same screen stand-in as CreateDCA.
HWND GetDesktopWindow();
HDC GetDC(Session& s, HWND hwnd);
int ReleaseDC(Session& s, HWND hwnd, HDC hdc);

// --- bitmaps ----------------------------------------------------------------

// A DIB section of the header's size and depth (1, 4, 8, 16, 24, 32 bits;
// BI_RGB; at most 2 GiB of pixels). Memory is zeroed (black). The colour table
// (for 1/4/8 bits: biClrUsed entries, or all 2^bits when 0) is taken from
// bmi->bmiColors. *bits receives the pixel memory. hdc may be 0.
HBITMAP CreateDIBSection(Session& s, HDC hdc, const BITMAPINFO* bmi, UINT usage, void** bits, HANDLE section,
                         DWORD offset);
// A bitmap over memory the caller owns (not freed by DeleteObject). Used to let
// the raster layer draw straight into a toolkit image. stride is the distance
// between successive rows in memory as the header describes them (top-down
// when biHeight < 0). 16, 24 and 32 bits only; returns 0 for any other header.
// 32-bit pixels the layer writes into such a bitmap get 0xFF as fourth byte,
// so a toolkit image that reads it as alpha stays opaque.
HBITMAP WrapDIBits(Session& s, const BITMAPINFOHEADER& header, void* bits, std::ptrdiff_t stride);
// Selects a bitmap into a DC; returns the bitmap selected before, 0 on failure
// (bad handles, or a bitmap already selected into another DC).
HGDIOBJ SelectObject(Session& s, HDC hdc, HGDIOBJ obj);
// Deletes a bitmap that is not selected into any DC. Stock objects are not deleted.
BOOL DeleteObject(Session& s, HGDIOBJ obj);
// Fills a BITMAP description; a smaller size gets the part that fits (24, the
// size of the 32-bit layout, stops before bmBits). Returns bytes written, the
// size needed when out is nullptr, or 0 for an unknown handle.
int GetObjectA(const Session& s, HGDIOBJ obj, int size, void* out);

// --- colour tables ----------------------------------------------------------

// Entries [start, start + count) of the table of the DIB selected into hdc,
// clipped to the table. Return the number of entries read or written, 0 when
// the DC holds no palette DIB.
UINT GetDIBColorTable(const Session& s, HDC hdc, UINT start, UINT count, RGBQUAD* colors);
UINT SetDIBColorTable(Session& s, HDC hdc, UINT start, UINT count, const RGBQUAD* colors);

// --- blits ------------------------------------------------------------------

// Copies cx x cy pixels. The block is clipped to both bitmaps: destination
// pixels whose source lies outside the source bitmap are left alone. src may
// be 0 for operations that do not read it (BLACKNESS, WHITENESS, DSTINVERT).
// Overlapping blocks of one bitmap are copied as if through a buffer.
BOOL BitBlt(Session& s, HDC dst, int x, int y, int cx, int cy, HDC src, int x1, int y1, DWORD rop);
// The same with the source DC in another session.
BOOL BitBlt(Session& s, HDC dst, int x, int y, int cx, int cy, const Session& from, HDC src, int x1, int y1,
            DWORD rop);
int SetStretchBltMode(Session& s, HDC hdc, int mode);  // returns the previous mode, 0 on failure
int GetStretchBltMode(const Session& s, HDC hdc);
// Scales the source rectangle onto the destination rectangle with the
// destination DC's stretch mode: HALFTONE averages the source area under each
// destination pixel (shrinking and enlarging); the other modes take the source
// pixel under the centre. A negative width or height on one side mirrors (the
// rectangle then ends at, and includes, its start pixel). Source pixels
// outside the source bitmap take no part.
BOOL StretchBlt(Session& s, HDC dst, int xDest, int yDest, int wDest, int hDest, HDC src, int xSrc, int ySrc,
                int wSrc, int hSrc, DWORD rop);
BOOL StretchBlt(Session& s, HDC dst, int xDest, int yDest, int wDest, int hDest, const Session& from, HDC src,
                int xSrc, int ySrc, int wSrc, int hSrc, DWORD rop);
// Maps the source rectangle onto the parallelogram whose first three corners
// are points[0..2] (where the source's upper-left, upper-right and lower-left
// corners land). Quarter turns and mirrors move every pixel exactly; other
// mappings sample the source pixel under each destination pixel's centre.
// Masks are not supported (mask != 0 fails).
BOOL PlgBlt(Session& s, HDC dst, const POINT* points, HDC src, int xSrc, int ySrc, int width, int height,
            HBITMAP mask, int xMask, int yMask);
BOOL PlgBlt(Session& s, HDC dst, const POINT* points, const Session& from, HDC src, int xSrc, int ySrc,
            int width, int height, HBITMAP mask, int xMask, int yMask);
// Copies lines [start, start + lines) of bitmap hbm, converted to the depth
// and orientation described by bmi, into bits. Lines count in the caller's
// row order (bottom-up header: line 0 is the bottom row). The same palette
// depth as the bitmap copies indices and returns the bitmap's table in
// bmiColors; another palette depth matches colours into bmiColors as given.
// With bits == nullptr only fills bmi's header (size, depth, image size).
// Returns lines copied, 0 on failure. hbm may be selected into a DC.
int GetDIBits(const Session& s, HDC hdc, HBITMAP hbm, UINT start, UINT lines, void* bits, BITMAPINFO* bmi,
              UINT usage);

// --- pixel memory -----------------------------------------------------------

// The rows of the DIB selected into hdc where they lie in memory, for code
// that reads pixels without blitting them (the JPEG encoder): the top row,
// the signed distance from a row to the row below, size and depth. All zero
// when hdc holds no DIB. Not a GDI call.
struct DibRows {
    const BYTE* top;
    std::ptrdiff_t pitch;
    LONG width;
    LONG height;
    int bitCount;
};
DibRows SelectedDibRows(const Session& s, HDC hdc);

}  // namespace gdi
