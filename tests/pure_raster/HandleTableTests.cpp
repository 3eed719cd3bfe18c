// Handles, selection, deletion rules, colour tables and GetObjectA.
#include <gtest/gtest.h>

#include "RasterTestSupport.h"

using namespace gdi;
using rastertest::Handles;
using rastertest::Surface;

TEST(RasterHandles, SelectionAndReleaseOrderLeaveNoHandles) {
    const std::size_t before = Handles().LiveHandleCount();
    {
        const HDC dc = CreateCompatibleDC(Handles(), 0);
        ASSERT_NE(dc, 0u);
        BITMAPINFO bmi{};
        bmi.bmiHeader = {40, 4, 4, 1, 24, 0, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        const HBITMAP bm = CreateDIBSection(Handles(), dc, &bmi, DIB_RGB_COLORS, &bits, 0, 0);
        ASSERT_NE(bm, 0u);
        ASSERT_NE(bits, nullptr);
        EXPECT_EQ(Handles().LiveHandleCount(), before + 2);
        const HGDIOBJ stock = SelectObject(Handles(), dc, bm);
        ASSERT_NE(stock, 0u);
        // Selected bitmaps cannot be deleted or selected into a second DC.
        EXPECT_EQ(DeleteObject(Handles(), bm), 0);
        const HDC other = CreateCompatibleDC(Handles(), dc);
        EXPECT_EQ(SelectObject(Handles(), other, bm), 0u);
        EXPECT_EQ(DeleteDC(Handles(), other), 1);
        // The stock bitmap goes back, then the bitmap and the DC can go.
        EXPECT_EQ(SelectObject(Handles(), dc, stock), bm);
        EXPECT_EQ(DeleteObject(Handles(), bm), 1);
        EXPECT_EQ(DeleteDC(Handles(), dc), 1);
        EXPECT_EQ(DeleteObject(Handles(), bm), 0);  // already gone
        EXPECT_EQ(DeleteDC(Handles(), dc), 0);
    }
    EXPECT_EQ(Handles().LiveHandleCount(), before);
}

TEST(RasterHandles, DeletingTheDCFreesItsBitmapForDeletion) {
    const std::size_t before = Handles().LiveHandleCount();
    const HDC dc = CreateCompatibleDC(Handles(), 0);
    BITMAPINFO bmi{};
    bmi.bmiHeader = {40, 2, 2, 1, 32, 0, 0, 0, 0, 0, 0};
    const HBITMAP bm = CreateDIBSection(Handles(), 0, &bmi, DIB_RGB_COLORS, nullptr, 0, 0);
    SelectObject(Handles(), dc, bm);
    DeleteDC(Handles(), dc);
    EXPECT_EQ(DeleteObject(Handles(), bm), 1);
    EXPECT_EQ(Handles().LiveHandleCount(), before);
}

TEST(RasterHandles, ScreenDCsAndUnsupportedRequests) {
    const std::size_t before = Handles().LiveHandleCount();
    EXPECT_EQ(CreateDCA(Handles(), "PRINTER", nullptr, nullptr, nullptr), 0u);
    const HDC display = CreateDCA(Handles(), "DISPLAY", nullptr, nullptr, nullptr);
    ASSERT_NE(display, 0u);
    RGBQUAD table[4];
    EXPECT_EQ(GetDIBColorTable(Handles(), display, 0, 4, table), 0u);  // the screen has no colour table
    {
        WindowDC desktop(Handles(), GetDesktopWindow());
        ASSERT_NE(desktop.get(), 0u);
        UniqueDC mem(Handles(), CreateCompatibleDC(Handles(), desktop.get()));
        EXPECT_TRUE(mem);
    }
    EXPECT_EQ(DeleteDC(Handles(), display), 1);
    EXPECT_EQ(CreateCompatibleDC(Handles(), 12345678), 0u);  // not a DC

    BITMAPINFO bmi{};
    for (const int bpp : {0, 2, 7, 48}) {
        bmi.bmiHeader = {40, 4, 4, 1, static_cast<WORD>(bpp), 0, 0, 0, 0, 0, 0};
        EXPECT_EQ(CreateDIBSection(Handles(), 0, &bmi, DIB_RGB_COLORS, nullptr, 0, 0), 0u) << bpp;
    }
    bmi.bmiHeader = {40, 0, 4, 1, 24, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(CreateDIBSection(Handles(), 0, &bmi, DIB_RGB_COLORS, nullptr, 0, 0), 0u);
    bmi.bmiHeader = {40, 100000, 100000, 1, 32, 0, 0, 0, 0, 0, 0};  // 40 GB
    EXPECT_EQ(CreateDIBSection(Handles(), 0, &bmi, DIB_RGB_COLORS, nullptr, 0, 0), 0u);
    EXPECT_EQ(Handles().LiveHandleCount(), before);
}

TEST(RasterHandles, GetObjectDescribesDibSections) {
    for (const auto& [w, h, bpp, stride] : std::vector<std::tuple<int, int, int, int>>{
             {10, 5, 24, 32}, {10, -5, 1, 4}, {9, 1, 4, 8}, {5, 1, 8, 8}, {3, 2, 16, 8}, {3, 2, 32, 12}}) {
        Surface s(w, h, bpp);
        BITMAP bm{};
        ASSERT_EQ(GetObjectA(Handles(), s.bitmap.get(), sizeof bm, &bm), static_cast<int>(sizeof bm));
        EXPECT_EQ(bm.bmWidth, w);
        EXPECT_EQ(bm.bmHeight, h < 0 ? -h : h);
        EXPECT_EQ(bm.bmWidthBytes, stride);
        EXPECT_EQ(bm.bmBitsPixel, bpp);
        EXPECT_EQ(bm.bmBits, s.bits);
    }
    EXPECT_EQ(GetObjectA(Handles(), 0, sizeof(BITMAP), nullptr), 0);
}

TEST(RasterHandles, ColourTablesReadAndWriteWithinTheirSize) {
    Surface s(4, 4, 4, rastertest::GreyTable(16));
    RGBQUAD t[256]{};
    EXPECT_EQ(GetDIBColorTable(Handles(), s.hdc(), 0, 256, t), 16u);
    EXPECT_EQ(t[15].rgbRed, 255);
    EXPECT_EQ(t[1].rgbGreen, 17);
    EXPECT_EQ(GetDIBColorTable(Handles(), s.hdc(), 14, 10, t), 2u);
    const RGBQUAD red[3] = {{0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}};
    EXPECT_EQ(SetDIBColorTable(Handles(), s.hdc(), 14, 3, red), 2u);
    EXPECT_EQ(GetDIBColorTable(Handles(), s.hdc(), 15, 1, t), 1u);
    EXPECT_EQ(t[0].rgbGreen, 255);

    Surface rgb(4, 4, 24);
    EXPECT_EQ(GetDIBColorTable(Handles(), rgb.hdc(), 0, 256, t), 0u);
    // A fresh memory DC holds the stock monochrome bitmap, which is no DIB.
    UniqueDC fresh(Handles(), CreateCompatibleDC(Handles(), 0));
    EXPECT_EQ(GetDIBColorTable(Handles(), fresh.get(), 0, 256, t), 0u);
}

TEST(RasterHandles, StretchModeIsKeptPerDC) {
    UniqueDC dc(Handles(), CreateCompatibleDC(Handles(), 0));
    EXPECT_EQ(SetStretchBltMode(Handles(), dc.get(), HALFTONE), BLACKONWHITE);
    EXPECT_EQ(SetStretchBltMode(Handles(), dc.get(), COLORONCOLOR), HALFTONE);
    EXPECT_EQ(GetStretchBltMode(Handles(), dc.get()), COLORONCOLOR);
    EXPECT_EQ(SetStretchBltMode(Handles(), dc.get(), 9), 0);
    EXPECT_EQ(SetStretchBltMode(Handles(), 0, HALFTONE), 0);
}

TEST(RasterHandles, OwnersReleaseInReverseOrderAndMoveOwnership) {
    const std::size_t before = Handles().LiveHandleCount();
    {
        UniqueDC dc(Handles(), CreateCompatibleDC(Handles(), 0));
        BITMAPINFO bmi{};
        bmi.bmiHeader = {40, 2, 2, 1, 24, 0, 0, 0, 0, 0, 0};
        UniqueBitmap bitmap(Handles(),
                            CreateDIBSection(Handles(), dc.get(), &bmi, DIB_RGB_COLORS, nullptr, 0, 0));
        UniqueBitmap moved = std::move(bitmap);
        EXPECT_FALSE(bitmap);
        const SelectionGuard selection(Handles(), dc.get(), moved.get());
        EXPECT_TRUE(selection.ok());
        // While selected the bitmap cannot go; the guard, declared last, puts the stock bitmap back first.
        EXPECT_EQ(DeleteObject(Handles(), moved.get()), 0);
    }
    EXPECT_EQ(Handles().LiveHandleCount(), before);
}

// Handles are numbers of one session: the same number names different
// objects in two sessions, a handle is unknown to any other session, and a
// blit between sessions names both.
TEST(RasterHandles, SessionsKeepTheirHandlesApart) {
    Session a, b;
    const HDC dcA = CreateCompatibleDC(a, 0);
    const HDC dcB = CreateCompatibleDC(b, 0);
    EXPECT_EQ(dcA, dcB);  // numbered per session
    BITMAPINFO bmi{};
    bmi.bmiHeader = {40, 2, 1, 1, 24, 0, 0, 0, 0, 0, 0};
    void* bitsA = nullptr;
    void* bitsB = nullptr;
    const HBITMAP bmA = CreateDIBSection(a, 0, &bmi, DIB_RGB_COLORS, &bitsA, 0, 0);
    const HBITMAP bmB = CreateDIBSection(b, 0, &bmi, DIB_RGB_COLORS, &bitsB, 0, 0);
    ASSERT_NE(SelectObject(a, dcA, bmA), 0u);
    ASSERT_NE(SelectObject(b, dcB, bmB), 0u);
    static_cast<std::uint8_t*>(bitsA)[0] = 200;
    EXPECT_EQ(SelectedDibRows(b, dcB).top, static_cast<const BYTE*>(bitsB));

    const HDC onlyInA = CreateCompatibleDC(a, 0);
    const HBITMAP bitmapOnlyInA = CreateDIBSection(a, 0, &bmi, DIB_RGB_COLORS, nullptr, 0, 0);
    BITMAP bm{};
    EXPECT_EQ(GetObjectA(b, bitmapOnlyInA, sizeof bm, &bm), 0);
    EXPECT_EQ(GetObjectA(a, bitmapOnlyInA, sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(BitBlt(b, onlyInA, 0, 0, 1, 1, dcB, 0, 0, SRCCOPY), 0);
    EXPECT_EQ(DeleteDC(b, onlyInA), 0);
    EXPECT_EQ(a.LiveHandleCount(), 4u);
    EXPECT_EQ(b.LiveHandleCount(), 2u);

    EXPECT_EQ(BitBlt(b, dcB, 1, 0, 1, 1, a, dcA, 0, 0, SRCCOPY), 1);
    EXPECT_EQ(static_cast<const std::uint8_t*>(bitsB)[3], 200);
    EXPECT_EQ(static_cast<const std::uint8_t*>(bitsA)[3], 0);
    // What is left when a session ends goes with it (the sanitizer build sees leaks).
}
