// Icons drawn in code: painted at the size and pixel ratio asked for, and the
// installed SVG written from the same drawing.
#include <gtest/gtest.h>

#include <QIcon>
#include <QPixmap>
#include <QXmlStreamReader>
#include <cmath>

#include "editor/AppIcon.h"
#include "editor/ToolbarIcons.h"

namespace {

TEST(AppIcon, WindowIconIsPaintedAtTheSizeAndRatioAsked) {
    const struct {
        int size;
        double ratio;
    } cases[] = {{16, 1.0}, {32, 2.0}, {48, 1.5}, {256, 1.0}};
    const QIcon icon = icons::AppIcon();
    for (const auto& c : cases) {
        const QPixmap pixmap = icon.pixmap(QSize(c.size, c.size), c.ratio);
        const int device = static_cast<int>(std::lround(c.size * c.ratio));
        EXPECT_EQ(pixmap.size(), QSize(device, device)) << c.size << " @" << c.ratio;
        EXPECT_DOUBLE_EQ(pixmap.devicePixelRatio(), c.ratio);
        // The same pixels as the installed PNG of that size: drawn, not scaled.
        EXPECT_EQ(pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                  icons::AppIconImage(device))
            << c.size << " @" << c.ratio;
    }
}

TEST(AppIcon, ToolBarIconsAtDoubleRatioAreDrawnFinerThanTheirSixteenPixelArt) {
    const QIcon all[] = {icons::OpenFolderIcon(), icons::FloppyDiskIcon(), icons::CropIcon(),
                         icons::CopyIcon(),       icons::PasteIcon(),      icons::EyeIcon(),
                         icons::UndoIcon(),       icons::OpenHandIcon()};
    for (std::size_t i = 0; i < std::size(all); ++i) {
        const QImage one = all[i].pixmap(QSize(16, 16), 1.0).toImage();
        const QImage two = all[i].pixmap(QSize(16, 16), 2.0).toImage();
        ASSERT_EQ(one.size(), QSize(16, 16)) << i;
        ASSERT_EQ(two.size(), QSize(32, 32)) << i;
        const QImage doubled = one.scaled(32, 32, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        EXPECT_NE(two.convertToFormat(QImage::Format_ARGB32), doubled.convertToFormat(QImage::Format_ARGB32))
            << i;
    }
}

TEST(AppIcon, SvgIsWellFormedWithTheDesignViewBox) {
    QXmlStreamReader xml(icons::AppIconSvg());
    int shapes = 0;
    QString viewBox;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == QLatin1String("svg")) viewBox = xml.attributes().value("viewBox").toString();
        if (xml.name() == QLatin1String("rect") || xml.name() == QLatin1String("polygon")) ++shapes;
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(viewBox, "0 0 32 32");
    EXPECT_GT(shapes, 0);
}

TEST(ToolbarIcons, AreDistinctSixteenPixelDrawings) {
    const QImage images[] = {icons::OpenFolderImage(), icons::FloppyDiskImage(), icons::CropImage(),
                             icons::CopyImage(),       icons::PasteImage(),      icons::EyeImage(),
                             icons::UndoImage(),       icons::OpenHandImage()};
    for (std::size_t i = 0; i < std::size(images); ++i) {
        EXPECT_EQ(images[i].size(), QSize(16, 16));
        int opaque = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) opaque += qAlpha(images[i].pixel(x, y)) > 128 ? 1 : 0;
        }
        EXPECT_GT(opaque, 25) << i;
        EXPECT_LT(opaque, 256) << i;  // a shape, not a filled square
        for (std::size_t j = 0; j < i; ++j) EXPECT_NE(images[i], images[j]) << i << " " << j;
    }
    const QImage pen = icons::AppIconImage(32);
    EXPECT_EQ(pen.size(), QSize(32, 32));
    int yellow = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QColor c = QColor::fromRgba(pen.pixel(x, y));
            yellow += c.alpha() > 200 && c.red() > 200 && c.green() > 180 && c.blue() < 80 ? 1 : 0;
        }
    }
    EXPECT_GT(yellow, 60);
}

}  // namespace
