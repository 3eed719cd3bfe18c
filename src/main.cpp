// Korvel Annotarix: marks up screenshots in one editor window.
#include <QApplication>

#include "app/AppModul.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("korvel-annotarix"));
    const int exitCode = app::Main(argc, argv);
    if (exitCode >= 0) return exitCode;
    const int result = QApplication::exec();
    app::Shutdown();
    return result;
}
