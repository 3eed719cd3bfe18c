// Handles, selection, deletion rules, colour tables and GetObjectA.
#include <gtest/gtest.h>

#include "RasterTestSupport.h"

using namespace gdi;
using rastertest::Surface;

TEST(RasterHandles, SelectionAndReleaseOrderLeaveNoHandles) {
    const std::size_t before = LiveHandleCount();
    {
        const HDC dc = CreateCompatibleDC(0);
        ASSERT_NE(dc, 0u);
        BITMAPINFO bmi{};
        bmi.bmiHeader = {40, 4, 4, 1, 24, 0, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        const HBITMAP bm = CreateDIBSection(dc, &bmi, DIB_RGB_COLORS, &bits, 0, 0);
        ASSERT_NE(bm, 0u);
        ASSERT_NE(bits, nullptr);
        EXPECT_EQ(LiveHandleCount(), before + 2);
        const HGDIOBJ stock = SelectObject(dc, bm);
        ASSERT_NE(stock, 0u);
        // Selected bitmaps cannot be deleted or selected into a second DC.
        EXPECT_EQ(DeleteObject(bm), 0);
        const HDC other = CreateCompatibleDC(dc);
        EXPECT_EQ(SelectObject(other, bm), 0u);
        EXPECT_EQ(DeleteDC(other), 1);
        // The stock bitmap goes back, then the bitmap and the DC can go.
        EXPECT_EQ(SelectObject(dc, stock), bm);
        EXPECT_EQ(DeleteObject(bm), 1);
        EXPECT_EQ(DeleteDC(dc), 1);
        EXPECT_EQ(DeleteObject(bm), 0);  // already gone
        EXPECT_EQ(DeleteDC(dc), 0);
    }
    EXPECT_EQ(LiveHandleCount(), before);
}

TEST(RasterHandles, DeletingTheDCFreesItsBitmapForDeletion) {
    const std::size_t before = LiveHandleCount();
    const HDC dc = CreateCompatibleDC(0);
    BITMAPINFO bmi{};
    bmi.bmiHeader = {40, 2, 2, 1, 32, 0, 0, 0, 0, 0, 0};
    const HBITMAP bm = CreateDIBSection(0, &bmi, DIB_RGB_COLORS, nullptr, 0, 0);
    SelectObject(dc, bm);
    DeleteDC(dc);
    EXPECT_EQ(DeleteObject(bm), 1);
    EXPECT_EQ(LiveHandleCount(), before);
}

TEST(RasterHandles, ScreenDCsAndUnsupportedRequests) {
    const std::size_t before = LiveHandleCount();
    EXPECT_EQ(CreateDCA("PRINTER", nullptr, nullptr, nullptr), 0u);
    const HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    ASSERT_NE(display, 0u);
    RGBQUAD table[4];
    EXPECT_EQ(GetDIBColorTable(display, 0, 4, table), 0u);  // the screen has no colour table
    {
        WindowDC desktop(GetDesktopWindow());
        ASSERT_NE(desktop.get(), 0u);
        UniqueDC mem(CreateCompatibleDC(desktop.get()));
        EXPECT_TRUE(mem);
    }
    EXPECT_EQ(DeleteDC(display), 1);
    EXPECT_EQ(CreateCompatibleDC(12345678), 0u);  // not a DC

    BITMAPINFO bmi{};
    for (const int bpp : {0, 2, 7, 48}) {
        bmi.bmiHeader = {40, 4, 4, 1, static_cast<WORD>(bpp), 0, 0, 0, 0, 0, 0};
        EXPECT_EQ(CreateDIBSection(0, &bmi, DIB_RGB_COLORS, nullptr, 0, 0), 0u) << bpp;
    }
    bmi.bmiHeader = {40, 0, 4, 1, 24, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(CreateDIBSection(0, &bmi, DIB_RGB_COLORS, nullptr, 0, 0), 0u);
    bmi.bmiHeader = {40, 100000, 100000, 1, 32, 0, 0, 0, 0, 0, 0};  // 40 GB
    EXPECT_EQ(CreateDIBSection(0, &bmi, DIB_RGB_COLORS, nullptr, 0, 0), 0u);
    EXPECT_EQ(LiveHandleCount(), before);
}

TEST(RasterHandles, GetObjectDescribesDibSections) {
    for (const auto& [w, h, bpp, stride] : std::vector<std::tuple<int, int, int, int>>{
             {10, 5, 24, 32}, {10, -5, 1, 4}, {9, 1, 4, 8}, {5, 1, 8, 8}, {3, 2, 16, 8}, {3, 2, 32, 12}}) {
        Surface s(w, h, bpp);
        BITMAP bm{};
        ASSERT_EQ(GetObjectA(s.bitmap.get(), sizeof bm, &bm), static_cast<int>(sizeof bm));
        EXPECT_EQ(bm.bmWidth, w);
        EXPECT_EQ(bm.bmHeight, h < 0 ? -h : h);
        EXPECT_EQ(bm.bmWidthBytes, stride);
        EXPECT_EQ(bm.bmBitsPixel, bpp);
        EXPECT_EQ(bm.bmBits, s.bits);
    }
    EXPECT_EQ(GetObjectA(0, sizeof(BITMAP), nullptr), 0);
}

TEST(RasterHandles, ColourTablesReadAndWriteWithinTheirSize) {
    Surface s(4, 4, 4, rastertest::GreyTable(16));
    RGBQUAD t[256]{};
    EXPECT_EQ(GetDIBColorTable(s.hdc(), 0, 256, t), 16u);
    EXPECT_EQ(t[15].rgbRed, 255);
    EXPECT_EQ(t[1].rgbGreen, 17);
    EXPECT_EQ(GetDIBColorTable(s.hdc(), 14, 10, t), 2u);
    const RGBQUAD red[3] = {{0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}};
    EXPECT_EQ(SetDIBColorTable(s.hdc(), 14, 3, red), 2u);
    EXPECT_EQ(GetDIBColorTable(s.hdc(), 15, 1, t), 1u);
    EXPECT_EQ(t[0].rgbGreen, 255);

    Surface rgb(4, 4, 24);
    EXPECT_EQ(GetDIBColorTable(rgb.hdc(), 0, 256, t), 0u);
    // A fresh memory DC holds the stock monochrome bitmap, which is no DIB.
    UniqueDC fresh(CreateCompatibleDC(0));
    EXPECT_EQ(GetDIBColorTable(fresh.get(), 0, 256, t), 0u);
}

TEST(RasterHandles, StretchModeIsKeptPerDC) {
    UniqueDC dc(CreateCompatibleDC(0));
    EXPECT_EQ(SetStretchBltMode(dc.get(), HALFTONE), BLACKONWHITE);
    EXPECT_EQ(SetStretchBltMode(dc.get(), COLORONCOLOR), HALFTONE);
    EXPECT_EQ(GetStretchBltMode(dc.get()), COLORONCOLOR);
    EXPECT_EQ(SetStretchBltMode(dc.get(), 9), 0);
    EXPECT_EQ(SetStretchBltMode(0, HALFTONE), 0);
}

TEST(RasterHandles, OwnersReleaseInReverseOrderAndMoveOwnership) {
    const std::size_t before = LiveHandleCount();
    {
        UniqueDC dc(CreateCompatibleDC(0));
        BITMAPINFO bmi{};
        bmi.bmiHeader = {40, 2, 2, 1, 24, 0, 0, 0, 0, 0, 0};
        UniqueBitmap bitmap(CreateDIBSection(dc.get(), &bmi, DIB_RGB_COLORS, nullptr, 0, 0));
        UniqueBitmap moved = std::move(bitmap);
        EXPECT_FALSE(bitmap);
        const SelectionGuard selection(dc.get(), moved.get());
        EXPECT_TRUE(selection.ok());
        // While selected the bitmap cannot go; the guard, declared last, puts the stock bitmap back first.
        EXPECT_EQ(DeleteObject(moved.get()), 0);
    }
    EXPECT_EQ(LiveHandleCount(), before);
}
