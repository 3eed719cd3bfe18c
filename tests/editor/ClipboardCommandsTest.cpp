// Copy, paste, undo and Ctrl+V, on the real clipboard.
#include <QBuffer>
#include <QKeyEvent>
#include <QMimeData>
#include <QtEndian>
#include <functional>

#include "app/ClipboardKeeper.h"
#include "commands/ClipboardCommands.h"
#include "platform/qt/PictureClipboard.h"
#include "support/HandMadeJpeg.h"
#include "support/ProgramSandbox.h"

using namespace test_support;

namespace {

class Clipboard : public SandboxedEditorTest {
  protected:
    frmCapture& ActiveForm() {
        frmCapture& f = MakeForm();
        f.show();
        f.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&f));
        ui->dummy.setFocus();
        QApplication::processEvents();
        return f;
    }
    // Keys go where the window system sends them: to the focus widget.
    static void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyPress(static_cast<QWidget*>(nullptr), key, modifiers);
    }
    static void Release(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyRelease(static_cast<QWidget*>(nullptr), key, modifiers);
    }
    static void Chord(Qt::Key key) {
        Press(Qt::Key_Control);
        Press(key, Qt::ControlModifier);
        Release(key, Qt::ControlModifier);
        Release(Qt::Key_Control, Qt::ControlModifier);
    }
};

TEST_F(Clipboard, CopyAndPasteRoundTripTheCanvasImageWithItsDrawings) {
    frmCapture& f = MakeForm();
    f.State().Canvas().SetPicture(Pattern(120, 80));
    {
        canvas::PenState pen = f.State().Canvas().Pen();
        pen.ForeColor = 0x000000FF;
        f.State().Canvas().SetPen(pen);
    }
    {
        canvas::PenState pen = f.State().Canvas().Pen();
        pen.DrawWidth = 3;
        f.State().Canvas().SetPen(pen);
    }
    f.State().Canvas().Line(QPointF(10, 10), QPointF(100, 60));
    const QImage drawn = f.State().Canvas().Image().copy();
    f.OnButtonClick(ToolbarButton::Copy);
    EXPECT_TRUE(SamePixels(commands::ClipboardPicture(), drawn));

    f.State().Canvas().SetPicture(Solid(30, 20, Qt::green));
    f.OnButtonClick(ToolbarButton::Paste);
    EXPECT_TRUE(SamePixels(f.State().Canvas().Image(), drawn));
    EXPECT_TRUE(SamePixels(f.State().Canvas().Picture(), drawn));
    EXPECT_TRUE(SamePixels(f.State().Reference(), drawn));
    EXPECT_EQ(ui->canvasView.size(), QSize(120, 80));
}

TEST_F(Clipboard, PasteWithoutAPictureKeepsCanvasAndReference) {
    frmCapture& f = MakeForm();
    f.State().Canvas().SetPicture(Pattern(50, 40));
    f.State().ReferenceFromCanvas();
    f.State().Canvas().Line(QPointF(0, 0), QPointF(49, 39), 0x00FFFFFF);
    const QImage drawn = f.State().Canvas().Image().copy();
    QGuiApplication::clipboard()->setText("just text");
    f.OnButtonClick(ToolbarButton::Paste);
    EXPECT_TRUE(SamePixels(f.State().Canvas().Image(), drawn));
    EXPECT_TRUE(SamePixels(f.State().Reference(), Pattern(50, 40)));
}

TEST_F(Clipboard, PasteLaysOutButKeepsTheWindowSize) {
    frmCapture& f = MakeForm();
    f.ResizeTwips(11430, 7305);
    commands::PutPictureOnClipboard(Solid(1500, 900, Qt::blue));
    f.OnButtonClick(ToolbarButton::Paste);
    EXPECT_EQ(f.WidthTwips(), 11430);
    EXPECT_TRUE(ui->horizontalScroll.isEnabled());
    EXPECT_EQ(ui->horizontalScroll.maximum(), 1500 * 15 - f.ViewPanelWidthTwips() + 70);
}

TEST_F(Clipboard, UndoRestoresTheSnapshotOnceThenDoesNothing) {
    frmCapture& f = MakeForm();
    const QImage before = Pattern(64, 48);
    f.State().Canvas().SetPicture(before);
    // What a press on the canvas does before a stroke.
    f.State().SetUndoReady(1);
    commands::EmptyClipboard();
    commands::PutPictureOnClipboard(f.State().Canvas().Image());
    f.State().Canvas().Line(QPointF(0, 0), QPointF(63, 47), 0x0000FF00);
    ASSERT_FALSE(SamePixels(f.State().Canvas().Image(), before));

    f.OnButtonClick(ToolbarButton::Undo);
    EXPECT_TRUE(SamePixels(f.State().Canvas().Image(), before));
    EXPECT_EQ(f.State().UndoReady(), 0);

    f.State().Canvas().Line(QPointF(0, 47), QPointF(63, 0), 0x0000FF00);
    const QImage drawnAgain = f.State().Canvas().Image().copy();
    f.OnButtonClick(ToolbarButton::Undo);
    EXPECT_TRUE(SamePixels(f.State().Canvas().Image(), drawnAgain));
}

TEST_F(Clipboard, UndoWithoutAPictureKeepsTheCanvasButResetsTheFlag) {
    frmCapture& f = MakeForm();
    f.State().Canvas().SetPicture(Pattern(20, 20));
    f.State().ReferenceFromCanvas();
    f.State().SetUndoReady(1);
    QGuiApplication::clipboard()->setText("no picture");
    f.OnButtonClick(ToolbarButton::Undo);
    EXPECT_EQ(f.State().UndoReady(), 0);
    EXPECT_TRUE(SamePixels(f.State().Canvas().Image(), Pattern(20, 20)));
    EXPECT_TRUE(SamePixels(f.State().Reference(), Pattern(20, 20)));
}

TEST_F(Clipboard, CopyAfterAStrokeMakesUndoKeepTheStroke) {
    frmCapture& f = MakeForm();
    f.State().Canvas().SetPicture(Pattern(30, 30));
    f.State().SetUndoReady(1);
    commands::PutPictureOnClipboard(f.State().Canvas().Image());
    f.State().Canvas().Line(QPointF(0, 0), QPointF(29, 29), 0x00FF0000);
    const QImage stroke = f.State().Canvas().Image().copy();
    f.OnButtonClick(ToolbarButton::Copy);
    f.OnButtonClick(ToolbarButton::Undo);
    EXPECT_TRUE(SamePixels(f.State().Canvas().Image(), stroke));
}

// The keys beside the buttons: Ctrl+S saves, Ctrl+Z undoes (but undoes the
// typing where a text field has the keyboard), Ctrl+Q and Ctrl+W close the
// window as its close box does, settings written.
class Shortcuts : public Clipboard, public ::testing::WithParamInterface<Qt::Key> {};

TEST_P(Shortcuts, DoWhatTheirButtonsDo) {
    const Qt::Key close = GetParam();
    {
        frmCapture& f = ActiveForm();
        const QImage before = Pattern(64, 48);
        f.ReplacePicture(before, AfterReplace::Layout);
        f.State().SetPictureFolder(folder + "/");
        ui->nameBox.setText("Kurz");
        ui->dummy.setFocus();
        QTest::mouseClick(&ui->canvasView, Qt::LeftButton, {}, QPoint(5, 5));  // the undo snapshot
        f.State().Canvas().Line(QPointF(0, 0), QPointF(63, 47), 0x0000FF00);
        const QImage drawn = f.State().Canvas().Image().copy();

        // In the name box Ctrl+Z is the box's own undo.
        ui->nameBox.setFocus();
        QTest::keyClicks(&ui->nameBox, "x");
        Chord(Qt::Key_Z);
        EXPECT_EQ(ui->nameBox.text(), "Kurz");
        EXPECT_TRUE(SamePixels(f.State().Canvas().Image(), drawn));
        ui->dummy.setFocus();
        Chord(Qt::Key_Z);
        EXPECT_TRUE(SamePixels(f.State().Canvas().Image(), before));

        // The notice that follows may take the window's activation away before
        // the keys are up: the keys go to the control that has the keyboard now.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
        EXPECT_TRUE(QFile::exists(folder + "/Kurz.jpg"));
        // The notice goes; the editor is the active window again.
        if (frmInfo* notice = dialogs::SavedNotice()) notice->close();
        f.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
        ui->dummy.setFocus();
        QTest::keyClick(&ui->dummy, close, Qt::ControlModifier);
        EXPECT_TRUE(QTest::qWaitFor([&f] { return !f.isVisible(); }, 2000));
        EXPECT_EQ(Ini("SaveAs"), ".jpg");
        QFile::remove(folder + "/Kurz.jpg");
    }
}

INSTANTIATE_TEST_SUITE_P(CtrlQAndCtrlW, Shortcuts, ::testing::Values(Qt::Key_Q, Qt::Key_W));

TEST_F(Clipboard, EveryCommandClickFirstMovesTheFocusToTheSink) {
    ActiveForm();
    ui->nameBox.setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(ui->nameBox.hasFocus());
    QTest::mouseClick(&ui->copyButton, Qt::LeftButton);
    EXPECT_TRUE(ui->dummy.hasFocus());
}

TEST_F(Clipboard, CtrlVPastesWhereverTheEditorsFocusIsAndAgainWhileHeld) {
    for (const bool inNameBox : {false, true}) {
        SCOPED_TRACE(inNameBox ? "name box" : "focus sink");
        frmCapture& f = ActiveForm();
        f.ResizeTwips(11430, 7305);
        if (inNameBox) ui->nameBox.setFocus();
        commands::PutPictureOnClipboard(Solid(900, 700, Qt::red));
        Chord(Qt::Key_V);
        EXPECT_TRUE(SamePixels(f.State().Canvas().Picture(), Solid(900, 700, Qt::red)));
        EXPECT_TRUE(SamePixels(f.State().Reference(), Solid(900, 700, Qt::red)));
        EXPECT_TRUE(ui->verticalScroll.isEnabled());

        // Held down, the key repeats and every repeat pastes again.
        f.State().Canvas().Line(QPointF(0, 0), QPointF(99, 99), 0x00FFFFFF);
        Press(Qt::Key_Control);
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier, QStringLiteral("v"), true);
        QApplication::sendEvent(QApplication::focusWidget(), &repeat);
        Release(Qt::Key_Control, Qt::ControlModifier);
        EXPECT_TRUE(SamePixels(f.State().Canvas().Image(), Solid(900, 700, Qt::red)));
    }
}

// The stray paste: Control was pressed some time before (Ctrl+A, Ctrl+C, or
// on its own) and released; typing a word with a "v" must leave the drawing.
TEST_F(Clipboard, AVTypedAfterAnEarlierControlChordNeverPastes) {
    for (const Qt::Key earlier : {Qt::Key_A, Qt::Key_C, Qt::Key_Control}) {
        SCOPED_TRACE(earlier);
        frmCapture& f = ActiveForm();
        f.State().Canvas().SetPicture(Pattern(40, 30));
        f.State().Canvas().Line(QPointF(0, 0), QPointF(39, 29), 0x0000FF00);
        const QImage drawn = f.State().Canvas().Image().copy();
        commands::PutPictureOnClipboard(Solid(10, 10, Qt::red));
        ui->nameBox.setFocus();
        if (earlier == Qt::Key_Control) {
            Press(Qt::Key_Control);
            Release(Qt::Key_Control, Qt::ControlModifier);
        } else {
            Chord(earlier);
        }
        QTest::keyClicks(static_cast<QWidget*>(nullptr), QStringLiteral("vorher"));
        EXPECT_EQ(ui->nameBox.text(), "vorher");
        EXPECT_TRUE(SamePixels(f.State().Canvas().Image(), drawn));
    }
}

TEST_F(Clipboard, CtrlVWithoutAPictureKeepsTheCanvas) {
    frmCapture& f = ActiveForm();
    f.State().Canvas().SetPicture(Pattern(10, 10));
    f.State().ReferenceFromCanvas();
    QGuiApplication::clipboard()->setText("text only");
    Chord(Qt::Key_V);
    EXPECT_TRUE(SamePixels(f.State().Canvas().Image(), Pattern(10, 10)));
    EXPECT_TRUE(SamePixels(f.State().Reference(), Pattern(10, 10)));
}

TEST_F(Clipboard, CtrlVCountsOnlyWhileTheEditorIsTheActiveWindow) {
    frmCapture& f = ActiveForm();
    f.State().Canvas().SetPicture(Pattern(10, 10));
    commands::PutPictureOnClipboard(Solid(10, 10, Qt::red));
    QWidget other;  // a picker or message box of the program
    other.resize(100, 100);
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    Chord(Qt::Key_V);
    other.hide();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    EXPECT_TRUE(SamePixels(f.State().Canvas().Image(), Pattern(10, 10)));
}

// Pasted pictures pass the guards files get: too long a side, a bitmap far
// shorter than the pixels its header claims, a JPEG cut short or one whose
// scans would walk its claimed 16384 x 16384 a thousand times is refused and
// the canvas keeps its picture and drawings (paste and undo alike).
TEST_F(Clipboard, PastedPicturesGetTheGuardsOfFiles) {
    QImage wide(40000, 2, QImage::Format_RGB32);
    wide.fill(Qt::red);
    QByteArray widePng;
    QBuffer buffer(&widePng);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(wide.save(&buffer, "PNG"));
    QByteArray cutBitmap(54, '\0');  // claims 16384 x 16384 at 32 bits, holds 4 KB
    cutBitmap[0] = 'B';
    cutBitmap[1] = 'M';
    qToLittleEndian<quint32>(54, cutBitmap.data() + 10);
    qToLittleEndian<quint32>(40, cutBitmap.data() + 14);
    qToLittleEndian<quint32>(16384, cutBitmap.data() + 18);
    qToLittleEndian<quint32>(16384, cutBitmap.data() + 22);
    qToLittleEndian<quint16>(1, cutBitmap.data() + 26);
    qToLittleEndian<quint16>(32, cutBitmap.data() + 28);
    cutBitmap.append(QByteArray(4096 - 54, '\x40'));
    QByteArray jpeg;
    QBuffer jpegBuffer(&jpeg);
    jpegBuffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(Pattern(64, 48).save(&jpegBuffer, "JPG"));
    const QByteArray endlessScans = HandMadeProgressiveJpeg(
        16384, 16384, std::vector<HandMadeScan>(1000, HandMadeScan{0, 0, 0, 0, QByteArray(5, '\0')}));
    const auto offerBytes = [](const char* format, const QByteArray& bytes) {
        auto data = std::make_unique<QMimeData>();
        data->setData(format, bytes);
        QGuiApplication::clipboard()->setMimeData(data.release());
    };

    const std::function<void()> offers[] = {
        [&] { commands::PutPictureOnClipboard(wide); },
        [&] {
            auto data = std::make_unique<QMimeData>();
            data->setData("image/png", widePng);
            QGuiApplication::clipboard()->setMimeData(data.release());
        },
        [&] {
            auto data = std::make_unique<QMimeData>();
            data->setData("image/bmp", cutBitmap);
            QGuiApplication::clipboard()->setMimeData(data.release());
        },
        [&] { offerBytes("image/jpeg", jpeg.left(jpeg.size() / 2)); },
        [&] { offerBytes("image/jpeg", endlessScans); },
    };
    for (const auto& offer : offers) {
        frmCapture& f = MakeForm();
        f.State().Canvas().SetPicture(Pattern(30, 20));
        f.State().ReferenceFromCanvas();
        f.State().Canvas().Line(QPointF(0, 0), QPointF(29, 19), 0x0000FF00);
        const QImage drawn = f.State().Canvas().Image().copy();
        offer();
        EXPECT_TRUE(commands::ClipboardPicture().isNull());
        f.OnButtonClick(ToolbarButton::Paste);
        f.State().SetUndoReady(1);
        f.OnButtonClick(ToolbarButton::Undo);
        EXPECT_TRUE(SamePixels(f.State().Canvas().Image(), drawn));
        EXPECT_TRUE(SamePixels(f.State().Reference(), Pattern(30, 20)));
    }
    // Bytes within the limits paste as before.
    QByteArray png;
    QBuffer small(&png);
    small.open(QIODevice::WriteOnly);
    Pattern(40, 30).save(&small, "PNG");
    auto data = std::make_unique<QMimeData>();
    data->setData("image/png", png);
    QGuiApplication::clipboard()->setMimeData(data.release());
    EXPECT_TRUE(SamePixels(commands::ClipboardPicture(), Pattern(40, 30)));
}

TEST_F(Clipboard, CopiedPictureIsOfferedAsPng) {
    frmCapture& f = MakeForm();
    f.State().Canvas().SetPicture(Pattern(8, 8));
    f.OnButtonClick(ToolbarButton::Copy);
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
    f.State().Canvas().SetPicture(Pattern(90, 70, 2));
    f.OnButtonClick(ToolbarButton::Copy);
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
    f.State().Canvas().SetPicture(Pattern(40, 30, 5));
    f.OnButtonClick(ToolbarButton::Copy);
    f.State().Canvas().SetPicture(Solid(10, 10, Qt::red));
    f.OnButtonClick(ToolbarButton::Paste);
    EXPECT_TRUE(SamePixels(f.State().Canvas().Picture(), Pattern(40, 30, 5)));
    ASSERT_NE(OwnPicture(), nullptr);
    EXPECT_EQ(OwnPicture()->Encodings(), 0);
}

TEST_F(Clipboard, CopyAndExternalProgramWriteTheClipboardOnceAsAUserCopy) {
    frmCapture& f = MakeForm();
    f.State().Canvas().SetPicture(Pattern(30, 20));
    QClipboard* clipboard = QGuiApplication::clipboard();
    int changes = 0;
    const auto counter = QObject::connect(clipboard, &QClipboard::dataChanged, [&changes] { ++changes; });
    f.OnButtonClick(ToolbarButton::Copy);
    QObject::disconnect(counter);
    EXPECT_EQ(changes, 1);
    ASSERT_NE(OwnPicture(), nullptr);
    EXPECT_EQ(OwnPicture()->Use(), platform::ClipboardUse::Copy);
}

// A copy always goes to a keeper (which hands it to a manager at its own
// pace); a snapshot only ever to a manager, within the close's time.
TEST_F(Clipboard, AUserCopyGoesToAKeeperASnapshotOnlyToAManager) {
    using app::ClipboardExit;
    struct Case {
        bool own, copy, x11, manager;
        ClipboardExit expected;
    };
    for (const Case c : {
             Case{true, true, true, false, ClipboardExit::StartKeeper},
             Case{true, false, true, false, ClipboardExit::Nothing},  // a press's undo snapshot
             Case{true, true, true, true, ClipboardExit::StartKeeper},
             Case{true, false, true, true, ClipboardExit::HandToManager},
             Case{false, false, true, true, ClipboardExit::Nothing},  // another program's clipboard
             Case{true, true, false, false, ClipboardExit::Nothing},  // Wayland, offscreen
         }) {
        EXPECT_EQ(app::ChooseClipboardExit(c.own, c.copy, c.x11, c.manager), c.expected)
            << c.own << c.copy << c.x11 << c.manager;
    }
}

}  // namespace
