// Korvel Annotarix: marks up screenshots in one editor window.
#include <QApplication>
#include <cstring>

#include "app/AppModul.h"
#include "app/ClipboardKeeper.h"

int main(int argc, char** argv) {
    // The clipboard keeper: no window, no single-instance lock.
    if (argc == 3 && std::strcmp(argv[1], app::kKeepClipboardArgument) == 0) {
        QGuiApplication keeper(argc, argv);
        return app::RunClipboardKeeper(QString::fromLocal8Bit(argv[2]));
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("korvel-annotarix"));
    const int exitCode = app::Main(argc, argv);
    if (exitCode >= 0) return exitCode;
    const int result = QApplication::exec();
    app::Shutdown();
    return result;
}
