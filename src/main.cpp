// Korvel Annotarix: marks up screenshots in one editor window.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/AppModul.h"
#include "app/ClipboardKeeper.h"

namespace {

// The binary that `cmake --install` puts in place is built with
// KORVEL_INSTALLED_BINARY: it keeps its files in the user's folders.
#ifdef KORVEL_INSTALLED_BINARY
constexpr app::FilePlace kFilePlace = app::FilePlace::UserFolders;
#else
constexpr app::FilePlace kFilePlace = app::FilePlace::BesideProgram;
#endif

}  // namespace

int main(int argc, char** argv) {
    // The clipboard keeper: no window, no single-instance lock.
    if (argc == 3 && std::strcmp(argv[1], app::kKeepClipboardArgument) == 0) {
        QGuiApplication keeper(argc, argv);
        return app::RunClipboardKeeper(QString::fromLocal8Bit(argv[2]));
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("korvel-annotarix"));
    // The app id: Wayland shells and X11 task bars match it to the installed
    // desktop entry korvel-annotarix.desktop and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("korvel-annotarix"));
    const int exitCode = app::Main(argc, argv, kFilePlace);
    if (exitCode >= 0) return exitCode;
    const int result = QApplication::exec();
    if (app::Shutdown()) {
        // Another program holds the picture now, but Qt's X11 clipboard can
        // still take itself for the owner and would ask the clipboard manager
        // again at its teardown, holding up the end for five seconds. There
        // is nothing left to tear down that the system does not release.
        std::fflush(nullptr);
        std::_Exit(result);
    }
    return result;
}
