// The editor under a real Wayland compositor: the fit after a picker load,
// the saved notice leaving the keyboard where it was, the picker placed as a
// child of the editor, and the copied picture after the editor ends. Runs
// only with QT_QPA_PLATFORM=wayland (scripts/test.sh starts a headless sway
// and a headless KWin for it); under sway the compositor's view is read with
// swaymsg; keys are typed as KeyTyper finds a way, the clipboard is read with
// wl-paste.
#include <signal.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QWindow>
#include <functional>

#include "commands/SavePicture.h"
#include "core/Rounding.h"
#include "dialogs/PickerWait.h"
#include "dialogs/PickerWindow.h"
#include "platform/qt/PictureClipboard.h"
#include "platform/wayland/DesktopPlatform.h"
#include "platform/wayland/WaylandClipboardKeeper.h"
#include "support/PickerControls.h"
#include "support/ProgramSandbox.h"
#include "support/ScreenShot.h"
#include "wayland/KeyTyper.h"

using namespace test_support;

namespace {

// The compositor's windows with the given title, depth first.
void FindWindows(const QJsonObject& node, const QString& title, QList<QJsonObject>& found) {
    if (node.value("name").toString() == title) found << node;
    for (const char* key : {"nodes", "floating_nodes"}) {
        for (const QJsonValue& child : node.value(key).toArray()) FindWindows(child.toObject(), title, found);
    }
}

class WaylandDesktop : public SandboxedEditorTest {
  protected:
    void SetUp() override {
        SandboxedEditorTest::SetUp();
        if (!QGuiApplication::platformName().startsWith("wayland"))
            GTEST_SKIP() << "needs a Wayland compositor";
        swaymsg = QStandardPaths::findExecutable("swaymsg");
    }

    // The editor as the user sees it after start-up: shown and active.
    frmCapture& ShowEditor() {
        frmCapture& f = MakeForm();
        f.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&f));
        EXPECT_TRUE(QTest::qWaitFor([&f] { return f.isActiveWindow(); }, 3000));
        return f;
    }

    // The compositor's record of the window titled `title` (sway only).
    QJsonObject CompositorWindow(const QString& title) {
        if (swaymsg.isEmpty() || qEnvironmentVariableIsEmpty("SWAYSOCK")) return {};
        const QJsonObject tree = QJsonDocument::fromJson(RunProgram(swaymsg, {"-t", "get_tree"})).object();
        QList<QJsonObject> found;
        FindWindows(tree, title, found);
        return found.isEmpty() ? QJsonObject() : found.first();
    }

    QString swaymsg;
};

}  // namespace

// Loading a picture through the picker ends with the window fitted around
// it, as on X11: the compositor's configure that comes with the editor's
// re-activation does not undo the fit.
TEST_F(WaylandDesktop, PickerLoadFitsTheWindow) {
    frmCapture& f = ShowEditor();
    Solid(1200, 800, Qt::darkCyan).save(folder + "/big.bmp");
    const QSize before = f.size();
    WhenPickerOpens([this](frmPicSelect& picker) {
        // The user picks once the picker shows and has the keyboard.
        EXPECT_TRUE(QTest::qWaitFor([&picker] { return picker.isActiveWindow(); }, 3000));
        Folders(picker).SetPath(folder);
        ASSERT_TRUE(Files(picker).SelectFileName("big.bmp"));
        picker.Accept();
    });
    f.OnButtonClick(ToolbarButton::Load);
    // (1200 x 800 picture pixels + 445 x 1180 twips - the frame allowance) / 15:
    // 1221 x 849 at scale 1, 621 x 449 at scale 2.
    const double ratio = f.ViewRatio();
    const auto client = [ratio](int pixels, int extra, int frame) {
        return core::N((core::N(pixels * 15 / ratio) + extra - frame) / 15.0);
    };
    const QSize fitted(client(1200, 445, frmCapture::kFrameWidthTwips),
                       client(800, 1180, frmCapture::kFrameHeightTwips));
    QTest::qWait(1000);  // any late configure has come by now
    EXPECT_EQ(f.size(), fitted) << "before " << before.width() << "x" << before.height();
    // The fit outlasts a focus change: another window takes the keyboard and
    // goes, and the compositor configures the editor anew.
    {
        QWidget other;
        other.resize(200, 100);
        other.show();
        EXPECT_TRUE(QTest::qWaitFor([&other] { return other.isActiveWindow(); }, 3000));
    }
    f.activateWindow();
    EXPECT_TRUE(QTest::qWaitFor([&f] { return f.isActiveWindow(); }, 3000));
    QTest::qWait(500);
    EXPECT_EQ(f.size(), fitted) << "after a focus change";
    EXPECT_FALSE(ui->horizontalScroll.isEnabled());
    EXPECT_FALSE(ui->verticalScroll.isEnabled());
    const QJsonObject shown = CompositorWindow(f.windowTitle());
    if (!shown.isEmpty()) {
        const QJsonObject rect = shown.value("window_rect").toObject();
        EXPECT_EQ(QSize(rect.value("width").toInt(), rect.value("height").toInt()), fitted);
        // The whole window on the output, the frame too.
        const QJsonObject outer = shown.value("rect").toObject();
        const QRect window(outer.value("x").toInt(), outer.value("y").toInt(), outer.value("width").toInt(),
                           outer.value("height").toInt());
        EXPECT_TRUE(f.screen()->geometry().contains(window))
            << "window at " << window.x() << "," << window.y() << " " << window.width() << "x"
            << window.height();
    }
    // Every picture pixel on the screen, one to one: no row or column lies
    // past the output's edge.
    if (CanTakeScreenshots()) {
        EXPECT_EQ(CountPixels(Screenshot(QStringLiteral("fit")), Qt::darkCyan), 1200 * 800);
    }
}

// A picker opens over the editor, as a dialog of it, on every compositor:
// part of the picture is hidden behind it.
TEST_F(WaylandDesktop, PickerOpensOverTheEditor) {
    if (!CanTakeScreenshots()) GTEST_SKIP() << "needs screenshots";
    frmCapture& f = ShowEditor();
    f.State().Canvas().SetPicture(Solid(640, 480, Qt::darkCyan));
    f.FitWindowToPicture();
    QTest::qWait(700);
    ASSERT_EQ(CountPixels(Screenshot(), Qt::darkCyan), 640 * 480);
    qsizetype withPicker = -1;
    WhenPickerOpens([&withPicker](frmPicSelect& picker) {
        EXPECT_TRUE(QTest::qWaitFor([&picker] { return picker.isActiveWindow(); }, 3000));
        QTest::qWait(500);
        withPicker = CountPixels(Screenshot(QStringLiteral("picker")), Qt::darkCyan);
        picker.Cancel();
    });
    f.OnButtonClick(ToolbarButton::Load);
    EXPECT_GE(withPicker, 0);
    EXPECT_LT(withPicker, 640 * 480 * 3 / 4) << "the picker is not over the editor";
}

// The saved notice reaches the screen, centred over the editor, and leaves
// it after its two seconds.
TEST_F(WaylandDesktop, SavedNoticeReachesTheScreen) {
    if (!CanTakeScreenshots()) GTEST_SKIP() << "needs screenshots";
    frmCapture& f = ShowEditor();
    f.State().SetPictureFolder(folder + "/");
    f.State().Canvas().SetPicture(Solid(640, 480, Qt::darkGray));
    f.FitWindowToPicture();
    QTest::qWait(700);
    ExpectNoticeShownForItsTime(ui->nameBox, "Shown");
    EXPECT_TRUE(QFile::exists(folder + "/Shown.jpg"));
}

// Keys typed while the saved notice shows still reach the editor, as on
// X11: the notice is a popup of the editor that never takes the keyboard,
// centred over the editor. (The save itself moves the focus from the name box
// to the editor's focus sink.)
TEST_F(WaylandDesktop, SavedNoticeLeavesTheKeyboardWithTheEditor) {
    const auto typer = KeyTyper::ForCompositor();
    if (typer == nullptr) GTEST_SKIP() << "no way to type keys under this compositor";
    frmCapture& f = ShowEditor();
    f.State().SetPictureFolder(folder + "/");
    // A picture loaded fits the window and centres it on the screen: on
    // Wayland the window itself stays where the compositor put it.
    f.State().Canvas().SetPicture(Solid(640, 480, Qt::yellow));
    f.FitWindowToPicture();
    ui->nameBox.clear();
    ui->nameBox.setFocus();
    // The Z keys the editor's focus widget receives while the notice shows.
    struct KeysToEditor : QObject {
        explicit KeysToEditor(QWidget& editor) : editor_(editor) {}
        bool eventFilter(QObject* watched, QEvent* event) override {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (event->type() == QEvent::KeyPress && widget != nullptr && widget->window() == &editor_ &&
                static_cast<QKeyEvent*>(event)->key() == Qt::Key_Z && dialogs::SavedNotice() != nullptr)
                presses += watched == QApplication::focusWidget() ? 1 : 0;
            return false;
        }
        QWidget& editor_;
        int presses = 0;
    } keys(f);
    QApplication::instance()->installEventFilter(&keys);
    // The name, Enter, then "zz" while the notice shows.
    const KeyStep steps[] = {
        {400, KeyStep::Text, "Shot"}, {0, KeyStep::Return}, {600, KeyStep::Text, "zz"}, {200}};
    typer->Type(steps);
    QApplication::instance()->removeEventFilter(&keys);
    EXPECT_EQ(keys.presses, 2) << "keys typed with " << typer->Name().toStdString();
    EXPECT_EQ(ui->nameBox.text(), "Shot");
    EXPECT_TRUE(QFile::exists(folder + "/Shot.jpg"));
    ASSERT_NE(dialogs::SavedNotice(), nullptr);
    const frmInfo& notice = *dialogs::SavedNotice();
    EXPECT_EQ(notice.windowHandle()->transientParent(), f.windowHandle());
    EXPECT_EQ(notice.geometry().center(), f.windowHandle()->geometry().center());
    const QJsonObject editor = CompositorWindow(f.windowTitle());
    if (!editor.isEmpty()) {
        EXPECT_TRUE(editor.value("focused").toBool());
    }
}

// A copied picture outlives the editor where the compositor offers the
// data-control protocol: a keeper serves it, image/png first, until another
// program copies, and then ends.
TEST_F(WaylandDesktop, CopiedPictureIsKeptUntilAnotherProgramCopies) {
    if (!wayland::ClipboardControlOffered()) GTEST_SKIP() << "the compositor offers no data-control";
    const auto typer = KeyTyper::ForCompositor();
    const QString wlPaste = QStandardPaths::findExecutable("wl-paste");
    const QString wlCopy = QStandardPaths::findExecutable("wl-copy");
    if (typer == nullptr || wlPaste.isEmpty() || wlCopy.isEmpty())
        GTEST_SKIP() << "no way to type keys, or wl-clipboard missing";
    frmCapture& f = ShowEditor();
    const QImage picture = Pattern(300, 200);
    f.State().Canvas().SetPicture(picture);
    // A copy needs an input event of the user's, as the click on the copy
    // button is; a key press gives one.
    const KeyStep shift[] = {{300, KeyStep::Shift}, {100}};
    typer->Type(shift);
    f.OnButtonClick(ToolbarButton::Copy);
    ASSERT_NE(platform::OwnClipboardPicture(), nullptr);
    // The compositor may still refuse the copy (an input event too old); the
    // test goes on only once the compositor offers the editor's picture.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return RunProgram(wlPaste, {"--list-types"}).startsWith("image/png"); }, 3000))
        << "the compositor refused the copy";

    const qint64 keeper = wayland::StartClipboardKeeper(f.State().Canvas().Image(), KORVEL_BINARY, 3000);
    ASSERT_NE(keeper, 0);
    f.close();
    ui.reset();
    form.reset();  // the editor is gone
    EXPECT_EQ(RunProgram(wlPaste, {"--list-types"}), "image/png\nimage/bmp\n");
    const QImage png = QImage::fromData(RunProgram(wlPaste, {"--type", "image/png"}), "PNG");
    ASSERT_EQ(png.size(), picture.size());
    EXPECT_TRUE(SamePixels(png.convertToFormat(QImage::Format_RGB32), picture));
    const QImage bmp = QImage::fromData(RunProgram(wlPaste, {"--type", "image/bmp"}), "BMP");
    EXPECT_TRUE(SamePixels(bmp.convertToFormat(QImage::Format_RGB32), picture));

    QProcess other;  // another program copies, and keeps serving its text
    other.start(wlCopy, {"text of another program"});
    EXPECT_TRUE(QTest::qWaitFor([keeper] { return ::kill(static_cast<pid_t>(keeper), 0) != 0; }, 5000));
    EXPECT_EQ(RunProgram(wlPaste, {"--no-newline"}), "text of another program");
    other.waitForFinished(3000);
}

// The probe that chooses the platform under GNOME reads the outputs as Qt
// does: the layout size is Qt's screen size. At scale 1 the mode is the same
// size, and X11 windows would show one pixel to one device pixel. (At scale 2
// mutter's default layout stays in device pixels, sway's and KWin's do not.)
TEST_F(WaylandDesktop, OutputProbeSeesTheScreensAsQtDoes) {
    const std::vector<wayland::OutputPixels> outputs = wayland::CompositorOutputs();
    const QList<QScreen*> screens = QGuiApplication::screens();
    ASSERT_EQ(outputs.size(), static_cast<size_t>(screens.size()));
    if (screens.size() != 1) GTEST_SKIP() << "the sizes are compared for one output";
    const QScreen& screen = *screens.first();
    const wayland::OutputPixels& output = outputs.front();
    const QSize layout(output.layoutWidth, output.layoutHeight);
    const QSize mode(output.modeWidth, output.modeHeight);
    EXPECT_EQ(layout, screen.geometry().size());
    if (screen.devicePixelRatio() == 1.0) {
        EXPECT_EQ(mode, layout);
        EXPECT_TRUE(wayland::X11PixelsAreDevicePixels(outputs));
    } else {
        EXPECT_GE(mode.width(), layout.width());
    }
}

// Under GNOME the editor prefers X11 through Xwayland where X windows show one
// pixel to one device pixel; when that X display cannot be reached it starts
// on Wayland rather than not at all.
TEST_F(WaylandDesktop, UnderGnomeAnUnreachableXDisplayLeavesTheEditorOnWayland) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("QT_QPA_PLATFORM");
    environment.insert("XDG_CURRENT_DESKTOP", "GNOME");
    environment.insert("DISPLAY", ":4711");  // no X server there
    environment.insert("HOME", home);
    QProcess editor;
    editor.setProcessEnvironment(environment);
    editor.start(KORVEL_BINARY, {});
    ASSERT_TRUE(editor.waitForStarted(3000));
    // A start that fails ends within moments; the editor runs on.
    EXPECT_FALSE(editor.waitForFinished(2500)) << editor.readAllStandardError().toStdString();
    editor.kill();
    editor.waitForFinished(3000);
}
