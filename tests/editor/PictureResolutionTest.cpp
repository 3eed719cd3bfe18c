// Picture files that record a resolution other than the screen's (a 300-dpi
// scan, a 72-dpi camera JPEG): whatever way they come in, the tools draw at
// the same pixel size as on any other picture.
#include <QLineEdit>

#include "commands/ClipboardCommands.h"
#include "commands/DropHandler.h"
#include "app/AppModul.h"
#include "support/ProgramSandbox.h"
#include "platform/qt/PictureLoader.h"

using namespace test_support;

namespace {

constexpr COLORREF kRedRef = 0x000000FF;

class PictureResolution : public SandboxedEditorTest {
  protected:
    void SetUp() override {
        SandboxedEditorTest::SetUp();
        program = folder + "/korvel-annotarix";
        WriteText(program, "#!/bin/sh\n");
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
        f.lngTool = 4;
        f.SetCurrentColor(kRedRef);
        const QImage before = f.Picture2.Image().copy();
        QTest::mousePress(&f.Picture2, Qt::LeftButton, {}, QPoint(8, 8));
        QTest::mouseRelease(&f.Picture2, Qt::LeftButton, {}, QPoint(8, 8));
        auto* box = f.Picture2.findChild<QLineEdit*>(QStringLiteral("txtText"));
        if (box == nullptr || !box->isVisible()) return -1;
        QTest::keyClicks(box, QStringLiteral("HHHH"));
        QTest::keyClick(box, Qt::Key_Return);
        const QImage& now = f.Picture2.Image();
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
        QTest::mouseClick(&f.Check1, Qt::LeftButton);
        QTest::mousePress(&f.Picture2, Qt::LeftButton, {}, QPoint(4, 4));
        QTest::mouseMove(&f.Picture2, QPoint(80, 40));
        QTest::mouseMove(&f.Picture2, QPoint(150, 70));
        QTest::mouseRelease(&f.Picture2, Qt::LeftButton, {}, QPoint(150, 70));
    }

    const std::vector<std::pair<QString, int>> files{
        {"scan300.bmp", 300}, {"camera72.jpg", 72}, {"screen96.bmp", 96}};
    QString program;
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
        form = app::StartEditor(program, path);
        ASSERT_EQ(form->Picture2.size(), QSize(200, 90)) << file;
        EXPECT_EQ(HhhhHeight(Shown(*form)), expected) << "command line, " << file;
        // A crop takes the picture from another buffer: still the same size.
        Crop(*form);
        ASSERT_EQ(form->Picture2.size(), QSize(146, 66)) << file;
        EXPECT_EQ(HhhhHeight(*form), expected) << "crop, " << file;

        frmCapture& picked = Shown(MakeForm());
        WhenPickerOpens([name](frmPicSelect& picker) {
            ASSERT_TRUE(picker.File1.SelectFileName(name));
            picker.Command1_Click();
        });
        picked.Command1_Click(0);
        ASSERT_EQ(picked.Picture2.size(), QSize(200, 90)) << file;
        EXPECT_EQ(HhhhHeight(picked), expected) << "picker, " << file;

        frmCapture& dropped = Shown(MakeForm());
        commands::DropFiles(dropped, QStringList{path});
        ASSERT_EQ(dropped.Picture2.size(), QSize(200, 90)) << file;
        EXPECT_EQ(HhhhHeight(dropped), expected) << "drop, " << file;

        // Another program's picture on the clipboard keeps the resolution it
        // was made with.
        frmCapture& pasted = Shown(MakeForm());
        QGuiApplication::clipboard()->setImage(LoadPictureFile(path));
        commands::PastePicture(pasted);
        ASSERT_EQ(pasted.Picture2.size(), QSize(200, 90)) << file;
        EXPECT_EQ(HhhhHeight(pasted), expected) << "clipboard, " << file;
    }
    QDir::setCurrent(previous);
}

}  // namespace
