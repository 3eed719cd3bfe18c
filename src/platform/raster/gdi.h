// The program's own raster layer: device-independent bitmaps, memory device
// contexts and the blits between them, with the contracts of the Windows GDI
// calls of the same names (handles, selection, pixel layout, results).
//
// Pixel layout of a bitmap: rows bottom-up in memory unless the header height
// is negative, scan lines padded to a multiple of 4 bytes, 24-bit pixels in
// blue-green-red byte order, 32-bit pixels blue-green-red-unused, 1/4/8-bit
// pixels index a colour table of RGBQUAD entries.
//
// No Qt in here: the Qt adapter (platform/qt) wraps a QImage's memory as a
// top-down 32-bit bitmap with WrapDIBits, without copying.
#pragma once

#include <cstddef>
#include <cstdint>

namespace gdi {

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using UINT = std::uint32_t;
using BOOL = int;

// Handles are small non-zero numbers; 0 means "none". A handle names a bitmap
// (HBITMAP/HGDIOBJ) or a device context (HDC); both live in one table.
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

// --- device contexts -------------------------------------------------------

// CreateDCA("DISPLAY", nullptr, nullptr, nullptr): a DC on the screen stand-in
// (a 32-bit surface with no colour table). Any other driver name gives 0.
HDC CreateDCA(const char* driver, const char* device, const char* output, const void* initData);
// A memory DC compatible with hdc (0 = the screen). A new memory DC holds a
// 1 x 1 monochrome stock bitmap, as GDI's does.
HDC CreateCompatibleDC(HDC hdc);
BOOL DeleteDC(HDC hdc);
// The desktop window and its DC: the same screen stand-in as CreateDCA.
HWND GetDesktopWindow();
HDC GetDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC hdc);

// --- bitmaps ----------------------------------------------------------------

// A DIB section of the header's size and depth (1, 4, 8, 24, 32 bits; BI_RGB).
// Memory is zeroed (black). The colour table (for 1/4/8 bits) is taken from
// bmi->bmiColors. *bits receives the pixel memory. hdc may be 0.
HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* bmi, UINT usage, void** bits, HANDLE section,
                         DWORD offset);
// A bitmap over memory the caller owns (not freed by DeleteObject). Used to let
// the raster layer draw straight into a toolkit image. stride is the distance
// between successive rows in memory as the header describes them (top-down
// when biHeight < 0). Returns 0 for an unsupported header.
HBITMAP WrapDIBits(const BITMAPINFOHEADER& header, void* bits, std::ptrdiff_t stride);
// Selects a bitmap into a DC; returns the bitmap selected before, 0 on failure
// (bad handles, or a bitmap already selected into another DC).
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj);
// Deletes a bitmap that is not selected into any DC. Stock objects are not deleted.
BOOL DeleteObject(HGDIOBJ obj);
// Fills a BITMAP description (size >= sizeof(BITMAP)); returns bytes written or 0.
int GetObjectA(HGDIOBJ obj, int size, void* out);

// --- colour tables ----------------------------------------------------------

UINT GetDIBColorTable(HDC hdc, UINT start, UINT count, RGBQUAD* colors);
UINT SetDIBColorTable(HDC hdc, UINT start, UINT count, const RGBQUAD* colors);

// --- blits ------------------------------------------------------------------

BOOL BitBlt(HDC dst, int x, int y, int cx, int cy, HDC src, int x1, int y1, DWORD rop);
int SetStretchBltMode(HDC hdc, int mode);  // returns the previous mode, 0 on failure
int GetStretchBltMode(HDC hdc);
BOOL StretchBlt(HDC dst, int xDest, int yDest, int wDest, int hDest, HDC src, int xSrc, int ySrc, int wSrc,
                int hSrc, DWORD rop);
BOOL PlgBlt(HDC dst, const POINT* points, HDC src, int xSrc, int ySrc, int width, int height, HBITMAP mask,
            int xMask, int yMask);
// Copies lines [start, start + lines) of bitmap hbm, converted to the depth
// and orientation described by bmi, into bits. With bits == nullptr only
// fills bmi's header (size, depth, image size). Returns lines copied, 0 on failure.
int GetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT lines, void* bits, BITMAPINFO* bmi, UINT usage);

// --- diagnostics ------------------------------------------------------------

// Number of live handles (DCs and bitmaps, stock objects excluded).
std::size_t LiveHandleCount();

}  // namespace gdi
