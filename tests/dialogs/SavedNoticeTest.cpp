// The saved notice: shows without taking the focus, closes itself after two
// seconds, and a second save restarts the time.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QScreen>
#include <QTest>

#include "dialogs/frmInfo.h"
#include "support/PickerControls.h"

using namespace test_support;

TEST(SavedNotice, ShowsAboveOthersAndClosesItselfAfterTwoSeconds) {
    QLineEdit typing;
    typing.show();
    typing.activateWindow();
    typing.setFocus();
    QApplication::processEvents();
    QWidget* const focused = QApplication::focusWidget();

    QElapsedTimer clock;
    clock.start();
    dialogs::ShowSavedNotice();
    frmInfo* notice = dialogs::SavedNotice();
    ASSERT_NE(notice, nullptr);
    EXPECT_TRUE(notice->isVisible());
    EXPECT_EQ(NoticeMessage(*notice).text(), "Bild gespeichert.");
    EXPECT_TRUE(notice->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(notice->size(), QSize(259, 55));
    EXPECT_EQ(QApplication::focusWidget(), focused);  // typing goes on

    // Centred horizontally, above the vertical centre.
    const QRect screen = notice->screen()->geometry();
    EXPECT_NEAR(notice->frameGeometry().center().x(), screen.center().x(), 2);
    EXPECT_LT(notice->frameGeometry().center().y(), screen.center().y());

    QTest::keyClicks(&typing, "abc");  // input is not blocked
    EXPECT_EQ(typing.text(), "abc");

    EXPECT_TRUE(QTest::qWaitFor([] { return dialogs::SavedNotice() == nullptr; }, 4000));
    EXPECT_GE(clock.elapsed(), 1900);
}

TEST(SavedNotice, SecondSaveWhileShowingRestartsTheTime) {
    dialogs::ShowSavedNotice();
    frmInfo* first = dialogs::SavedNotice();
    QTest::qWait(1200);
    QElapsedTimer clock;
    clock.start();
    dialogs::ShowSavedNotice();
    EXPECT_EQ(dialogs::SavedNotice(), first);  // the same window, not a second one
    QTest::qWait(1200);                        // 2400 ms after the first save: still showing
    EXPECT_NE(dialogs::SavedNotice(), nullptr);
    EXPECT_TRUE(QTest::qWaitFor([] { return dialogs::SavedNotice() == nullptr; }, 3000));
    EXPECT_GE(clock.elapsed(), 1900);
}
