// The program picker: preselection, accept, cancel, close.
#include <gtest/gtest.h>

#include <QTimer>

#include "dialogs/DialogTestSupport.h"
#include "dialogs/PickerWait.h"
#include "dialogs/frmFileSelect.h"
#include "support/PickerControls.h"

using namespace dialogs_test;
using namespace test_support;

namespace {

class FileSelect : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = QDir(dir.path()).absolutePath();
        WriteFile(folder + "/Paint Tool", "#!/bin/sh\n");
        MakeExecutable(folder + "/Paint Tool");
        WriteFile(folder + "/viewer", "#!/bin/sh\n");
        MakeExecutable(folder + "/viewer");
        WriteFile(folder + "/readme.txt");
    }
    QTemporaryDir dir;
    QString folder;
};

}  // namespace

TEST_F(FileSelect, OpensOnThePresetProgram) {
    auto handOver = OpenHandOver("Externes Bildverarbeitungsprogramm auswählen", folder + "/viewer");
    frmFileSelect picker(handOver);
    EXPECT_EQ(picker.windowTitle(), QString("Externes Bildverarbeitungsprogramm auswählen"));
    EXPECT_EQ(Files(picker).Path(), folder);
    EXPECT_EQ(Files(picker).count(), 2);  // the two programs, not the text file
    EXPECT_EQ(Files(picker).FileName(), "viewer");
    EXPECT_EQ(picker.size(), QSize(357, 337));
    EXPECT_TRUE(picker.windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST_F(FileSelect, MissingPresetLeavesNothingSelected) {
    auto handOver = OpenHandOver("x", folder + "/deleted-program");
    frmFileSelect picker(handOver);
    EXPECT_EQ(Files(picker).FileName(), "");
}

TEST_F(FileSelect, AcceptReturnsTheFullPathAndLeavesPictureValuesAlone) {
    auto handOver = OpenHandOver("x", "");
    frmFileSelect picker(handOver);
    Folders(picker).SetPath(folder);
    picker.Accept();  // nothing selected
    EXPECT_EQ(handOver.intDialogOpen, 1);
    ASSERT_TRUE(Files(picker).SelectFileName("Paint Tool"));
    picker.Accept();
    EXPECT_EQ(handOver.intDialogOpen, 0);
    EXPECT_EQ(handOver.strSelectedFile, folder + "/Paint Tool");
}

TEST_F(FileSelect, CancelAndCloseKeepTheOldProgram) {
    auto handOver = OpenHandOver("x", folder + "/viewer");
    {
        frmFileSelect picker(handOver);
        Folders(picker).SetPath(QDir::rootPath());
        picker.show();
        picker.Cancel();
    }
    EXPECT_EQ(handOver.intDialogOpen, 0);
    EXPECT_EQ(handOver.strSelectedFile, folder + "/viewer");

    handOver = OpenHandOver("x", folder + "/viewer");
    frmFileSelect picker(handOver);
    QTimer::singleShot(50, &picker, [&] { picker.close(); });
    dialogs::WaitForPicker(picker, handOver, nullptr);
    EXPECT_EQ(handOver.intDialogOpen, 0);
    EXPECT_EQ(handOver.strSelectedFile, folder + "/viewer");
}
