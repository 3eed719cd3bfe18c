// Metafiles written by a real drawing program (LibreOffice Draw, from the
// SVG drawings beside them in tests/data/wmf), and metafiles reaching the
// program through the one picture loader.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/qt/PictureLoader.h"
#include "platform/wmf/WmfPicture.h"
#include "wmf/WmfBuilder.h"

using namespace wmftest;

namespace {

QString DataFile(const char* name) {
    return QStringLiteral(KORVEL_TEST_DATA "/wmf/") + QLatin1String(name);
}

// True when the pixel is within a small distance of the colour (text and
// scaled edges are not exact).
bool Near(const QImage& img, int x, int y, QColor c, int tolerance = 40) {
    const QColor p = img.pixelColor(x, y);
    return std::abs(p.red() - c.red()) + std::abs(p.green() - c.green()) + std::abs(p.blue() - c.blue()) <=
           tolerance;
}

int CountNear(const QImage& img, const QRect& area, QColor c) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) n += Near(img, x, y, c, 120);
    }
    return n;
}

}  // namespace

TEST(WmfDrawingProgramFiles, ShapesDrawingLoadsWithItsSizeAndColours) {
    const QImage img = LoadPictureFile(DataFile("lo-shapes.wmf"));
    ASSERT_FALSE(img.isNull());
    // 9462 x 6922 hundredths of a millimetre.
    EXPECT_EQ(img.size(), QSize(358, 262));
    EXPECT_TRUE(Near(img, 80, 55, Qt::red));                            // rectangle
    EXPECT_TRUE(Near(img, 7, 55, Qt::black, 120));                      // its outline
    EXPECT_TRUE(Near(img, 277, 57, Qt::blue));                          // ellipse
    EXPECT_TRUE(Near(img, 210, 12, Qt::white));                         // beside the ellipse
    EXPECT_TRUE(Near(img, 87, 220, QColor(0, 192, 0)));                 // triangle
    EXPECT_TRUE(Near(img, 20, 150, Qt::white));                         // beside its apex
    EXPECT_GT(CountNear(img, QRect(195, 140, 85, 30), Qt::black), 80);  // the word "Korvel"
}

TEST(WmfDrawingProgramFiles, MixedDrawingShowsBitmapRotatedTextAndDashes) {
    const QImage img = LoadPictureFile(DataFile("lo-mixed.wmf"));
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.size(), QSize(281, 181));
    // The 4 x 4 bitmap scaled up, right way round.
    EXPECT_TRUE(Near(img, 5, 5, Qt::red));
    EXPECT_TRUE(Near(img, 70, 5, Qt::green));
    EXPECT_TRUE(Near(img, 5, 70, Qt::blue));
    EXPECT_TRUE(Near(img, 70, 70, Qt::black));
    EXPECT_TRUE(Near(img, 40, 40, Qt::white));
    EXPECT_TRUE(Near(img, 150, 60, QColor(255, 255, 128)));                         // background
    EXPECT_GT(CountNear(img, QRect(140, 10, 100, 100), QColor(128, 0, 128)), 500);  // the ring
    EXPECT_GT(CountNear(img, QRect(120, 120, 100, 50), QColor(0, 128, 0)), 60);     // the text
    // The dashed line: dark and background pixels alternate along it.
    const int dark = CountNear(img, QRect(0, 108, 281, 4), Qt::black);
    EXPECT_GT(dark, 100);
    EXPECT_LT(dark, 281 * 3);
}

TEST(WmfPictureLoader, MetafilesAreToldByTheirHeaderNotTheirName) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    MetafileBuilder b;
    b.Window(0, 0, 40, 30).Brush(0, Qt::red).Select(0).Rectangle(0, 0, 40, 30);
    const Bytes plain = b.Build();
    const QString named = dir.filePath("picture.jpg");  // a plain metafile under a wrong name
    {
        QFile f(named);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(reinterpret_cast<const char*>(plain.data()), static_cast<qint64>(plain.size()));
    }
    const QImage img = LoadPictureFile(named);
    ASSERT_EQ(img.size(), QSize(40, 30));
    EXPECT_EQ(img.pixelColor(20, 15), QColor(Qt::red));

    // A damaged metafile fails like any unreadable picture.
    const QString damaged = dir.filePath("damaged.wmf");
    {
        QFile f(damaged);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(reinterpret_cast<const char*>(plain.data()), static_cast<qint64>(plain.size() - 4));
    }
    EXPECT_TRUE(LoadPictureFile(damaged).isNull());

    // Other pictures do not go to the metafile player.
    const QString png = dir.filePath("other.png");
    QImage other(5, 5, QImage::Format_RGB32);
    other.fill(Qt::blue);
    ASSERT_TRUE(other.save(png));
    EXPECT_FALSE(wmf::TryLoadWindowsMetafileFile(png).has_value());
    EXPECT_EQ(LoadPictureFile(png).size(), QSize(5, 5));
}
