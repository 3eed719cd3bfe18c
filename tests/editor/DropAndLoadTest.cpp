// Pictures brought in by drag and drop and through the picture picker.
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <functional>

#include "commands/ClipboardCommands.h"
#include "dialogs/PickerWait.h"
#include "dialogs/frmPicSelect.h"
#include "platform/qt/PendingPicture.h"
#include "support/Drops.h"
#include "support/PickerControls.h"
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
    void DropFiles(QWidget& target, const QStringList& names) const {
        QStringList paths;
        for (const QString& name : names) paths << folder + "/" + name;
        DropPaths(target, paths);
    }
};

TEST_F(DropAndLoad, DroppedFileBecomesThePictureAndNamesIt) {
    frmCapture& f = MakeForm();
    f.State().SetPictureFolder("/somewhere/");
    f.State().SetUndoReady(1);
    DropFiles(ui->canvasView, {"photo.jpeg"});
    EXPECT_EQ(ui->nameBox.text(), "photo");  // the whole extension goes, however long
    EXPECT_EQ(ui->canvasView.size(), QSize(60, 45));
    EXPECT_EQ(f.State().Reference().size(), QSize(60, 45));
    EXPECT_EQ(f.State().PictureFolder(), "/somewhere/");
    EXPECT_EQ(f.State().UndoReady(), 1);
}

TEST_F(DropAndLoad, ThreeFilesLeaveTheLastOnTheCanvas) {
    frmCapture& f = MakeForm();
    DropFiles(ui->viewPanel, {"one.bmp", "photo.jpeg", "two.png"});
    EXPECT_EQ(ui->nameBox.text(), "two");
    EXPECT_TRUE(SamePixels(f.State().Canvas().Picture(), Solid(50, 35, Qt::green)));
}

TEST_F(DropAndLoad, FileThatDoesNotLoadChangesNothing) {
    frmCapture& f = MakeForm();
    f.State().Canvas().SetPicture(Pattern(20, 20));
    ui->nameBox.setText("keep");
    DropFiles(ui->canvasView, {"notes.txt"});
    EXPECT_EQ(ui->nameBox.text(), "keep");
    EXPECT_TRUE(SamePixels(f.State().Canvas().Image(), Pattern(20, 20)));
    // A good file after a bad one still loads.
    DropFiles(ui->canvasView, {"notes.txt", "one.bmp"});
    EXPECT_EQ(ui->nameBox.text(), "one");
}

TEST_F(DropAndLoad, TextAndRemoteDataAreIgnored) {
    frmCapture& f = MakeForm();
    f.State().Canvas().SetPicture(Pattern(20, 20));
    ui->nameBox.setText("keep");
    QMimeData text;
    text.setText(folder + "/one.bmp");
    Drop(ui->canvasView, text);
    QMimeData remote;
    remote.setUrls({QUrl("https://example.org/one.bmp")});
    Drop(ui->viewPanel, remote);
    EXPECT_EQ(ui->nameBox.text(), "keep");
    EXPECT_TRUE(SamePixels(f.State().Canvas().Image(), Pattern(20, 20)));
}

// A dropped file whose name is not valid UTF-8 (bild%E4 from a Latin-1
// folder) cannot be opened: it is skipped like a file that does not load, and
// the file named with its look-alike text is not opened in its place.
TEST_F(DropAndLoad, AFileNameWithoutExactTextIsSkipped) {
    frmCapture& f = MakeForm();
    f.State().Canvas().SetPicture(Pattern(20, 20));
    ui->nameBox.setText("keep");
    const QByteArray raw = QFile::encodeName(folder) + "/bild\xe4.bmp";
    Solid(30, 30, Qt::red).save(QFile::decodeName(raw), "BMP");  // the look-alike, named with U+FFFD
    QMimeData data;
    data.setData("text/uri-list", "file://" + raw.toPercentEncoding("/") + "\r\n");
    ASSERT_EQ(data.urls().size(), 1);
    Drop(ui->canvasView, data);
    EXPECT_EQ(ui->nameBox.text(), "keep");
    EXPECT_TRUE(SamePixels(f.State().Canvas().Image(), Pattern(20, 20)));
}

// A drop that comes while another picture is still arriving (a paste or a
// load waiting for its decode) loads after it: the dropped picture stays.
TEST_F(DropAndLoad, ADropWhileAPictureArrivesLoadsAfterIt) {
    frmCapture& f = MakeForm();
    {
        const platform::PictureIntake::Stretch arriving(f.State().Intake());
        DropFiles(ui->canvasView, {"one.bmp"});
        EXPECT_EQ(ui->nameBox.text(), "");
        f.ReplacePicture(Solid(20, 20, Qt::green), AfterReplace::Layout);
    }
    QApplication::processEvents();
    EXPECT_EQ(ui->nameBox.text(), "one");
    EXPECT_TRUE(SamePixels(f.State().Canvas().Picture(), Solid(40, 30, Qt::red)));
}

TEST_F(DropAndLoad, DropLaysOutWithoutFittingTheWindow) {
    frmCapture& f = MakeForm();
    f.ResizeTwips(11430, 7305);
    Solid(2000, 100, Qt::red).save(folder + "/wide.png");
    DropFiles(ui->canvasView, {"wide.png"});
    EXPECT_EQ(f.WidthTwips(), 11430);
    EXPECT_TRUE(ui->horizontalScroll.isEnabled());
}

// The window fits the picture, but never so narrow that the tool bar is cut
// off: a tiny picture leaves every tool bar control reachable.
TEST_F(DropAndLoad, LoadThroughThePickerFitsTheWindowButKeepsTheToolBar) {
    frmCapture& f = MakeForm();
    Solid(50, 30, Qt::red).save(folder + "/tiny.bmp");
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder);
    WhenPickerOpens([](frmPicSelect& picker) {
        EXPECT_EQ(picker.windowTitle(), "Bild laden");
        ASSERT_TRUE(Files(picker).SelectFileName("tiny.bmp"));
        picker.Accept();
    });
    f.OnButtonClick(ToolbarButton::Load);
    QDir::setCurrent(previous);
    EXPECT_EQ(dialogs::OpenPicker(f), nullptr);
    EXPECT_EQ(ui->nameBox.text(), "tiny");
    EXPECT_EQ(f.State().PictureFolder(), folder + "/");
    EXPECT_TRUE(SamePixels(f.State().Canvas().Picture(), Solid(50, 30, Qt::red)));
    EXPECT_TRUE(SamePixels(f.State().Reference(), Solid(50, 30, Qt::red)));
    // Picture, back buffer and reference are one block of pixels until a drawing.
    EXPECT_EQ(f.State().Canvas().Image().constBits(), f.State().Canvas().Picture().constBits());
    EXPECT_EQ(f.State().Reference().constBits(), f.State().Canvas().Picture().constBits());
    EXPECT_EQ(f.width(), 608);  // the right edge of the format choice
    EXPECT_EQ(f.HeightTwips(), 30 * 15 + 1180);
    EXPECT_EQ(ui->canvasView.geometry(), QRect(0, 0, 50, 30));
    EXPECT_FALSE(ui->horizontalScroll.isEnabled());
    for (const QWidget* control : ui->toolbarStrip.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (control->isHidden()) continue;
        EXPECT_LE(control->mapTo(&f, control->rect().bottomRight()).x(), f.width() - 1);
    }
}

// A chosen file that does not load leaves the canvas with its drawings; the
// reference picture and the window fitting follow all the same, and the name
// and folder the picker set stay.
TEST_F(DropAndLoad, PickedFileThatDoesNotLoadStillRefreshesTheReferenceAndFitsTheWindow) {
    frmCapture& f = MakeForm();
    WriteText(folder + "/broken.bmp", "BM not really a bitmap");
    f.State().Canvas().SetPicture(Pattern(700, 200));
    f.State().SetReference(Solid(5, 5, Qt::blue));
    f.State().Canvas().Line(QPointF(10, 10), QPointF(90, 10), 0x0000FF);  // a drawing on the canvas
    const QImage drawn = f.State().Canvas().Image().copy();
    f.ResizeTwips(11430, 7305);
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder);
    WhenPickerOpens([](frmPicSelect& picker) {
        ASSERT_TRUE(Files(picker).SelectFileName("broken.bmp"));
        picker.Accept();
    });
    f.OnButtonClick(ToolbarButton::Load);
    QDir::setCurrent(previous);
    EXPECT_EQ(dialogs::OpenPicker(f), nullptr);
    EXPECT_EQ(ui->nameBox.text(), "broken");
    EXPECT_EQ(f.State().PictureFolder(), folder + "/");
    EXPECT_TRUE(SamePixels(f.State().Canvas().Picture(), Pattern(700, 200)));
    EXPECT_TRUE(SamePixels(f.State().Canvas().Image(), drawn));
    EXPECT_TRUE(SamePixels(f.State().Reference(), Pattern(700, 200)));
    EXPECT_EQ(f.WidthTwips(), 700 * 15 + 445);
    EXPECT_EQ(f.HeightTwips(), 200 * 15 + 1180);
    EXPECT_TRUE(messages.empty());
}

TEST_F(DropAndLoad, CancelCloseOrNoSelectionLeaveEverything) {
    frmCapture& f = MakeForm();
    f.State().Canvas().SetPicture(Pattern(20, 20));
    ui->nameBox.setText("keep");
    f.State().SetPictureFolder("/before/");
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder);
    const std::function<void(frmPicSelect&)> endings[] = {
        [](frmPicSelect& picker) { picker.Cancel(); },
        [](frmPicSelect& picker) { picker.close(); },
        [](frmPicSelect& picker) {
            picker.Accept();  // nothing selected: the picker stays open
            EXPECT_TRUE(picker.isVisible());
            picker.close();
        },
    };
    for (const auto& ending : endings) {
        WhenPickerOpens(ending);
        f.OnButtonClick(ToolbarButton::Load);
        EXPECT_EQ(dialogs::OpenPicker(f), nullptr);
        EXPECT_EQ(ui->nameBox.text(), "keep");
        EXPECT_EQ(f.State().PictureFolder(), "/before/");
        EXPECT_TRUE(SamePixels(f.State().Canvas().Image(), Pattern(20, 20)));
    }
    QDir::setCurrent(previous);
}

TEST_F(DropAndLoad, ClosingTheEditorWhileThePickerWaitsEndsTheLoad) {
    frmCapture& f = MakeForm();
    f.show();
    f.State().Canvas().SetPicture(Pattern(20, 20));
    WhenPickerOpens([&f](frmPicSelect&) { f.close(); });
    f.OnButtonClick(ToolbarButton::Load);
    EXPECT_EQ(dialogs::OpenPicker(f), nullptr);
    EXPECT_TRUE(SamePixels(f.State().Canvas().Image(), Pattern(20, 20)));
}

}  // namespace
