// Korvel Annotarix: marks up screenshots in one editor window.
#include <QApplication>
#include <QFile>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/AppModul.h"
#include "app/ClipboardKeeper.h"
#include "platform/wayland/DesktopPlatform.h"
#include "platform/wayland/WaylandClipboardKeeper.h"

namespace {

// The binary that `cmake --install` puts in place is built with
// KORVEL_INSTALLED_BINARY: it keeps its files in the user's folders.
#ifdef KORVEL_INSTALLED_BINARY
constexpr app::FilePlace kFilePlace = app::FilePlace::UserFolders;
#else
constexpr app::FilePlace kFilePlace = app::FilePlace::BesideProgram;
#endif

// Ends the process without Qt's teardown. Once another program holds the
// clipboard, Qt's X11 clipboard can still take itself for the owner; its
// teardown would then ask the clipboard manager to save contents that are no
// longer ours and wait five seconds for an answer. Settings are written and
// the lock released before this, and nothing else is left that the system
// does not release.
[[noreturn]] void EndWithoutTeardown(int result) {
    std::fflush(nullptr);
    std::_Exit(result);
}

}  // namespace

int main(int argc, char** argv) {
    // The clipboard keeper: no window, no single-instance lock. The editor
    // names its picture file and the window that owned the clipboard.
    if ((argc == 3 || argc == 4) && std::strcmp(argv[1], app::kKeepClipboardArgument) == 0) {
        const std::uint32_t editorWindow =
            argc == 4 ? static_cast<std::uint32_t>(std::strtoul(argv[3], nullptr, 10)) : 0;
        const QGuiApplication keeper(argc, argv);
        EndWithoutTeardown(app::RunClipboardKeeper(QFile::decodeName(argv[2]), editorWindow));
    }
    // The Wayland keeper: no Qt application, only its own compositor connection.
    if (argc == 3 && std::strcmp(argv[1], wayland::kKeepClipboardArgument) == 0)
        EndWithoutTeardown(wayland::RunClipboardKeeper(argv[2]));
    wayland::ChooseQtPlatform();
    QApplication application(argc, argv);
    // The application name is the X11 window class, which the desktop entry
    // names in StartupWMClass. It stays the binary's name, as do the settings
    // folder, the settings file and the lock.
    QApplication::setApplicationName(QStringLiteral("korvel-annotarix"));
    // The desktop file name, io.github.korvel.annotarix from the build
    // (desktop/CMakeLists.txt), is the Wayland app_id: shells match it to the
    // installed desktop entry of that name and its icon. Qt derives no folder
    // from it, so the settings stay where they were.
    QGuiApplication::setDesktopFileName(QStringLiteral(KORVEL_DESKTOP_FILE_NAME));
    auto running = app::Main(argc, argv, kFilePlace);
    if (!running) return 0;  // a second instance ends at once
    const int result = QApplication::exec();
    // The picture is held elsewhere now (clipboard manager or keeper), or the
    // clipboard went to another program without Qt noticing.
    if (app::Shutdown(std::move(running))) EndWithoutTeardown(result);
    return result;
}
