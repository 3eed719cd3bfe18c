// Clipboard exchange with another X program (xclip). Runs only on a real X
// display with xclip installed, e.g. under xvfb-run.
#include <QBuffer>
#include <QProcess>
#include <QStandardPaths>

#include "commands/ClipboardCommands.h"
#include "support/ProgramSandbox.h"

using namespace test_support;

namespace {

class XClipboard : public SandboxedEditorTest {
  protected:
    void SetUp() override {
        SandboxedEditorTest::SetUp();
        if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "needs an X display";
        xclip = QStandardPaths::findExecutable("xclip");
        if (xclip.isEmpty()) GTEST_SKIP() << "xclip is not installed";
    }
    // Runs xclip while this program keeps serving clipboard requests.
    QByteArray RunXclip(const QStringList& arguments, const QByteArray& input = {}) {
        QProcess process;
        process.start(xclip, arguments);
        process.waitForStarted();
        if (!input.isEmpty()) process.write(input);
        process.closeWriteChannel();
        for (int i = 0; i < 500 && process.state() != QProcess::NotRunning; ++i) {
            QApplication::processEvents(QEventLoop::AllEvents, 10);
            process.waitForFinished(10);
        }
        return process.readAllStandardOutput();
    }
    QString xclip;
};

TEST_F(XClipboard, PictureCopiedByAnotherProgramPastes) {
    frmCapture& f = MakeForm();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    Pattern(120, 80, 9).save(&buffer, "PNG");
    // xclip stays in the background serving the selection until another owner takes it.
    QProcess owner;
    owner.start(xclip, {"-selection", "clipboard", "-t", "image/png", "-i"});
    owner.write(png);
    owner.closeWriteChannel();
    QTest::qWait(300);
    f.OnButtonClick(ToolbarButton::Paste);
    EXPECT_TRUE(SamePixels(f.State().Canvas().Picture(), Pattern(120, 80, 9)));
    owner.kill();
    owner.waitForFinished();
}

TEST_F(XClipboard, CopiedPictureReadsBackThroughXclipAsPng) {
    frmCapture& f = MakeForm();
    f.State().Canvas().SetPicture(Pattern(64, 48, 4));
    f.OnButtonClick(ToolbarButton::Copy);
    const QString targets = QString::fromUtf8(RunXclip({"-selection", "clipboard", "-t", "TARGETS", "-o"}));
    EXPECT_TRUE(targets.contains("image/png")) << targets.toStdString();
    const QByteArray png = RunXclip({"-selection", "clipboard", "-t", "image/png", "-o"});
    EXPECT_TRUE(SamePixels(QImage::fromData(png, "PNG"), Pattern(64, 48, 4)));
}

}  // namespace

// The undo snapshot a press leaves on the clipboard carries the marks that
// keep clipboard histories from storing it (the password managers' hint, and
// CopyQ's own for CopyQ before 7.1); a picture the user copies carries
// neither. Other programs read both.
TEST_F(XClipboard, TheUndoSnapshotIsMarkedNotForHistoryAndACopyIsNot) {
    const struct {
        const char* format;
        QByteArray value;
    } marks[] = {{"x-kde-passwordManagerHint", "secret"}, {"application/x-copyq-hidden", "1"}};
    frmCapture& f = MakeForm();
    f.State().Canvas().SetPicture(Pattern(64, 48, 4));
    QTest::mouseClick(&ui->canvasView, Qt::LeftButton, {}, QPoint(5, 5));
    QString targets = QString::fromUtf8(RunXclip({"-selection", "clipboard", "-t", "TARGETS", "-o"}));
    for (const auto& mark : marks) {
        EXPECT_TRUE(targets.contains(mark.format)) << targets.toStdString();
        EXPECT_EQ(RunXclip({"-selection", "clipboard", "-t", mark.format, "-o"}), mark.value) << mark.format;
    }
    EXPECT_TRUE(
        SamePixels(QImage::fromData(RunXclip({"-selection", "clipboard", "-t", "image/png", "-o"}), "PNG"),
                   Pattern(64, 48, 4)));

    f.OnButtonClick(ToolbarButton::Copy);
    targets = QString::fromUtf8(RunXclip({"-selection", "clipboard", "-t", "TARGETS", "-o"}));
    EXPECT_TRUE(targets.contains("image/png")) << targets.toStdString();
    for (const auto& mark : marks) EXPECT_FALSE(targets.contains(mark.format)) << targets.toStdString();
}
