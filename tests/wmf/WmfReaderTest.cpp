// Metafile headers, record validation, picture size and the limits that keep
// hostile files from crashing, hanging or taking too much memory.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <random>

#include "platform/wmf/WmfPicture.h"
#include "platform/wmf/WmfReader.h"
#include "wmf/WmfBuilder.h"

using namespace wmftest;

namespace {

MetafileBuilder SimpleDrawing() {
    MetafileBuilder b;
    b.SetPlaceable(0, 0, 100, 100, 96);
    b.Window(0, 0, 100, 100).Brush(0, Qt::red).Select(0).Rectangle(10, 10, 50, 50);
    return b;
}

}  // namespace

TEST(WmfReader, RecognisesPlaceableAndPlainHeadersOnly) {
    MetafileBuilder b = SimpleDrawing();
    EXPECT_TRUE(wmf::HasMetafileSignature(View(b.Build())));
    MetafileBuilder plain;
    plain.Window(0, 0, 10, 10);
    EXPECT_TRUE(wmf::HasMetafileSignature(View(plain.Build())));

    Bytes badVersion = plain.Build();
    badVersion[4] = 0x00, badVersion[5] = 0x02;  // version 0x0200 does not exist
    EXPECT_FALSE(wmf::HasMetafileSignature(View(badVersion)));
    const Bytes bmp = {'B', 'M', 0x36, 0, 0, 0, 0, 0, 0, 0, 0x36, 0, 0, 0, 0x28, 0, 0, 0};
    EXPECT_FALSE(wmf::HasMetafileSignature(View(bmp)));
    EXPECT_FALSE(wmf::HasMetafileSignature({}));
}

TEST(WmfReader, SplitsRecordsUpToTheEndRecord) {
    const Bytes file = SimpleDrawing().Build();
    const auto mf = wmf::ParseMetafile(View(file));
    ASSERT_TRUE(mf);
    ASSERT_TRUE(mf->placeable);
    EXPECT_EQ(mf->placeable->right, 100);
    EXPECT_EQ(mf->placeable->unitsPerInch, 96);
    std::vector<wmf::Record> records;
    mf->ForEachRecord([&records](const wmf::Record& r) {
        records.push_back(r);
        return true;
    });
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[4].function, 0x041B);
    EXPECT_EQ(records[4].params.S16(3), 10);  // left
    EXPECT_EQ(records[4].params.Words(), 4u);

    // Bytes after the end record are ignored.
    Bytes trailing = file;
    trailing.insert(trailing.end(), {1, 2, 3});
    EXPECT_TRUE(wmf::ParseMetafile(View(trailing)));
}

TEST(WmfReader, RefusesBrokenRecordStructure) {
    const Bytes good = SimpleDrawing().Build();
    // Truncated anywhere: no end record, or a record reaching past the end.
    for (std::size_t cut = 0; cut < good.size(); ++cut) {
        const Bytes part(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
        EXPECT_FALSE(wmf::ParseMetafile(View(part))) << "cut at " << cut;
        EXPECT_TRUE(LoadWindowsMetafile(View(part)).isNull());
    }
    // A record that claims more words than remain.
    MetafileBuilder b = SimpleDrawing();
    Bytes huge = b.Build();
    const std::size_t firstRecord = 22 + 18;
    huge[firstRecord + 2] = 0x01;  // size becomes 0x00010005 words
    EXPECT_FALSE(wmf::ParseMetafile(View(huge)));
    // A record shorter than its own header (size 2 words).
    Bytes tiny = b.Build();
    tiny[firstRecord] = 2;
    EXPECT_FALSE(wmf::ParseMetafile(View(tiny)));
    // A placeable key followed by no metafile header.
    const Bytes onlyKey = {0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 0, 0, 0, 0, 100, 0, 100, 0, 96, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_FALSE(wmf::ParseMetafile(View(onlyKey)));
}

TEST(WmfReader, ParamsNeverReadPastTheRecord) {
    const Bytes raw = {1, 2, 3};  // one and a half words
    const wmf::Params p(View(raw));
    EXPECT_EQ(p.Words(), 1u);
    EXPECT_EQ(p.U16(0), 0x0201);
    EXPECT_EQ(p.U16(1), 0);
    EXPECT_EQ(p.U32(0), 0x0201u);
    EXPECT_TRUE(p.From(2).empty());
    EXPECT_TRUE(p.From(1000000).empty());
}

TEST(WmfPictureSize, ComesFromBoundingBoxAndUnitsPerInch) {
    MetafileBuilder b;
    b.SetPlaceable(-720, 0, 720, 2160, 1440);  // 1 x 1.5 inch at 96 DPI
    b.Window(-720, 0, 1440, 2160);
    const QImage image = LoadWindowsMetafile(View(b.Build()));
    EXPECT_EQ(image.size(), QSize(96, 144));

    MetafileBuilder zeroInch;
    zeroInch.SetPlaceable(0, 0, 100, 100, 0);
    EXPECT_TRUE(LoadWindowsMetafile(View(zeroInch.Build())).isNull());
    MetafileBuilder emptyBox;
    emptyBox.SetPlaceable(0, 0, 0, 100, 96);
    EXPECT_TRUE(LoadWindowsMetafile(View(emptyBox.Build())).isNull());
}

TEST(WmfPictureSize, PlainMetafileUsesItsWindowExtent) {
    MetafileBuilder b;
    b.Rec(0x0103, {8}).Window(0, 0, 123, -45);  // a negative extent gives the same size
    EXPECT_EQ(LoadWindowsMetafile(View(b.Build())).size(), QSize(123, 45));

    MetafileBuilder noExtent;
    noExtent.Rectangle(0, 0, 10, 10);
    EXPECT_TRUE(LoadWindowsMetafile(View(noExtent.Build())).isNull());
}

TEST(WmfPictureSize, RefusesPicturesBeyondTheLoaderLimits) {
    MetafileBuilder wide;
    wide.SetPlaceable(0, 0, 32767, 10, 48);  // 65534 pixels wide
    EXPECT_TRUE(LoadWindowsMetafile(View(wide.Build())).isNull());

    // 32767 x 16384 is within the side limit but needs 2 GiB.
    MetafileBuilder big;
    big.SetPlaceable(0, 0, 32767, 16384, 96);
    EXPECT_TRUE(LoadWindowsMetafile(View(big.Build())).isNull());

    wmf::RenderLimits small;
    small.maxSide = 50;
    MetafileBuilder fits = SimpleDrawing();
    EXPECT_TRUE(wmf::RenderMetafile(View(fits.Build()), small).isNull());
}

TEST(WmfRobustness, EndlessDrawingRunsOutOfBudgetInsteadOfHanging) {
    MetafileBuilder b;
    b.SetPlaceable(0, 0, 1000, 1000, 96);
    b.Window(0, 0, 1000, 1000).Brush(0, Qt::blue).Select(0);
    for (int i = 0; i < 5000; ++i) b.Ellipse(-30000, -30000, 30000, 30000);
    QElapsedTimer timer;
    timer.start();
    EXPECT_TRUE(LoadWindowsMetafile(View(b.Build())).isNull());
    EXPECT_LT(timer.elapsed(), 20000);  // generous: only guards against a hang

    // The same drawing a few times is an ordinary picture.
    MetafileBuilder few;
    few.SetPlaceable(0, 0, 1000, 1000, 96);
    few.Window(0, 0, 1000, 1000).Brush(0, Qt::blue).Select(0);
    for (int i = 0; i < 5; ++i) few.Ellipse(-30000, -30000, 30000, 30000);
    EXPECT_FALSE(LoadWindowsMetafile(View(few.Build())).isNull());
}

TEST(WmfRobustness, DamagedCopiesOfAFullDrawingNeverCrash) {
    MetafileBuilder b;
    b.SetPlaceable(0, 0, 200, 200, 96);
    b.Window(0, 0, 200, 200).Pen(1, 0, Qt::black).Brush(2, Qt::green, 3).Font(-20, "Arial", 700);
    b.Select(0).Select(1).Select(2).Rec(0x001E).Rectangle(10, 10, 100, 100);
    b.Points(0x0324, {0, 0, 200, 0, 100, 200}).Rec(0x0127, {-1});
    b.Rec(0x0817, {0, 100, 100, 0, 200, 200, 0, 0}).Rec(0x0521, {3, 'a' | ('b' << 8), 'c', 50, 50});
    b.Rec(0x0F43, {0x20, 0xCC, 0, 1, 1, 0, 0, 100, 100, 0, 0}, Dib(1, 1, 24, {0, 0, 255, 0}));
    const Bytes good = b.Build();
    ASSERT_FALSE(LoadWindowsMetafile(View(good)).isNull());

    std::mt19937 rng(1234);
    for (int round = 0; round < 2000; ++round) {
        Bytes damaged = good;
        const int flips = 1 + static_cast<int>(rng() % 8);
        for (int i = 0; i < flips; ++i) damaged[rng() % damaged.size()] = static_cast<std::uint8_t>(rng());
        const QImage image = LoadWindowsMetafile(View(damaged));
        if (!image.isNull()) {
            EXPECT_LE(image.width(), 32767);
        }
    }
}
