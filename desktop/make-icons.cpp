// Writes the program's icon into a hicolor icon theme folder: the SVG and
// one PNG per installed size, all from the drawing the window icon uses.
//   korvel-make-icons OUTDIR   (creates OUTDIR/hicolor/...)
#include <QDir>
#include <QFile>
#include <QImage>
#include <QString>
#include <cstdio>

#include "editor/AppIcon.h"

namespace {

constexpr char kIconName[] = "korvel-annotarix";

bool WriteSvg(const QString& folder) {
    if (!QDir().mkpath(folder)) return false;
    QFile file(folder + QStringLiteral("/%1.svg").arg(QLatin1String(kIconName)));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    const QByteArray svg = icons::AppIconSvg().toUtf8();
    return file.write(svg) == svg.size();
}

bool WritePng(const QString& folder, int size) {
    if (!QDir().mkpath(folder)) return false;
    return icons::AppIconImage(size).save(folder + QStringLiteral("/%1.png").arg(QLatin1String(kIconName)),
                                          "PNG");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    const QString theme = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/hicolor");
    bool ok = WriteSvg(theme + QStringLiteral("/scalable/apps"));
    for (const int size : icons::kAppIconSizes) {
        ok = WritePng(theme + QStringLiteral("/%1x%1/apps").arg(size), size) && ok;
    }
    if (!ok) {
        std::fprintf(stderr, "%s: could not write the icons under %s\n", argv[0], qPrintable(theme));
        return 1;
    }
    return 0;
}
