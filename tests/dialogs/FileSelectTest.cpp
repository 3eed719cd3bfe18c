// The program picker: preselection, accept, cancel, close.
#include <gtest/gtest.h>

#include <QTimer>

#include "dialogs/DialogTestSupport.h"
#include "dialogs/PickerWait.h"
#include "dialogs/frmFileSelect.h"

using namespace dialogs_test;

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
    HandOverScope values;
    QTemporaryDir dir;
    QString folder;
};

}  // namespace

TEST_F(FileSelect, OpensOnThePresetProgram) {
    OpenHandOver("Externes Bildverarbeitungsprogramm auswählen", folder + "/viewer");
    frmFileSelect picker;
    EXPECT_EQ(picker.windowTitle(), QString("Externes Bildverarbeitungsprogramm auswählen"));
    EXPECT_EQ(picker.File1.Path(), folder);
    EXPECT_EQ(picker.File1.count(), 2);  // the two programs, not the text file
    EXPECT_EQ(picker.File1.FileName(), "viewer");
    EXPECT_EQ(picker.size(), QSize(357, 337));
    EXPECT_TRUE(picker.windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST_F(FileSelect, MissingPresetLeavesNothingSelected) {
    OpenHandOver("x", folder + "/deleted-program");
    frmFileSelect picker;
    EXPECT_EQ(picker.File1.FileName(), "");
}

TEST_F(FileSelect, AcceptReturnsTheFullPathAndLeavesPictureValuesAlone) {
    OpenHandOver("x", "");
    frmFileSelect picker;
    picker.Dir1.SetPath(folder);
    picker.Command1_Click();  // nothing selected
    EXPECT_EQ(app::G().intDialogOpen, 1);
    ASSERT_TRUE(picker.File1.SelectFileName("Paint Tool"));
    picker.Command1_Click();
    EXPECT_EQ(app::G().intDialogOpen, 0);
    EXPECT_EQ(app::G().strSelectedFile, folder + "/Paint Tool");
}

TEST_F(FileSelect, CancelAndCloseKeepTheOldProgram) {
    OpenHandOver("x", folder + "/viewer");
    {
        frmFileSelect picker;
        picker.Dir1.SetPath(QDir::rootPath());
        picker.show();
        picker.Command2_Click();
    }
    EXPECT_EQ(app::G().intDialogOpen, 0);
    EXPECT_EQ(app::G().strSelectedFile, folder + "/viewer");

    OpenHandOver("x", folder + "/viewer");
    frmFileSelect picker;
    QTimer::singleShot(50, &picker, [&] { picker.close(); });
    dialogs::WaitForPicker(picker, nullptr);
    EXPECT_EQ(app::G().intDialogOpen, 0);
    EXPECT_EQ(app::G().strSelectedFile, folder + "/viewer");
}
