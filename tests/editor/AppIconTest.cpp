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

}  // namespace
