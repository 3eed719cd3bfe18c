// A picture being taken in (a paste decoding another program's large
// picture) takes its place when the user asks for it: input that comes while
// it decodes (a copy, a stroke, keys, a second paste) acts on the state after
// it, in the order it came, and none is lost.
#include <QBuffer>
#include <QKeyEvent>
#include <QMimeData>
#include <functional>

#include "commands/ClipboardCommands.h"
#include "platform/qt/PictureClipboard.h"
#include "support/PickerControls.h"
#include "support/ProgramSandbox.h"

using namespace test_support;

namespace {

// Noise that compresses badly: its PNG takes long enough to decode that the
// window runs events meanwhile.
QImage Noise(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    quint32 state = 12345;
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<quint32*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            row[x] = 0xFF000000u | (state >> 8);
        }
    }
    return image;
}

class IntakeOrder : public SandboxedEditorTest {
  protected:
    void SetUp() override {
        SandboxedEditorTest::SetUp();
        pasted = Noise(3840, 2160);
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        pasted.save(&buffer, "PNG", 0);
    }
    // Another program's picture: its bytes, as the clipboard carries them.
    void OfferForeignPicture() {
        auto* data = new QMimeData();  // the clipboard takes ownership
        data->setData("image/png", png);
        QGuiApplication::clipboard()->setMimeData(data);
    }
    static void Post(QWidget& to, QEvent::Type type, QPoint at) {
        const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QCoreApplication::postEvent(
            &to, new QMouseEvent(type, at, to.mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier));
    }
    static void PostKey(QWidget& to, int key, Qt::KeyboardModifiers modifiers, const QString& text = {}) {
        QCoreApplication::postEvent(&to, new QKeyEvent(QEvent::KeyPress, key, modifiers, text));
        QCoreApplication::postEvent(&to, new QKeyEvent(QEvent::KeyRelease, key, modifiers, text));
    }

    QImage pasted;
    QByteArray png;
};

TEST_F(IntakeOrder, InputDuringAPasteActsOnThePastedPictureInOrder) {
    struct Case {
        const char* name;
        bool byKey;                                  // pasted by Ctrl+V, not the button
        std::function<void(EditorControls&)> input;  // posted before the paste starts
        std::function<void(frmCapture&)> check;
    };
    const QImage before = Pattern(200, 150);
    const Case cases[] = {
        {"copy", false,
         [](EditorControls& c) {
             Post(c.copyButton, QEvent::MouseButtonPress, QPoint(5, 5));
             Post(c.copyButton, QEvent::MouseButtonRelease, QPoint(5, 5));
         },
         [this](frmCapture&) {
             const platform::PictureMimeData* own = platform::OwnClipboardPicture();
             ASSERT_NE(own, nullptr);
             EXPECT_EQ(own->Use(), platform::ClipboardUse::Copy);
             EXPECT_TRUE(SamePixels(own->Picture(), pasted));
         }},
        {"stroke", false,
         [](EditorControls& c) {
             Post(c.canvasView, QEvent::MouseButtonPress, QPoint(30, 30));
             Post(c.canvasView, QEvent::MouseMove, QPoint(120, 90));
             Post(c.canvasView, QEvent::MouseButtonRelease, QPoint(120, 90));
         },
         [this](frmCapture& f) {
             // The stroke is on the pasted picture, whose snapshot it left.
             const QImage& canvas = f.State().Canvas().Image();
             ASSERT_EQ(canvas.size(), pasted.size());
             EXPECT_FALSE(SamePixels(canvas, pasted));
             EXPECT_EQ(canvas.pixel(1500, 900), pasted.pixel(1500, 900));
             const platform::PictureMimeData* own = platform::OwnClipboardPicture();
             ASSERT_NE(own, nullptr);
             EXPECT_TRUE(SamePixels(own->Picture(), pasted));
             EXPECT_TRUE(SamePixels(f.State().Reference(), pasted));  // the eraser puts this back
         }},
        {"keys, another program's copy, a second Ctrl+V", true,
         [](EditorControls& c) {
             // Pasted by Ctrl+V in the name box, which keeps the keyboard.
             PostKey(c.nameBox, Qt::Key_V, Qt::ControlModifier);
             QMetaObject::invokeMethod(
                 &c.nameBox, [] { commands::PutPictureOnClipboard(Solid(64, 32, Qt::blue)); },
                 Qt::QueuedConnection);
             PostKey(c.nameBox, Qt::Key_A, Qt::NoModifier, "a");
             PostKey(c.nameBox, Qt::Key_B, Qt::NoModifier, "b");
             PostKey(c.nameBox, Qt::Key_V, Qt::ControlModifier);
         },
         [this](frmCapture& f) {
             EXPECT_EQ(ui->nameBox.text(), "ab");
             EXPECT_TRUE(SamePixels(f.State().Canvas().Image(), Solid(64, 32, Qt::blue)));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        frmCapture& f = MakeForm();
        f.show();
        f.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
        f.State().SetCurrentTool(3);  // the arrow
        f.ReplacePicture(before, AfterReplace::Layout);
        ui->nameBox.setFocus();
        ui->nameBox.clear();
        OfferForeignPicture();
        c.input(*ui);
        // The paste button, or the Ctrl+V posted first; the input after it
        // arrives while the picture decodes.
        if (!c.byKey) f.OnButtonClick(ToolbarButton::Paste);
        QTest::qWait(50);  // the posted input is taken up
        EXPECT_TRUE(QTest::qWaitFor([&] { return f.HeldInput() == 0 && !f.State().Intake().Busy(); }, 5000));
        QApplication::processEvents();
        c.check(f);
        ui.reset();
        form.reset();
    }
}

// A stroke made right after "Übernehmen" in the picker, while the accepted
// picture still decodes, lands on that picture.
TEST_F(IntakeOrder, AStrokeRightAfterAcceptingInThePickerLandsOnTheLoadedPicture) {
    ASSERT_TRUE(pasted.save(folder + "/big.jpg", "JPG", 90));
    frmCapture& f = MakeForm();
    f.show();
    f.State().SetCurrentTool(3);  // the arrow
    f.ReplacePicture(Pattern(200, 150), AfterReplace::Layout);
    WhenPickerOpens([this](frmPicSelect& picker) {
        Folders(picker).SetPath(folder);
        ASSERT_TRUE(Files(picker).SelectFileName("big.jpg"));
        picker.OnFileClick();
        picker.Accept();
        EXPECT_FALSE(picker.isVisible());
        Post(ui->canvasView, QEvent::MouseButtonPress, QPoint(30, 30));
        Post(ui->canvasView, QEvent::MouseMove, QPoint(120, 90));
        Post(ui->canvasView, QEvent::MouseButtonRelease, QPoint(120, 90));
    });
    f.OnButtonClick(ToolbarButton::Load);
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.HeldInput() == 0; }, 3000));
    QApplication::processEvents();
    const QImage loaded = f.State().Reference();
    ASSERT_EQ(loaded.size(), pasted.size());
    const platform::PictureMimeData* snapshot = platform::OwnClipboardPicture();
    ASSERT_NE(snapshot, nullptr);
    EXPECT_TRUE(SamePixels(snapshot->Picture(), loaded));
    EXPECT_FALSE(SamePixels(f.State().Canvas().Image(), loaded));
}

}  // namespace
