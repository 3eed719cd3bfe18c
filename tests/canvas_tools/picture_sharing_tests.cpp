// A picture is held once: the canvas's back buffer is the one full copy; the
// assigned picture, the eraser's reference and the undo snapshot are versions
// of it that keep only what a stroke drew over, and the eraser still restores
// the unmarked picture.
#include <QGuiApplication>
#include <QMimeData>
#include <QTemporaryDir>
#include <functional>

#include "StartPictures.h"
#include "commands/ClipboardCommands.h"
#include "support/Drops.h"

namespace tools2_test {
namespace {

template <typename Fixture>
class Sharing : public Fixture {
  protected:
    const uchar* CanvasPicture() { return this->Surface().Picture().constBits(); }
    const uchar* CanvasBuffer() { return this->Surface().Image().constBits(); }
    const canvas::Version& Reference() { return this->State().ReferenceVersion(); }
};

using PictureSharingTest = Sharing<ToolSetFixture>;
// Pictures come in through the window's paste button and its drop target.
using PictureSharingWindowTest = Sharing<EditorFixture>;

TEST_F(PictureSharingWindowTest, EveryWayInHoldsThePictureOnce) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("dropped.bmp"));
    ASSERT_TRUE(TestPicture(90, 70).save(file));
    struct Way {
        const char* name;
        std::function<void()> bringIn;
        QSize size;
        bool referenceFollows;
    };
    const Way ways[] = {
        {"paste",
         [&] {
             commands::PutPictureOnClipboard(TestPicture(120, 80));
             Paste();
         },
         {120, 80},
         true},
        {"drop", [&] { test_support::DropPaths(Canvas(), QStringList{file}); }, {90, 70}, true},
        {"crop",
         [&] {
             QTest::mouseClick(&CropButton(), Qt::LeftButton);
             Press(10, 10);
             MoveTo(60, 40);
             Release(60, 40);
         },
         {50, 30},
         true},
        {"undo",
         [&] {
             // The second press's snapshot holds the first stroke.
             Stroke({{10, 20}, {40, 20}});
             Stroke({{10, 30}, {40, 30}});
             Undo();
         },
         {200, 150},
         false},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        Load(TestPicture());
        State().SetCurrentTool(1);
        const canvas::Version before = Reference();
        way.bringIn();
        EXPECT_EQ(Surface().Picture().size(), way.size);
        EXPECT_EQ(CanvasBuffer(), CanvasPicture());
        EXPECT_EQ(Reference() == Surface().PictureVersion(), way.referenceFollows);
        if (!way.referenceFollows) {
            EXPECT_EQ(Reference(), before);
        }
    }
}

TEST_F(PictureSharingTest, DrawingKeepsOnlyWhatItOverwroteAndTheEraserRestoresTheUnmarkedPicture) {
    const QImage unmarked = TestPicture();
    const uchar* shared = CanvasBuffer();
    ASSERT_EQ(CanvasPicture(), shared);
    State().SetCurrentTool(1);
    State().SetCurrentColor(0x00000000);
    Stroke({{10, 100}, {50, 100}});
    ASSERT_EQ(Pixel(30, 100), 0x000000u);
    // The canvas draws in its own block, copying nothing whole; picture,
    // reference and the snapshot on the clipboard still read the unmarked
    // pixels, keeping only the tiles the stroke went over.
    EXPECT_EQ(CanvasBuffer(), shared);
    EXPECT_EQ(Reference(), Surface().PictureVersion());
    EXPECT_TRUE(SamePixels(Surface().Picture(), unmarked));
    EXPECT_TRUE(SamePixels(State().Reference(), unmarked));
    EXPECT_TRUE(SamePixels(commands::ClipboardPicture(), unmarked));
    EXPECT_TRUE(Reference()->OverwrittenIn(QRect(10, 100, 40, 1)));
    EXPECT_FALSE(Reference()->OverwrittenIn(QRect(150, 0, 50, 50)));

    Stroke({{10, 120}, {50, 120}});
    Stroke({{10, 130}, {50, 130}});
    EXPECT_EQ(CanvasBuffer(), shared);

    // Undo brings back the canvas before the last stroke, marked; erasing
    // then restores exactly the unmarked picture, read without copying it.
    Undo();
    ASSERT_EQ(Pixel(30, 120), 0x000000u);
    ASSERT_EQ(Pixel(30, 130), 0xFFFFFFu);
    State().SetCurrentTool(5);
    Press(25, 95);
    MoveTo(25, 115);
    Release(25, 115);
    for (const QPoint at : {QPoint(30, 100), QPoint(30, 120)})
        EXPECT_EQ(Pixel(at.x(), at.y()), unmarked.pixel(at) & 0xFFFFFF) << at.x() << "," << at.y();
    EXPECT_TRUE(SamePixels(State().Reference(), unmarked));
}

// Another program reading the clipboard in the middle of a stroke gets the
// picture of the press, whole, in both formats; undo then brings it back.
TEST_F(PictureSharingTest, AReaderMidStrokeGetsThePictureOfThePress) {
    const QImage before = Surface().Image().copy();
    State().SetCurrentTool(1);
    State().SetCurrentColor(0x00000000);
    Press(10, 100);
    MoveTo(60, 100);
    ASSERT_EQ(Pixel(30, 100), 0x000000u);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    for (const char* format : {"PNG", "BMP"}) {
        const QByteArray bytes = data->data(QStringLiteral("image/") + QString::fromLatin1(format).toLower());
        EXPECT_TRUE(SamePixels(QImage::fromData(bytes, format).convertToFormat(QImage::Format_RGB32), before))
            << format;
    }
    MoveTo(90, 100);
    Release(90, 100);
    Undo();
    EXPECT_TRUE(SamePixels(Surface().Image(), before));
}

}  // namespace
}  // namespace tools2_test
