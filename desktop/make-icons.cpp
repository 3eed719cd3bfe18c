// Writes the program's icon into a hicolor icon theme folder: the SVG and
// one PNG per installed size, all from the drawing the window icon uses.
//   korvel-make-icons OUTDIR NAME   (creates OUTDIR/hicolor/.../NAME.svg, NAME.png)
#include <QDir>
#include <QFile>
#include <QImage>
#include <QString>
#include <cstdio>

#include "editor/AppIcon.h"

namespace {

bool WriteSvg(const QString& folder, const QString& name) {
    if (!QDir().mkpath(folder)) return false;
    QFile file(folder + QStringLiteral("/%1.svg").arg(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    const QByteArray svg = icons::AppIconSvg().toUtf8();
    return file.write(svg) == svg.size();
}

bool WritePng(const QString& folder, const QString& name, int size) {
    if (!QDir().mkpath(folder)) return false;
    return icons::AppIconImage(size).save(folder + QStringLiteral("/%1.png").arg(name), "PNG");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s OUTDIR NAME\n", argv[0]);
        return 2;
    }
    const QString theme = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/hicolor");
    const QString name = QString::fromLocal8Bit(argv[2]);
    bool ok = WriteSvg(theme + QStringLiteral("/scalable/apps"), name);
    for (const int size : icons::kAppIconSizes) {
        ok = WritePng(theme + QStringLiteral("/%1x%1/apps").arg(size), name, size) && ok;
    }
    if (!ok) {
        std::fprintf(stderr, "%s: could not write the icons under %s\n", argv[0], qPrintable(theme));
        return 1;
    }
    return 0;
}
