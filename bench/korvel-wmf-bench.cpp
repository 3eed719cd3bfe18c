// Measures the metafile player: loads each WMF given (or, without files, a
// generated drawing of 4000 shapes, 300 texts and a 1000 x 1000 bitmap on a
// 2000 x 1500 picture) several times and prints milliseconds per load.
// Usage: korvel-wmf-bench [FILE.wmf ...] [--repeat N] [--png OUT.png]
// (--png writes the last picture, to look at.)
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/wmf/WmfPicture.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, int v) {
    b.push_back(static_cast<std::uint8_t>(v & 0xFF));
    b.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void Record(Bytes& b, int function, const std::vector<int>& words, const Bytes& raw = {}) {
    const std::size_t paramWords = words.size() + (raw.size() + 1) / 2;
    Put16(b, static_cast<int>((3 + paramWords) & 0xFFFF));
    Put16(b, static_cast<int>((3 + paramWords) >> 16));
    Put16(b, function);
    for (const int w : words) Put16(b, w);
    b.insert(b.end(), raw.begin(), raw.end());
    if (raw.size() % 2) b.push_back(0);
}

Bytes GeneratedDrawing() {
    Bytes body;
    Record(body, 0x020B, {0, 0});
    Record(body, 0x020C, {1500, 2000});
    Bytes dib;
    for (const int v : {40, 0, 1000, 0, 1000, 0, 1, 24, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}) Put16(dib, v);
    for (int y = 0; y < 1000; ++y) {
        for (int x = 0; x < 1000; ++x)
            dib.insert(dib.end(), {std::uint8_t(x), std::uint8_t(y), std::uint8_t(x ^ y)});
    }
    Record(body, 0x0F43, {0x20, 0xCC, 0, 1000, 1000, 0, 0, 1000, 1000, 250, 500}, dib);
    Bytes face(8, 0);
    for (const char c : std::string("Arial")) face.push_back(static_cast<std::uint8_t>(c));
    face.resize(40, 0);
    Record(body, 0x02FB, {-24, 0, 0, 0, 400}, face);
    Record(body, 0x012D, {0});
    Record(body, 0x0102, {1});
    for (int i = 0; i < 4000; ++i) {
        const int x = (i * 37) % 1900, y = (i * 53) % 1400, c = i * 2654435761u >> 8;
        Record(body, 0x02FC, {0, c & 0xFFFF, (c >> 16) & 0xFF, 0});
        Record(body, 0x012D, {1});
        if (i % 2) {
            Record(body, 0x0418, {y + 90, x + 90, y, x});
        } else {
            Record(body, 0x0324, {3, x, y, x + 100, y + 20, x + 40, y + 100});
        }
        Record(body, 0x01F0, {1});
        if (i % 13 == 0) {
            Record(body, 0x0521, {},
                   {12, 0, 'A', 'n', 'n', 'o', 't', 'a', 't', 'i', 'o', 'n', ' ', '1', std::uint8_t(y),
                    std::uint8_t(y >> 8), std::uint8_t(x), std::uint8_t(x >> 8)});
        }
    }
    Record(body, 0x0000, {});
    Bytes file;
    for (const int v : {0xCDD7, 0x9AC6, 0, 0, 0, 2000, 1500, 96, 0, 0, 0}) Put16(file, v);
    for (const int v : {1, 9, 0x300, 0, 0, 4, 0, 0, 0}) Put16(file, v);
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr && std::getenv("DISPLAY") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QGuiApplication application(argc, argv);
    int repeat = 10;
    const char* png = nullptr;
    std::vector<std::pair<QString, Bytes>> inputs;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--repeat") == 0 && i + 1 < argc) {
            repeat = std::max(1, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--png") == 0 && i + 1 < argc) {
            png = argv[++i];
        } else {
            QFile file(QString::fromLocal8Bit(argv[i]));
            if (!file.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", argv[i]);
                return 1;
            }
            const QByteArray data = file.readAll();
            inputs.emplace_back(file.fileName(), Bytes(data.begin(), data.end()));
        }
    }
    if (inputs.empty()) inputs.emplace_back(QStringLiteral("(generated drawing)"), GeneratedDrawing());

    QImage picture;
    for (const auto& [name, bytes] : inputs) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < repeat; ++i) picture = LoadWindowsMetafile({bytes.data(), bytes.size()});
        const double ms = timer.nsecsElapsed() / 1e6 / repeat;
        std::printf("%s: %d x %d, %zu bytes, %.2f ms per load%s\n", qPrintable(name), picture.width(),
                    picture.height(), bytes.size(), ms, picture.isNull() ? " (not loaded)" : "");
    }
    if (png != nullptr && !picture.isNull()) picture.save(QString::fromLocal8Bit(png));
    return 0;
}
