// The commands driven without the editor window: an editing state, the
// program's values and a bare owner widget are all a command needs.
#include <gtest/gtest.h>

#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>

#include "commands/ClipboardCommands.h"
#include "commands/SavePicture.h"
#include "dialogs/frmInfo.h"
#include "support/FakeHosts.h"
#include "support/TestPictures.h"
#include "support/TestProgram.h"

using namespace test_support;

namespace {

class CommandWithoutWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        program = ProgramIn(QDir(dir.path()).absolutePath(), programMessages);
        host = std::make_unique<FakeCommandHost>(program);
    }
    void TearDown() override {
        if (frmInfo* notice = dialogs::SavedNotice()) notice->close();
    }

    QTemporaryDir dir;
    std::vector<Message> programMessages;
    program::ProgramContext program;
    std::unique_ptr<FakeCommandHost> host;
};

TEST_F(CommandWithoutWindow, SaveWritesTheCanvasIntoThePictureFolderAndRefreshesTheReference) {
    canvas::EditorState& state = host->state;
    state.Canvas().SetPicture(Pattern(40, 30));
    state.Canvas().Line(QPointF(2, 2), QPointF(30, 20), 0x00FFFFFF);
    state.SetPictureFolder(dir.path() + "/");
    host->name = "Shot";
    commands::SavePicture(*host);
    const QImage saved(dir.path() + "/Shot.bmp");
    EXPECT_TRUE(SamePixels(saved.convertToFormat(QImage::Format_RGB32), state.Canvas().Image()));
    EXPECT_TRUE(SamePixels(state.Reference(), Pattern(40, 30)));  // the assigned picture
    EXPECT_EQ(program.settings.Read("PreviewName", "<none>"), "Shot");
    EXPECT_TRUE(host->messages.empty());

    host->name.clear();
    commands::SavePicture(*host);
    ASSERT_EQ(host->messages.size(), 1u);
    EXPECT_EQ(host->nameFocused, 1);
}

TEST_F(CommandWithoutWindow, UndoTakesTheSnapshotFromTheClipboardAndLeavesTheReference) {
    canvas::EditorState& state = host->state;
    state.Canvas().SetPicture(Pattern(50, 40));
    state.ReferenceFromCanvas();
    const canvas::Version reference = state.ReferenceVersion();
    state.Clipboard().Put(state.Canvas().TakeVersion(), platform::ClipboardUse::UndoSnapshot);
    state.Canvas().Line(QPointF(0, 0), QPointF(49, 39), 0x0000FF00);
    state.SetUndoReady(1);
    commands::UndoPicture(*host);
    EXPECT_TRUE(SamePixels(state.Canvas().Image(), Pattern(50, 40)));
    EXPECT_EQ(state.UndoReady(), 0);
    EXPECT_EQ(host->replaced, std::vector<AfterReplace>{AfterReplace::UndoStep});
    EXPECT_EQ(state.ReferenceVersion(), reference);
}

}  // namespace
