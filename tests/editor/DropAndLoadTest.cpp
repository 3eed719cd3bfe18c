// Pictures brought in by drag and drop and through the picture picker.
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <functional>

#include "commands/ClipboardCommands.h"
#include "dialogs/frmPicSelect.h"
#include "platform/qt/PendingPicture.h"
#include "support/ProgramSandbox.h"

using namespace test_support;

namespace {

class DropAndLoad : public SandboxedEditorTest {
  protected:
    void SetUp() override {
        SandboxedEditorTest::SetUp();
        Solid(40, 30, Qt::red).save(folder + "/one.bmp");
        Solid(50, 35, Qt::green).save(folder + "/two.png");
        Solid(60, 45, Qt::blue).save(folder + "/photo.jpeg", "JPG");
        WriteText(folder + "/notes.txt", "not a picture");
    }
    // Drags data onto a widget and drops it there, then lets the deferred
    // loading run.
    static void Drop(QWidget& target, const QMimeData& data) {
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&target, &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&target, &drop);
        QApplication::processEvents();
        QApplication::processEvents();
    }
    void DropFiles(QWidget& target, const QStringList& names) const {
        QList<QUrl> urls;
        for (const QString& name : names) urls << QUrl::fromLocalFile(folder + "/" + name);
        QMimeData data;
        data.setUrls(urls);
        Drop(target, data);
    }
};

TEST_F(DropAndLoad, DroppedFileBecomesThePictureAndNamesIt) {
    frmCapture& f = MakeForm();
    app::G().strPictureFolder = "/somewhere/";
    f.intUndoReady = 1;
    DropFiles(f.Picture2, {"photo.jpeg"});
    EXPECT_EQ(f.Text1.text(), "photo");  // the whole extension goes, however long
    EXPECT_EQ(f.Picture2.size(), QSize(60, 45));
    EXPECT_EQ(f.picUndo.Picture().size(), QSize(60, 45));
    EXPECT_EQ(app::G().strPictureFolder, "/somewhere/");
    EXPECT_EQ(f.intUndoReady, 1);
}

TEST_F(DropAndLoad, ThreeFilesLeaveTheLastOnTheCanvas) {
    frmCapture& f = MakeForm();
    DropFiles(f.Picture3, {"one.bmp", "photo.jpeg", "two.png"});
    EXPECT_EQ(f.Text1.text(), "two");
    EXPECT_TRUE(SamePixels(f.Picture2.Picture(), Solid(50, 35, Qt::green)));
}

TEST_F(DropAndLoad, FileThatDoesNotLoadChangesNothing) {
    frmCapture& f = MakeForm();
    f.SetAssignedPicture(Pattern(20, 20));
    f.Text1.setText("keep");
    DropFiles(f.Picture2, {"notes.txt"});
    EXPECT_EQ(f.Text1.text(), "keep");
    EXPECT_TRUE(SamePixels(f.Picture2.Image(), Pattern(20, 20)));
    // A good file after a bad one still loads.
    DropFiles(f.Picture2, {"notes.txt", "one.bmp"});
    EXPECT_EQ(f.Text1.text(), "one");
}

TEST_F(DropAndLoad, TextAndRemoteDataAreIgnored) {
    frmCapture& f = MakeForm();
    f.SetAssignedPicture(Pattern(20, 20));
    f.Text1.setText("keep");
    QMimeData text;
    text.setText(folder + "/one.bmp");
    Drop(f.Picture2, text);
    QMimeData remote;
    remote.setUrls({QUrl("https://example.org/one.bmp")});
    Drop(f.Picture3, remote);
    EXPECT_EQ(f.Text1.text(), "keep");
    EXPECT_TRUE(SamePixels(f.Picture2.Image(), Pattern(20, 20)));
}

// A drop that comes while another picture is still arriving (a paste or a
// load waiting for its decode) loads after it: the dropped picture stays.
TEST_F(DropAndLoad, ADropWhileAPictureArrivesLoadsAfterIt) {
    frmCapture& f = MakeForm();
    {
        const platform::PictureIntake arriving;
        DropFiles(f.Picture2, {"one.bmp"});
        EXPECT_EQ(f.Text1.text(), "");
        f.ReplacePicture(Solid(20, 20, Qt::green), AfterReplace::Layout);
    }
    QApplication::processEvents();
    EXPECT_EQ(f.Text1.text(), "one");
    EXPECT_TRUE(SamePixels(f.Picture2.Picture(), Solid(40, 30, Qt::red)));
}

TEST_F(DropAndLoad, DropLaysOutWithoutFittingTheWindow) {
    frmCapture& f = MakeForm();
    f.ResizeTwips(11430, 7305);
    Solid(2000, 100, Qt::red).save(folder + "/wide.png");
    DropFiles(f.Picture2, {"wide.png"});
    EXPECT_EQ(f.WidthTwips(), 11430);
    EXPECT_TRUE(f.HScroll1.isEnabled());
}

TEST_F(DropAndLoad, LoadThroughThePickerFitsTheWindow) {
    frmCapture& f = MakeForm();
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder);
    WhenPickerOpens([](frmPicSelect& picker) {
        EXPECT_EQ(picker.windowTitle(), "Bild laden");
        ASSERT_TRUE(picker.File1.SelectFileName("one.bmp"));
        picker.Command1_Click();
    });
    f.Command1_Click(0);
    QDir::setCurrent(previous);
    EXPECT_EQ(app::G().intDialogOpen, 0);
    EXPECT_EQ(f.Text1.text(), "one");
    EXPECT_EQ(app::G().strPictureFolder, folder + "/");
    EXPECT_TRUE(SamePixels(f.Picture2.Picture(), Solid(40, 30, Qt::red)));
    EXPECT_TRUE(SamePixels(f.picUndo.Picture(), Solid(40, 30, Qt::red)));
    // Picture, back buffer and reference are one block of pixels until a drawing.
    EXPECT_EQ(f.Picture2.Image().constBits(), f.Picture2.Picture().constBits());
    EXPECT_EQ(f.picUndo.Image().constBits(), f.Picture2.Picture().constBits());
    EXPECT_EQ(f.WidthTwips(), 40 * 15 + 445);
    EXPECT_EQ(f.HeightTwips(), 30 * 15 + 1180);
}

// A chosen file that does not load leaves the canvas with its drawings; the
// reference picture and the window fitting follow all the same, and the name
// and folder the picker set stay.
TEST_F(DropAndLoad, PickedFileThatDoesNotLoadStillRefreshesTheReferenceAndFitsTheWindow) {
    frmCapture& f = MakeForm();
    WriteText(folder + "/broken.bmp", "BM not really a bitmap");
    f.SetAssignedPicture(Pattern(300, 200));
    f.picUndo.SetPicture(Solid(5, 5, Qt::blue));
    f.Picture2.Line(10, 10, 90, 10, 0x0000FF);  // a drawing on the canvas
    const QImage drawn = f.Picture2.Image().copy();
    f.ResizeTwips(11430, 7305);
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder);
    WhenPickerOpens([](frmPicSelect& picker) {
        ASSERT_TRUE(picker.File1.SelectFileName("broken.bmp"));
        picker.Command1_Click();
    });
    f.Command1_Click(0);
    QDir::setCurrent(previous);
    EXPECT_EQ(app::G().intDialogOpen, 0);
    EXPECT_EQ(f.Text1.text(), "broken");
    EXPECT_EQ(app::G().strPictureFolder, folder + "/");
    EXPECT_TRUE(SamePixels(f.Picture2.Picture(), Pattern(300, 200)));
    EXPECT_TRUE(SamePixels(f.Picture2.Image(), drawn));
    EXPECT_TRUE(SamePixels(f.picUndo.Picture(), Pattern(300, 200)));
    EXPECT_EQ(f.WidthTwips(), 300 * 15 + 445);
    EXPECT_EQ(f.HeightTwips(), 200 * 15 + 1180);
    EXPECT_TRUE(messages.empty());
}

TEST_F(DropAndLoad, CancelCloseOrNoSelectionLeaveEverything) {
    frmCapture& f = MakeForm();
    f.SetAssignedPicture(Pattern(20, 20));
    f.Text1.setText("keep");
    app::G().strPictureFolder = "/before/";
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder);
    const std::function<void(frmPicSelect&)> endings[] = {
        [](frmPicSelect& picker) { picker.Command2_Click(); },
        [](frmPicSelect& picker) { picker.close(); },
        [](frmPicSelect& picker) {
            picker.Command1_Click();  // nothing selected: the picker stays open
            EXPECT_TRUE(picker.isVisible());
            picker.close();
        },
    };
    for (const auto& ending : endings) {
        WhenPickerOpens(ending);
        f.Command1_Click(0);
        EXPECT_EQ(app::G().intDialogOpen, 0);
        EXPECT_EQ(f.Text1.text(), "keep");
        EXPECT_EQ(app::G().strPictureFolder, "/before/");
        EXPECT_TRUE(SamePixels(f.Picture2.Image(), Pattern(20, 20)));
    }
    QDir::setCurrent(previous);
}

TEST_F(DropAndLoad, ClosingTheEditorWhileThePickerWaitsEndsTheLoad) {
    frmCapture& f = MakeForm();
    f.show();
    f.SetAssignedPicture(Pattern(20, 20));
    WhenPickerOpens([&f](frmPicSelect&) { f.close(); });
    f.Command1_Click(0);
    EXPECT_EQ(app::G().intDialogOpen, 0);
    EXPECT_TRUE(SamePixels(f.Picture2.Image(), Pattern(20, 20)));
}

}  // namespace
