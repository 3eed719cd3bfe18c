// Text and bitmap records of the metafile player.
#include <gtest/gtest.h>

#include "platform/wmf/WmfDib.h"
#include "platform/wmf/WmfPicture.h"
#include "wmf/WmfBuilder.h"

using namespace wmftest;

namespace {

constexpr int kTaBaseline = 24;
constexpr int kTaRight = 2;
constexpr int kTaCenter = 6;

// Bounding box of the dark pixels (the text).
QRect InkBounds(const QImage& img) {
    QRect box;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (c.red() + c.green() + c.blue() < 382) box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

Bytes TextOutParams(const std::string& text, int x, int y) {
    Bytes raw;
    PutU16(raw, static_cast<int>(text.size()));
    for (const char ch : text) raw.push_back(static_cast<std::uint8_t>(ch));
    if (text.size() % 2) raw.push_back(0);
    PutU16(raw, y);
    PutU16(raw, x);
    return raw;
}

}  // namespace

TEST(WmfText, TextOutDrawsInTheTextColourAtTheReferencePoint) {
    MetafileBuilder b = Canvas(200, 100);
    b.Font(-40, "Arial", 700).Select(0).SetTextColor(Qt::red).Rec(0x0102, {1});
    b.Rec(0x0521, {}, TextOutParams("HH", 20, 30));  // top-left alignment
    const QImage img = Render(b);
    const QRect ink = InkBounds(img);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_NEAR(ink.left(), 22, 4);
    EXPECT_GE(ink.top(), 30);
    EXPECT_LE(ink.top(), 42);
    EXPECT_NEAR(ink.height(), 29, 4);  // cap height of a 40 pixel Arial
    EXPECT_EQ(img.pixelColor(ink.left() + 2, ink.center().y()), QColor(Qt::red));
}

TEST(WmfText, AlignmentPlacesTextAroundTheReferencePoint) {
    QRect boxes[3];
    const int aligns[3] = {kTaBaseline, kTaBaseline | kTaRight, kTaBaseline | kTaCenter};
    for (int i = 0; i < 3; ++i) {
        MetafileBuilder b = Canvas(300, 100);
        b.Font(-30, "Arial").Select(0).Rec(0x0102, {1}).Rec(0x012E, {aligns[i]});
        b.Rec(0x0521, {}, TextOutParams("Text", 150, 60));
        boxes[i] = InkBounds(Render(b));
        ASSERT_FALSE(boxes[i].isEmpty());
        EXPECT_NEAR(boxes[i].bottom(), 59, 2) << "baseline alignment, case " << i;
    }
    EXPECT_GE(boxes[0].left(), 150);
    EXPECT_LE(boxes[1].right(), 150);
    EXPECT_LT(boxes[2].left(), 150);
    EXPECT_GT(boxes[2].right(), 150);
}

TEST(WmfText, ExtTextOutFillsItsOpaqueRectangleAndUsesTheAdvances) {
    MetafileBuilder b = Canvas(300, 100);
    b.Font(-20, "Arial").Select(0).SetBkColor(Qt::yellow).Rec(0x0102, {1});
    Bytes raw;
    for (const int w : {10, 5, 2, 0x0002, 0, 0, 100, 40}) PutU16(raw, w);  // y, x, length, ETO_OPAQUE, rect
    raw.push_back('I'), raw.push_back('I');
    PutU16(raw, 200), PutU16(raw, 0);  // the second letter 200 units to the right
    b.Rec(0x0A32, {}, raw);
    const QImage img = Render(b);
    EXPECT_EQ(img.pixelColor(90, 35), QColor(Qt::yellow));
    EXPECT_EQ(img.pixelColor(150, 35), QColor(Qt::white));
    const QRect ink = InkBounds(img);
    EXPECT_GT(ink.right(), 200);  // the second I, drawn beyond the rectangle
    EXPECT_LT(ink.left(), 12);
}

TEST(WmfText, FontHeightFollowsTheWindowScale) {
    MetafileBuilder b;
    b.SetPlaceable(0, 0, 2000, 1000, 1440);                                     // twips: 1 pixel = 15 units
    b.Window(0, 0, 2000, 1000).Font(-600, "Arial").Select(0).Rec(0x0102, {1});  // 40 pixels
    b.Rec(0x0521, {}, TextOutParams("H", 150, 150));
    const QRect ink = InkBounds(Render(b));
    EXPECT_NEAR(ink.height(), 29, 4);
}

TEST(WmfBitmaps, StretchDibKeepsRowOrderAndScales) {
    // 2 x 2, bottom-up: bottom row red, green; top row blue, white.
    const Bytes rows = {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0};
    MetafileBuilder b = Canvas();
    b.Rec(0x0F43, {0x20, 0xCC, 0, 2, 2, 0, 0, 80, 80, 10, 10}, Dib(2, 2, 24, rows));
    const QImage img = Render(b);
    EXPECT_EQ(At(img, 20, 70), QColor(Qt::red));
    EXPECT_EQ(At(img, 70, 70), QColor(Qt::green));
    EXPECT_EQ(At(img, 20, 20), QColor(Qt::blue));
    EXPECT_EQ(At(img, 70, 20), QColor(Qt::white));
    EXPECT_EQ(At(img, 5, 5), QColor(Qt::white));
    EXPECT_EQ(At(img, 95, 50), QColor(Qt::white));  // outside the destination

    // Source rows of a bottom-up bitmap count from the bottom: row 1 is the top row.
    MetafileBuilder topRow = Canvas();
    topRow.Rec(0x0F43, {0x20, 0xCC, 0, 1, 2, 1, 0, 100, 100, 0, 0}, Dib(2, 2, 24, rows));
    const QImage top = Render(topRow);
    EXPECT_EQ(At(top, 20, 50), QColor(Qt::blue));
    EXPECT_EQ(At(top, 70, 50), QColor(Qt::white));

    // A negative destination width mirrors the picture.
    MetafileBuilder mirrored = Canvas();
    mirrored.Rec(0x0F43, {0x20, 0xCC, 0, 2, 2, 0, 0, 80, -80, 10, 90}, Dib(2, 2, 24, rows));
    EXPECT_EQ(At(Render(mirrored), 20, 70), QColor(Qt::green));
}

TEST(WmfBitmaps, PaletteDepthsDecode) {
    const std::vector<QColor> two = {Qt::black, Qt::white};
    const std::vector<QColor> four = {Qt::black, Qt::red, Qt::green, Qt::blue};
    struct Case {
        int bits;
        Bytes rows;  // 4 x 1 pixels: black, colour 1, colour 2 (or white), colour 3 (or black)
        std::vector<QColor> palette;
        std::vector<QColor> expected;
    };
    const Case cases[] = {
        {1, {0x60, 0, 0, 0}, two, {Qt::black, Qt::white, Qt::white, Qt::black}},
        {4, {0x01, 0x23, 0, 0}, four, {Qt::black, Qt::red, Qt::green, Qt::blue}},
        {8, {0, 1, 2, 3}, four, {Qt::black, Qt::red, Qt::green, Qt::blue}},
        {16, {0, 0, 0x00, 0x7C, 0xE0, 0x03, 0x1F, 0}, {}, {Qt::black, Qt::red, Qt::green, Qt::blue}},
    };
    for (const Case& c : cases) {
        MetafileBuilder b = Canvas();
        b.Rec(0x0F43, {0x20, 0xCC, 0, 1, 4, 0, 0, 100, 100, 0, 0}, Dib(4, 1, c.bits, c.rows, c.palette));
        const QImage img = Render(b);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(At(img, 12 + 25 * i, 50), c.expected[i]) << c.bits << " bits, " << i;
    }
}

TEST(WmfBitmaps, BlitRecordsAndPatternBrushes) {
    const Bytes rows = {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0};
    MetafileBuilder b = Canvas();
    // DIB stretch blit of the top left pixel (source rows count from the top).
    b.Rec(0x0B41, {0x20, 0xCC, 1, 1, 0, 0, 50, 50, 0, 0}, Dib(2, 2, 24, rows));
    // Plain DIB blit of the whole bitmap, one unit per pixel.
    b.Rec(0x0940, {0x20, 0xCC, 0, 0, 2, 2, 60, 60}, Dib(2, 2, 24, rows));
    // Pattern brush from a DIB, a blue 1 x 1 pattern.
    b.Rec(0x0142, {5, 0}, Dib(1, 1, 24, {255, 0, 0, 0}));
    b.Pen(kNullPen, 0, Qt::black).Select(1).Select(0).Rectangle(50, 0, 100, 50);
    // The blit record without a bitmap fills with the brush (PATCOPY).
    b.Brush(0, Qt::green).Select(2).Rec(0x0940, {0x21, 0xF0, 0, 0, 0, 20, 20, 80, 0});
    const QImage img = Render(b);
    EXPECT_EQ(At(img, 25, 25), QColor(Qt::blue));
    EXPECT_EQ(At(img, 60, 60), QColor(Qt::blue));
    EXPECT_EQ(At(img, 60, 61), QColor(Qt::red));
    EXPECT_EQ(At(img, 61, 61), QColor(Qt::green));
    EXPECT_EQ(At(img, 75, 25), QColor(Qt::blue));
    EXPECT_EQ(At(img, 10, 90), QColor(Qt::green));
}

TEST(WmfBitmaps, DamagedBitmapsAreSkippedAndTheRestIsDrawn) {
    MetafileBuilder b = Canvas();
    const Bytes rows = {0, 0, 255, 0};
    Bytes shortData = Dib(2, 2, 24, rows);  // needs 16 bytes of pixels, has 4
    Bytes badDepth = Dib(1, 1, 3, rows);
    Bytes hugeWidth = Dib(1 << 30, 1, 1, rows);
    for (const Bytes* dib : {&shortData, &badDepth, &hugeWidth}) {
        b.Rec(0x0F43, {0x20, 0xCC, 0, 1, 1, 0, 0, 100, 100, 0, 0}, *dib);
    }
    b.Brush(0, Qt::red).Select(0).Rectangle(10, 10, 20, 20);
    const QImage img = Render(b);
    EXPECT_EQ(At(img, 50, 50), QColor(Qt::white));
    EXPECT_EQ(At(img, 15, 15), QColor(Qt::red));
}

TEST(WmfDib, RunLengthEncodedBitmapsDecode) {
    // RLE8, 4 x 2: bottom row 3 x index 1 then index 2; top row absolute 2,1,2 then end.
    const Bytes rle8 = {3, 1, 1, 2, 0, 0, 0, 3, 2, 1, 2, 0, 0, 1};
    const Bytes dib = Dib(4, 2, 8, rle8, {Qt::black, Qt::red, Qt::blue}, 1);
    const auto px = wmf::DecodeDib(View(dib), false, 1000);
    ASSERT_TRUE(px);
    const std::vector<std::uint32_t> expected = {0xFF0000FF, 0xFFFF0000, 0xFF0000FF, 0xFF000000,
                                                 0xFFFF0000, 0xFFFF0000, 0xFFFF0000, 0xFF0000FF};
    EXPECT_EQ(px->pixels, expected);
    // The pixel limit refuses a bitmap whose header promises more.
    EXPECT_FALSE(wmf::DecodeDib(View(dib), false, 7));
}
