// Copy, paste, undo and the Ctrl+V poll, on the real clipboard.
#include <QMimeData>

#include "app/ClipboardKeeper.h"
#include "commands/ClipboardCommands.h"
#include "editor/EditorFixture.h"
#include "platform/qt/PictureClipboard.h"

using namespace editor_test;

namespace {

class Clipboard : public EditorTest {
  protected:
    frmCapture& ActiveForm() {
        frmCapture& f = MakeForm();
        f.Timer1.stop();  // the tests drive the poll themselves
        f.show();
        f.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&f));
        return f;
    }
    static void PressCtrlV(QWidget& target) {
        QTest::keyPress(&target, Qt::Key_Control, Qt::NoModifier);
        QTest::keyPress(&target, Qt::Key_V, Qt::ControlModifier);
    }
    static void ReleaseCtrlV(QWidget& target) {
        QTest::keyRelease(&target, Qt::Key_V, Qt::ControlModifier);
        QTest::keyRelease(&target, Qt::Key_Control, Qt::NoModifier);
    }
};

TEST_F(Clipboard, CopyAndPasteRoundTripTheCanvasImageWithItsDrawings) {
    frmCapture& f = MakeForm();
    f.SetAssignedPicture(Pattern(120, 80));
    f.Picture2.ForeColor = 0x000000FF;
    f.Picture2.DrawWidth = 3;
    f.Picture2.Line(10, 10, 100, 60);
    const QImage drawn = f.Picture2.Image().copy();
    f.Command1_Click(3);
    EXPECT_TRUE(SamePixels(commands::ClipboardPicture(), drawn));

    f.SetAssignedPicture(Solid(30, 20, Qt::green));
    f.Command1_Click(4);
    EXPECT_TRUE(SamePixels(f.Picture2.Image(), drawn));
    EXPECT_TRUE(SamePixels(f.Picture2.Picture(), drawn));
    EXPECT_TRUE(SamePixels(f.picUndo.Picture(), drawn));
    EXPECT_EQ(f.Picture2.size(), QSize(120, 80));
}

TEST_F(Clipboard, PasteWithoutAPictureKeepsCanvasAndReference) {
    frmCapture& f = MakeForm();
    f.SetAssignedPicture(Pattern(50, 40));
    f.SetUndoPictureFromCanvas();
    f.Picture2.Line(0, 0, 49, 39, 0x00FFFFFF);
    const QImage drawn = f.Picture2.Image().copy();
    QGuiApplication::clipboard()->setText("just text");
    f.Command1_Click(4);
    EXPECT_TRUE(SamePixels(f.Picture2.Image(), drawn));
    EXPECT_TRUE(SamePixels(f.picUndo.Picture(), Pattern(50, 40)));
}

TEST_F(Clipboard, PasteLaysOutButKeepsTheWindowSize) {
    frmCapture& f = MakeForm();
    f.ResizeTwips(11430, 7305);
    commands::PutPictureOnClipboard(Solid(1500, 900, Qt::blue));
    f.Command1_Click(4);
    EXPECT_EQ(f.WidthTwips(), 11430);
    EXPECT_TRUE(f.HScroll1.isEnabled());
    EXPECT_EQ(f.HScroll1.maximum(), 1500 * 15 - f.Picture3WidthTwips() + 70);
}

TEST_F(Clipboard, UndoRestoresTheSnapshotOnceThenDoesNothing) {
    frmCapture& f = MakeForm();
    const QImage before = Pattern(64, 48);
    f.SetAssignedPicture(before);
    // What a press on the canvas does before a stroke.
    f.intUndoReady = 1;
    commands::EmptyClipboard();
    commands::PutPictureOnClipboard(f.Picture2.Image());
    f.Picture2.Line(0, 0, 63, 47, 0x0000FF00);
    ASSERT_FALSE(SamePixels(f.Picture2.Image(), before));

    f.Command1_Click(6);
    EXPECT_TRUE(SamePixels(f.Picture2.Image(), before));
    EXPECT_EQ(f.intUndoReady, 0);

    f.Picture2.Line(0, 47, 63, 0, 0x0000FF00);
    const QImage drawnAgain = f.Picture2.Image().copy();
    f.Command1_Click(6);
    EXPECT_TRUE(SamePixels(f.Picture2.Image(), drawnAgain));
}

TEST_F(Clipboard, UndoWithoutAPictureKeepsTheCanvasButResetsTheFlag) {
    frmCapture& f = MakeForm();
    f.SetAssignedPicture(Pattern(20, 20));
    f.SetUndoPictureFromCanvas();
    f.intUndoReady = 1;
    QGuiApplication::clipboard()->setText("no picture");
    f.Command1_Click(6);
    EXPECT_EQ(f.intUndoReady, 0);
    EXPECT_TRUE(SamePixels(f.Picture2.Image(), Pattern(20, 20)));
    EXPECT_TRUE(SamePixels(f.picUndo.Picture(), Pattern(20, 20)));
}

TEST_F(Clipboard, CopyAfterAStrokeMakesUndoKeepTheStroke) {
    frmCapture& f = MakeForm();
    f.SetAssignedPicture(Pattern(30, 30));
    f.intUndoReady = 1;
    commands::PutPictureOnClipboard(f.Picture2.Image());
    f.Picture2.Line(0, 0, 29, 29, 0x00FF0000);
    const QImage stroke = f.Picture2.Image().copy();
    f.Command1_Click(3);
    f.Command1_Click(6);
    EXPECT_TRUE(SamePixels(f.Picture2.Image(), stroke));
}

TEST_F(Clipboard, EveryCommandClickFirstMovesTheFocusToTheSink) {
    frmCapture& f = ActiveForm();
    f.Text1.setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(f.Text1.hasFocus());
    QTest::mouseClick(&f.Command1[3], Qt::LeftButton);
    EXPECT_TRUE(f.dummy.hasFocus());
}

TEST_F(Clipboard, CtrlVInTheActiveEditorPastesAndLaysOut) {
    frmCapture& f = ActiveForm();
    f.ResizeTwips(11430, 7305);
    commands::PutPictureOnClipboard(Solid(900, 700, Qt::red));
    PressCtrlV(f.dummy);
    f.Timer1_Timer();
    ReleaseCtrlV(f.dummy);
    EXPECT_TRUE(SamePixels(f.Picture2.Picture(), Solid(900, 700, Qt::red)));
    EXPECT_TRUE(SamePixels(f.picUndo.Picture(), Solid(900, 700, Qt::red)));
    EXPECT_TRUE(f.VScroll1.isEnabled());
}

TEST_F(Clipboard, HeldCtrlVPastesOnEveryTickAndAQuickTapStillCounts) {
    frmCapture& f = ActiveForm();
    commands::PutPictureOnClipboard(Solid(10, 10, Qt::red));
    PressCtrlV(f.dummy);
    f.Timer1_Timer();
    f.Picture2.Line(0, 0, 9, 9, 0x00FFFFFF);
    f.Timer1_Timer();  // still held: pastes again over the drawing
    EXPECT_TRUE(SamePixels(f.Picture2.Image(), Solid(10, 10, Qt::red)));
    ReleaseCtrlV(f.dummy);
    f.Timer1_Timer();  // the release was seen by the previous query

    f.Picture2.Line(0, 0, 9, 9, 0x00FFFFFF);
    const QImage drawn = f.Picture2.Image().copy();
    f.Timer1_Timer();
    EXPECT_TRUE(SamePixels(f.Picture2.Image(), drawn)) << "no keys down, nothing pasted";

    PressCtrlV(f.dummy);  // pressed and released between two ticks
    ReleaseCtrlV(f.dummy);
    f.Timer1_Timer();
    EXPECT_TRUE(SamePixels(f.Picture2.Image(), Solid(10, 10, Qt::red)));
}

TEST_F(Clipboard, VAloneOrCtrlAloneDoesNothing) {
    frmCapture& f = ActiveForm();
    f.SetAssignedPicture(Pattern(10, 10));
    commands::PutPictureOnClipboard(Solid(10, 10, Qt::red));
    QTest::keyClick(&f.dummy, Qt::Key_V);
    f.Timer1_Timer();
    QTest::keyClick(&f.dummy, Qt::Key_Control);
    f.Timer1_Timer();
    EXPECT_TRUE(SamePixels(f.Picture2.Image(), Pattern(10, 10)));
}

TEST_F(Clipboard, CtrlVWithoutAPictureKeepsTheCanvas) {
    frmCapture& f = ActiveForm();
    f.SetAssignedPicture(Pattern(10, 10));
    f.SetUndoPictureFromCanvas();
    QGuiApplication::clipboard()->setText("text only");
    PressCtrlV(f.dummy);
    f.Timer1_Timer();
    ReleaseCtrlV(f.dummy);
    EXPECT_TRUE(SamePixels(f.Picture2.Image(), Pattern(10, 10)));
    EXPECT_TRUE(SamePixels(f.picUndo.Picture(), Pattern(10, 10)));
}

TEST_F(Clipboard, CtrlVCountsOnlyWhileTheEditorIsTheActiveWindow) {
    frmCapture& f = ActiveForm();
    f.SetAssignedPicture(Pattern(10, 10));
    commands::PutPictureOnClipboard(Solid(10, 10, Qt::red));
    QWidget other;
    other.resize(100, 100);
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    PressCtrlV(other);
    f.Timer1_Timer();
    ReleaseCtrlV(other);
    EXPECT_TRUE(SamePixels(f.Picture2.Image(), Pattern(10, 10)));
}

TEST_F(Clipboard, CtrlVTypedInAnotherWindowDoesNotPasteOnceTheEditorIsBack) {
    frmCapture& f = ActiveForm();
    f.SetAssignedPicture(Pattern(10, 10));
    commands::PutPictureOnClipboard(Solid(10, 10, Qt::red));
    QWidget other;  // a picker or message box of the program
    other.resize(100, 100);
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    PressCtrlV(other);
    ReleaseCtrlV(other);
    other.hide();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    f.Timer1_Timer();
    EXPECT_TRUE(SamePixels(f.Picture2.Image(), Pattern(10, 10)));
}

TEST_F(Clipboard, CopiedPictureIsOfferedAsPng) {
    frmCapture& f = MakeForm();
    f.SetAssignedPicture(Pattern(8, 8));
    f.Command1_Click(3);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(data->hasImage());
}

}  // namespace

// --- what the clipboard offers and what it costs ---------------------------------------

namespace {

const platform::PictureMimeData* OwnPicture() {
    return platform::OwnClipboardPicture();
}

TEST_F(Clipboard, CopyOffersPngThenBmpAndEncodesEachOnlyOnceWhenRead) {
    frmCapture& f = MakeForm();
    f.SetAssignedPicture(Pattern(90, 70, 2));
    f.Command1_Click(3);
    const platform::PictureMimeData* own = OwnPicture();
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(own->formats(), QStringList({"image/png", "image/bmp"}));
    EXPECT_EQ(own->Use(), platform::ClipboardUse::Copy);
    EXPECT_EQ(own->Encodings(), 0);  // nobody has read it yet

    for (int read = 0; read < 2; ++read) {
        for (const char* format : {"image/png", "image/bmp"}) {
            const QByteArray bytes = own->data(format);
            EXPECT_TRUE(SamePixels(QImage::fromData(bytes), Pattern(90, 70, 2))) << format;
        }
    }
    EXPECT_EQ(own->Encodings(), 2);
}

TEST_F(Clipboard, PastingTheProgramsOwnPictureEncodesNothing) {
    frmCapture& f = MakeForm();
    f.SetAssignedPicture(Pattern(40, 30, 5));
    f.Command1_Click(3);
    f.SetAssignedPicture(Solid(10, 10, Qt::red));
    f.Command1_Click(4);
    EXPECT_TRUE(SamePixels(f.Picture2.Picture(), Pattern(40, 30, 5)));
    ASSERT_NE(OwnPicture(), nullptr);
    EXPECT_EQ(OwnPicture()->Encodings(), 0);
}

TEST_F(Clipboard, CopyAndExternalProgramWriteTheClipboardOnceAsAUserCopy) {
    frmCapture& f = MakeForm();
    f.SetAssignedPicture(Pattern(30, 20));
    QClipboard* clipboard = QGuiApplication::clipboard();
    int changes = 0;
    const auto counter = QObject::connect(clipboard, &QClipboard::dataChanged, [&changes] { ++changes; });
    f.Command1_Click(3);
    QObject::disconnect(counter);
    EXPECT_EQ(changes, 1);
    ASSERT_NE(OwnPicture(), nullptr);
    EXPECT_EQ(OwnPicture()->Use(), platform::ClipboardUse::Copy);
}

TEST_F(Clipboard, OnlyAUserCopyWithoutAManagerStartsAKeeper) {
    using app::ClipboardExit;
    struct Case {
        bool own, copy, x11, manager;
        ClipboardExit expected;
    };
    for (const Case c : {
             Case{true, true, true, false, ClipboardExit::StartKeeper},
             Case{true, false, true, false, ClipboardExit::Nothing},  // a press's undo snapshot
             Case{true, true, true, true, ClipboardExit::HandToManager},
             Case{true, false, true, true, ClipboardExit::HandToManager},
             Case{false, false, true, true, ClipboardExit::Nothing},  // another program's clipboard
             Case{true, true, false, false, ClipboardExit::Nothing},  // Wayland, offscreen
         }) {
        EXPECT_EQ(app::ChooseClipboardExit(c.own, c.copy, c.x11, c.manager), c.expected)
            << c.own << c.copy << c.x11 << c.manager;
    }
}

}  // namespace
