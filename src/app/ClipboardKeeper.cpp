#include "app/ClipboardKeeper.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryFile>
#include <QThread>
#include <QtEndian>
#include <array>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/qt/PictureClipboard.h"
#include "platform/qt/QuietProcess.h"
#include "platform/qt/X11Clipboard.h"
#include "platform/wayland/WaylandClipboardKeeper.h"

namespace app {

namespace {

// The picture travels to the keeper in a private file: a magic word, width
// and height, then the rows of 32-bit pixels.
constexpr std::array<char, 8> kMagic{'K', 'O', 'R', 'V', 'K', 'E', 'E', 'P'};
constexpr int kMaxSide = 32767;
// The editor's close hands its clipboard on within this time, on a busy
// machine too: the keeper has had this long to take over (it goes on
// starting after the editor has gone), a snapshot's hand-over to a manager
// ends by then.
constexpr int kCloseHandOverMs = 450;
// A keeper has no one waiting on it: it gives a manager all the time a large
// picture takes.
constexpr int kKeeperHandOverMs = 30000;

bool WritePictureFile(QFile& file, const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    std::array<char, 16> header{};
    std::memcpy(header.data(), kMagic.data(), kMagic.size());
    qToLittleEndian<quint32>(static_cast<quint32>(rgb.width()), header.data() + 8);
    qToLittleEndian<quint32>(static_cast<quint32>(rgb.height()), header.data() + 12);
    if (file.write(header.data(), header.size()) != static_cast<qint64>(header.size())) return false;
    const qint64 rowBytes = qint64{rgb.width()} * 4;
    for (int y = 0; y < rgb.height(); ++y) {
        if (file.write(reinterpret_cast<const char*>(rgb.constScanLine(y)), rowBytes) != rowBytes)
            return false;
    }
    return file.flush();
}

QImage ReadPictureFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    std::array<char, 16> header{};
    if (file.read(header.data(), header.size()) != static_cast<qint64>(header.size())) return {};
    if (std::memcmp(header.data(), kMagic.data(), kMagic.size()) != 0) return {};
    const quint32 width = qFromLittleEndian<quint32>(header.data() + 8);
    const quint32 height = qFromLittleEndian<quint32>(header.data() + 12);
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) return {};
    const qint64 rowBytes = qint64{width} * 4;
    if (file.size() != static_cast<qint64>(header.size()) + rowBytes * height) return {};
    QImage picture(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
    if (picture.isNull()) return {};
    for (int y = 0; y < picture.height(); ++y) {
        if (file.read(reinterpret_cast<char*>(picture.scanLine(y)), rowBytes) != rowBytes) return {};
    }
    return picture;
}

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
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/korvel-annotarix-keep-XXXXXX"));
    file.setAutoRemove(false);  // the keeper removes it once read
    if (!file.open() || !WritePictureFile(file, picture)) {
        file.remove();
        return 0;
    }
    file.close();
    const qint64 pid = platform::StartDetachedQuietly(
        programFile,
        {QString::fromLatin1(kKeepClipboardArgument), file.fileName(), QString::number(previousOwner)});
    if (pid == 0) {
        file.remove();
        return 0;
    }
    if (!WaitForKeeper(previousOwner, pid, deadline)) {
        QFile::remove(file.fileName());
        return 0;
    }
    return pid;
}

int RunClipboardKeeper(const QString& file, std::uint32_t editorWindow) {
#ifdef SIGHUP
    // The terminal the editor was started from may close; the keeper lives on
    // until the clipboard is taken or the X session ends.
    std::signal(SIGHUP, SIG_IGN);
#endif
    const QImage picture = ReadPictureFile(file);
    QFile::remove(file);
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
