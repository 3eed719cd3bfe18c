// The saved notice in what the X screen shows: mapped and on top is not
// enough where a compositing manager draws the screen (mutter, KWin, xfwm4's
// compositor, GNOME through XWayland). scripts/x11-desktop-tests.sh runs this
// under each window manager it finds, with screenshots; elsewhere it skips.
#include <QWindow>

#include "support/ProgramSandbox.h"
#include "support/ScreenShot.h"

using namespace test_support;

namespace {

class NoticeOnScreen : public PictureFolderTest {};

}  // namespace

TEST_F(NoticeOnScreen, GreenTextShowsForTwoSecondsOverTheEditor) {
    if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "needs an X display";
    if (!CanTakeScreenshots()) GTEST_SKIP() << "needs screenshots";
    frmCapture& f = *form;
    f.State().Canvas().SetPicture(Solid(640, 480, Qt::darkGray));
    f.FitWindowToPicture();
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    QTest::qWait(700);  // the window manager's frame and the first frame of a compositor
    ExpectNoticeShownForItsTime(ui->nameBox, "Shown");
    EXPECT_TRUE(QFile::exists(folder + "/Shown.jpg"));
}
