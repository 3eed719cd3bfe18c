// A picture is held once: the canvas's picture, its back buffer, the eraser's
// reference and the undo snapshot share one block of pixels until a drawing
// needs its own, and the eraser still restores the unmarked picture.
#include <QTemporaryDir>
#include <functional>

#include "StartPictures.h"
#include "commands/ClipboardCommands.h"
#include "support/Drops.h"

namespace tools2_test {
namespace {

class PictureSharingTest : public EditorFixture {
  protected:
    const uchar* CanvasPicture() { return Surface().Picture().constBits(); }
    const uchar* CanvasBuffer() { return Surface().Image().constBits(); }
    const uchar* Reference() { return form->State().Reference().constBits(); }
};

TEST_F(PictureSharingTest, EveryWayInHoldsThePictureOnce) {
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
             form->Command1_Click(4);
         },
         {120, 80},
         true},
        {"drop", [&] { test_support::DropPaths(Canvas(), QStringList{file}); }, {90, 70}, true},
        {"crop",
         [&] {
             QTest::mouseClick(&ui->Check1, Qt::LeftButton);
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
             form->Command1_Click(6);
         },
         {200, 150},
         false},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        Load(TestPicture());
        form->State().SetCurrentTool(1);
        const uchar* before = Reference();
        way.bringIn();
        EXPECT_EQ(Surface().Picture().size(), way.size);
        EXPECT_EQ(CanvasBuffer(), CanvasPicture());
        EXPECT_EQ(Reference() == CanvasPicture(), way.referenceFollows);
        if (!way.referenceFollows) {
            EXPECT_EQ(Reference(), before);
        }
    }
}

TEST_F(PictureSharingTest, DrawingCopiesTheCanvasOnlyAndTheEraserRestoresTheUnmarkedPicture) {
    const QImage unmarked = TestPicture();
    const uchar* shared = CanvasPicture();
    ASSERT_EQ(CanvasBuffer(), shared);
    form->State().SetCurrentTool(1);
    form->State().SetCurrentColor(0x00000000);
    Stroke({{10, 100}, {50, 100}});
    ASSERT_EQ(Pixel(30, 100), 0x000000u);
    // Only the canvas took a copy; picture, reference and the snapshot on the
    // clipboard still share the unmarked pixels.
    const uchar* firstCanvas = CanvasBuffer();
    EXPECT_NE(firstCanvas, shared);
    EXPECT_EQ(CanvasPicture(), shared);
    EXPECT_EQ(Reference(), shared);
    EXPECT_EQ(commands::ClipboardPicture().constBits(), shared);
    EXPECT_EQ(Surface().Picture(), unmarked);

    // Later strokes take turns between two blocks: the snapshot the
    // clipboard let go of becomes the next canvas.
    Stroke({{10, 120}, {50, 120}});
    Stroke({{10, 130}, {50, 130}});
    EXPECT_EQ(CanvasBuffer(), firstCanvas);

    // Undo brings back the canvas before the last stroke, marked; erasing
    // then restores exactly the unmarked picture, read without copying it.
    form->Command1_Click(6);
    ASSERT_EQ(Pixel(30, 120), 0x000000u);
    ASSERT_EQ(Pixel(30, 130), 0xFFFFFFu);
    form->State().SetCurrentTool(5);
    Press(25, 95);
    MoveTo(25, 115);
    Release(25, 115);
    for (const QPoint at : {QPoint(30, 100), QPoint(30, 120)})
        EXPECT_EQ(Pixel(at.x(), at.y()), unmarked.pixel(at) & 0xFFFFFF) << at.x() << "," << at.y();
    EXPECT_EQ(Reference(), shared);
}

}  // namespace
}  // namespace tools2_test
