#include "app/ClipboardKeeper.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QGuiApplication>
#include <QThread>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "platform/qt/PictureClipboard.h"
#include "platform/qt/QuietProcess.h"
#include "platform/qt/X11Clipboard.h"
#include "platform/wayland/WaylandClipboardKeeper.h"

namespace app {

namespace {

// The editor's close hands its clipboard on within this time, on a busy
// machine too: the keeper has had this long to take over (it goes on
// starting after the editor has gone), a snapshot's hand-over to a manager
// ends by then.
constexpr int kCloseHandOverMs = 450;
// A keeper has no one waiting on it: it gives a manager all the time a large
// picture takes.
constexpr int kKeeperHandOverMs = 30000;

// Lets events run until another window owns the clipboard, the keeper has
// ended, or the time is up. True unless the keeper has ended.
bool WaitForKeeper(std::uint32_t previousOwner, qint64 pid, const QDeadlineTimer& deadline) {
    while (platform::ClipboardOwnerWindow() == previousOwner) {
        if (::kill(static_cast<pid_t>(pid), 0) != 0) return false;
        if (deadline.hasExpired()) return true;
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
        QThread::msleep(10);
    }
    return true;
}

[[noreturn]] void EndKeeper() {
    std::fflush(nullptr);
    std::_Exit(0);
}

}  // namespace

ClipboardExit ChooseClipboardExit(bool ownPicture, bool userCopy, bool x11, bool managerRunning) {
    if (!ownPicture || !x11) return ClipboardExit::Nothing;
    if (userCopy) return ClipboardExit::StartKeeper;
    return managerRunning ? ClipboardExit::HandToManager : ClipboardExit::Nothing;
}

bool KeepClipboardAtExit(const QString& keeperProgram) {
    if (wayland::OnWayland()) return wayland::KeepClipboardAtExit();
    const bool x11 = platform::IsX11();
    // Qt asks the X server for the owner when it hands out the contents, so
    // this is our picture only while the clipboard is still ours.
    const platform::PictureMimeData* own = platform::OwnClipboardPicture();
    // Qt's own record of owning it misses another program that took the
    // clipboard and let it go again. Its teardown would then ask the manager
    // to save the clipboard, now not ours, and wait seconds for an answer.
    const bool staleOwnership =
        x11 && QGuiApplication::clipboard()->ownsClipboard() && !platform::ClipboardOwnedHere();
    const bool userCopy = own != nullptr && own->Use() == platform::ClipboardUse::Copy;
    const std::uint32_t ownWindow = own != nullptr ? platform::ClipboardOwnerWindow() : 0;
    const ClipboardExit choice =
        ChooseClipboardExit(own != nullptr, userCopy, x11, x11 && platform::ClipboardManagerRunning());
    bool kept = false;
    if (choice == ClipboardExit::HandToManager) kept = platform::HandClipboardToManager(kCloseHandOverMs);
    // The picture file for the keeper is written within the same time.
    if (choice == ClipboardExit::StartKeeper) {
        const QString program =
            keeperProgram.isEmpty() ? QCoreApplication::applicationFilePath() : keeperProgram;
        kept = StartClipboardKeeper(own->Picture(), program, kCloseHandOverMs) != 0;
    }
    // Whatever is still ours now is let go, so that Qt's own hand-over at the
    // very end does not hold up the close for seconds.
    if (!kept && ownWindow != 0 && platform::ClipboardOwnerWindow() == ownWindow) {
        QGuiApplication::clipboard()->clear();
    }
    return kept || staleOwnership;
}

qint64 StartClipboardKeeper(const QImage& picture, const QString& programFile, int timeoutMs) {
    if (picture.isNull() || !platform::IsX11()) return 0;
    const QDeadlineTimer deadline(timeoutMs);  // the picture file's writing counts too
    const std::uint32_t previousOwner = platform::ClipboardOwnerWindow();
    const platform::KeeperStart keeper = platform::StartKeeperWithPicture(
        programFile, QString::fromLatin1(kKeepClipboardArgument), picture, {QString::number(previousOwner)});
    if (keeper.pid == 0) return 0;
    if (!WaitForKeeper(previousOwner, keeper.pid, deadline)) {
        QFile::remove(keeper.file);
        return 0;
    }
    return keeper.pid;
}

int RunClipboardKeeper(const QString& file, std::uint32_t editorWindow) {
#ifdef SIGHUP
    // The terminal the editor was started from may close; the keeper lives on
    // until the clipboard is taken or the X session ends.
    std::signal(SIGHUP, SIG_IGN);
#endif
    const QImage picture = platform::TakeKeeperPicture(file);
    if (picture.isNull() || !platform::IsX11()) return 1;
    // An editor that stopped waiting has gone meanwhile: its clipboard is
    // taken over only when nobody else has copied since.
    const std::uint32_t owner = platform::ClipboardOwnerWindow();
    if (owner != editorWindow && owner != 0) return 0;
    platform::PutPictureOnClipboard(picture, platform::ClipboardUse::Copy);
    // Qt's own record of owning the clipboard can miss a change of owner, so
    // the keeper asks the X server which window owns it.
    const std::uint32_t ownWindow = platform::ClipboardOwnerWindow();
    if (!QGuiApplication::clipboard()->ownsClipboard() || ownWindow == 0) return 1;
    // The keeper ends the moment another program copies, even while it is
    // busy encoding the picture for a reader. Without XFixes, Qt's signal
    // tells it once the event loop runs again.
    if (!platform::WatchClipboardOwner(ownWindow, [] { EndKeeper(); })) {
        if (platform::ClipboardOwnerWindow() != ownWindow) return 0;
        QObject::connect(QGuiApplication::clipboard(), &QClipboard::changed, qApp, [ownWindow] {
            if (platform::ClipboardOwnerWindow() != ownWindow) QCoreApplication::quit();
        });
    }
    // A clipboard manager that takes the picture keeps it from now on.
    if (platform::ClipboardManagerRunning() && platform::HandClipboardToManager(kKeeperHandOverMs)) return 0;
    if (platform::ClipboardOwnerWindow() != ownWindow) return 0;
    return QCoreApplication::exec();
}

}  // namespace app
