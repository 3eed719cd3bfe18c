// Picture files that record a resolution other than the screen's (a 300-dpi
// scan, a 72-dpi camera JPEG): whatever way they come in, the tools draw at
// the same pixel size as on any other picture.
#include <QLineEdit>

#include "app/AppModul.h"
#include "platform/qt/PictureLoader.h"
#include "support/Drops.h"
#include "support/PickerControls.h"
#include "support/ProgramSandbox.h"

using namespace test_support;

namespace {

constexpr COLORREF kRedRef = 0x000000FF;

class PictureResolution : public SandboxedEditorTest {
  protected:
    void SetUp() override {
        SandboxedEditorTest::SetUp();
        programFile = folder + "/korvel-annotarix";
        WriteText(programFile, "#!/bin/sh\n");
        for (const auto& [name, dpi] : files) {
            QImage white = Solid(200, 90, Qt::white);
            const int dotsPerMeter = qRound(dpi / 0.0254);
            white.setDotsPerMeterX(dotsPerMeter);
            white.setDotsPerMeterY(dotsPerMeter);
            ASSERT_TRUE(white.save(Path(name)));
            // The file itself must carry the resolution, or the test proves nothing.
            ASSERT_EQ(LoadPictureFile(Path(name)).logicalDpiY(), dpi) << name.toStdString();
        }
    }
    QString Path(const QString& name) const { return folder + "/" + name; }

    frmCapture& Shown(frmCapture& f) {
        f.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&f));
        return f;
    }
    // Types HHHH with the text tool at its starting size and returns the
    // height of the ink, in canvas pixels.
    int HhhhHeight(frmCapture& f) {
        f.State().SetCurrentTool(4);
        f.State().SetCurrentColor(kRedRef);
        const QImage before = f.State().Canvas().Image().copy();
        canvas::CanvasView& view = EditorControls(f).canvasView;
        QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(8, 8));
        QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(8, 8));
        auto* box = view.findChild<QLineEdit*>(QStringLiteral("txtText"));
        if (box == nullptr || !box->isVisible()) return -1;
        QTest::keyClicks(box, QStringLiteral("HHHH"));
        QTest::keyClick(box, Qt::Key_Return);
        const QImage& now = f.State().Canvas().Image();
        int top = now.height();
        int bottom = -1;
        for (int y = 0; y < now.height(); ++y) {
            for (int x = 0; x < now.width(); ++x) {
                if (now.pixel(x, y) == before.pixel(x, y)) continue;
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
        return bottom - top + 1;
    }
    // Crops the canvas to the rectangle from (4, 4) to (150, 70).
    static void Crop(frmCapture& f) {
        const EditorControls c(f);
        QTest::mouseClick(&c.cropButton, Qt::LeftButton);
        QTest::mousePress(&c.canvasView, Qt::LeftButton, {}, QPoint(4, 4));
        QTest::mouseMove(&c.canvasView, QPoint(80, 40));
        QTest::mouseMove(&c.canvasView, QPoint(150, 70));
        QTest::mouseRelease(&c.canvasView, Qt::LeftButton, {}, QPoint(150, 70));
    }
    static QSize ViewSize(frmCapture& f) { return EditorControls(f).canvasView.size(); }

    const std::vector<std::pair<QString, int>> files{
        {"scan300.bmp", 300}, {"camera72.jpg", 72}, {"screen96.bmp", 96}};
    QString programFile;
};

TEST_F(PictureResolution, TextHasOneHeightOnEveryPictureWhateverWayItCameIn) {
    // The height on a picture made in memory, which has the screen's resolution.
    const int expected = HhhhHeight(Shown(MakeForm()));
    ASSERT_GE(expected, 9);  // 12-point bold capitals at 96 DPI: about 12 pixels
    ASSERT_LE(expected, 15);

    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder);
    for (const auto& [name, dpi] : files) {
        const std::string file = name.toStdString();
        const QString path = Path(name);
        const std::unique_ptr<app::Session> session = app::StartEditor(programFile, path);
        frmCapture& started = *session->editor;
        ASSERT_EQ(ViewSize(started), QSize(200, 90)) << file;
        EXPECT_EQ(HhhhHeight(Shown(started)), expected) << "command line, " << file;
        // A crop takes the picture from another buffer: still the same size.
        Crop(started);
        ASSERT_EQ(ViewSize(started), QSize(146, 66)) << file;
        EXPECT_EQ(HhhhHeight(started), expected) << "crop, " << file;

        frmCapture& picked = Shown(MakeForm());
        WhenPickerOpens([name](frmPicSelect& picker) {
            ASSERT_TRUE(Files(picker).SelectFileName(name));
            picker.Accept();
        });
        picked.OnButtonClick(ToolbarButton::Load);
        ASSERT_EQ(ViewSize(picked), QSize(200, 90)) << file;
        EXPECT_EQ(HhhhHeight(picked), expected) << "picker, " << file;

        frmCapture& dropped = Shown(MakeForm());
        DropPaths(EditorControls(dropped).canvasView, QStringList{path});
        ASSERT_EQ(ViewSize(dropped), QSize(200, 90)) << file;
        EXPECT_EQ(HhhhHeight(dropped), expected) << "drop, " << file;

        // Another program's picture on the clipboard keeps the resolution it
        // was made with.
        frmCapture& pasted = Shown(MakeForm());
        QGuiApplication::clipboard()->setImage(LoadPictureFile(path));
        pasted.OnButtonClick(ToolbarButton::Paste);
        ASSERT_EQ(ViewSize(pasted), QSize(200, 90)) << file;
        EXPECT_EQ(HhhhHeight(pasted), expected) << "clipboard, " << file;
    }
    QDir::setCurrent(previous);
}

}  // namespace
