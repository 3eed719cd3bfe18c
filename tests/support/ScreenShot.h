// What the screen shows, as the compositor composes it. A window can be
// mapped, on top and painted, and still miss the screen (a compositing
// manager that leaves it out), so the desktop passes of the test command
// check the pixels themselves: KORVEL_SCREENSHOT_COMMAND names a program and
// its arguments, separated by blanks, that writes the whole screen to the file
// appended to them (grim under sway; ImageMagick's `import -window root
// -screen` on an X screen, where a nested compositor draws its output or an X
// compositing manager runs). Without it the checks that need it skip.
#pragma once

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>

#include "dialogs/frmInfo.h"

namespace test_support {

inline bool CanTakeScreenshots() {
    return !qEnvironmentVariableIsEmpty("KORVEL_SCREENSHOT_COMMAND");
}

// The screen now, or a null picture when there is no way to read it. The
// program's own events run meanwhile: a compositor may wait for the windows
// it shows to answer. With KORVEL_SCREENSHOT_KEEP (a folder) the picture is
// kept there as KORVEL_DESKTOP_NAME-`keepAs`.png, to look at afterwards.
inline QImage Screenshot(const QString& keepAs = {}) {
    QStringList command =
        qEnvironmentVariable("KORVEL_SCREENSHOT_COMMAND").split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (command.isEmpty()) return {};
    const QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("screen"));  // PNG or PPM, as the command writes it
    QProcess shot;
    shot.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    shot.start(command.takeFirst(), command << file);
    if (!shot.waitForStarted(3000)) {
        ADD_FAILURE() << "the screenshot command did not start";
        return {};
    }
    if (!QTest::qWaitFor([&shot] { return shot.state() == QProcess::NotRunning; }, 10000)) {
        shot.kill();
        shot.waitForFinished(1000);
        ADD_FAILURE() << "the screenshot command did not end";
        return {};
    }
    const QImage screen(file);
    if (screen.isNull()) ADD_FAILURE() << "the screenshot command wrote no picture";
    const QString keep = qEnvironmentVariable("KORVEL_SCREENSHOT_KEEP");
    if (!keep.isEmpty() && !keepAs.isEmpty())
        screen.save(keep + "/" + qEnvironmentVariable("KORVEL_DESKTOP_NAME", "desktop") + "-" + keepAs +
                    ".png");
    return screen.convertToFormat(QImage::Format_RGB32);
}

// How many pixels of the screenshot have exactly this colour.
inline qsizetype CountPixels(const QImage& shot, QColor colour) {
    const QRgb wanted = colour.rgb() | 0xFF000000u;
    qsizetype count = 0;
    for (int y = 0; y < shot.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(shot.constScanLine(y));
        for (int x = 0; x < shot.width(); ++x) count += (row[x] | 0xFF000000u) == wanted ? 1 : 0;
    }
    return count;
}

// Saves through the name box and follows the saved notice on the screen: its
// green text is there soon after the save (screenshots from 250 ms after it
// on, while the notice lasts: on a busy machine a screenshot can take longer
// than the notice) and gone once the notice's two seconds are over (600 ms
// later, for the compositor's next frame).
inline void ExpectNoticeShownForItsTime(QLineEdit& nameBox, const QString& name) {
    const QColor green(0, 255, 0);
    ASSERT_EQ(CountPixels(Screenshot(), green), 0) << "green on the screen before the save";
    nameBox.setFocus();
    nameBox.setText(name);
    QElapsedTimer sinceSave;
    QTest::keyClick(&nameBox, Qt::Key_Return);
    sinceSave.start();
    ASSERT_NE(dialogs::SavedNotice(), nullptr);
    QTest::qWait(250);
    qint64 seenAt = -1;
    int shots = 0;
    while (seenAt < 0 && sinceSave.elapsed() < frmInfo::kShowMilliseconds - 300) {
        const qint64 shotStart = sinceSave.elapsed();
        ++shots;
        if (CountPixels(Screenshot(QStringLiteral("notice")), green) > 100) seenAt = shotStart;
    }
    EXPECT_GE(seenAt, 0) << "no notice on the screen while it lasted (" << shots << " screenshots)";
    std::printf("notice seen in screenshot %d, started %lld ms after the save\n", shots,
                static_cast<long long>(seenAt));
    QTest::qWait(
        static_cast<int>(std::max<qint64>(0, frmInfo::kShowMilliseconds + 600 - sinceSave.elapsed())));
    EXPECT_EQ(dialogs::SavedNotice(), nullptr);
    EXPECT_EQ(CountPixels(Screenshot(), green), 0) << "the notice is still on the screen";
}

}  // namespace test_support
