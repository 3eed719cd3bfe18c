// The editor window's controls, the layout of the view and the scrolling.
#include <QTimer>
#include <functional>

#include "support/ProgramSandbox.h"

using namespace test_support;

namespace {

using WindowLayout = SandboxedEditorTest;

TEST_F(WindowLayout, ToolBarControlsSitWhereTheyBelongWithTheirTips) {
    frmCapture& f = MakeForm();
    struct Expected {
        QWidget* control;
        QRect geometry;
        const char* tip;
        const char* name;
    };
    // The tip names the keys that do the same; the name a screen reader says is
    // the tip's words alone.
    const Expected expected[] = {
        {&ui->loadButton, {3, 4, 25, 21}, "Bild laden", "Bild laden"},
        {&ui->saveButton, {28, 4, 25, 21}, "Bild speichern (Strg+S)", "Bild speichern"},
        {&ui->cropButton, {63, 4, 25, 21}, "Bild beschneiden", "Bild beschneiden"},
        {&ui->copyButton,
         {88, 4, 25, 21},
         "Bild in die Zwischenablage kopieren",
         "Bild in die Zwischenablage kopieren"},
        {&ui->pasteButton,
         {113, 4, 25, 21},
         "Bild aus der Zwischenablage holen (Strg+V)",
         "Bild aus der Zwischenablage holen"},
        {&ui->programButton,
         {138, 4, 25, 21},
         "mit externem Bild-Programm öffnen",
         "mit externem Bild-Programm öffnen"},
        {&ui->toolsButton,
         {173, 4, 25, 21},
         "Werkzeuge (Leertaste, Pfeiltasten, Eingabe)",
         "Werkzeuge: Hand"},
        {&ui->colorsButton, {198, 4, 25, 21}, "Farben (Leertaste, Pfeiltasten, Eingabe)", "Farben: Gelb"},
        {&ui->undoButton,
         {231, 4, 25, 21},
         "letzten Schritt rückgängig machen (Strg+Z)",
         "letzten Schritt rückgängig machen"},
        {&ui->nameBox, {263, 5, 184, 19}, "Dateiname (Eingabe oder Strg+S speichert)", "Dateiname"},
        {&ui->extensionLabel, {451, 8, 30, 15}, "", "Dateiendung"},
        {&ui->bitmapOption, {487, 8, 65, 17}, "", "Bitmap"},
        {&ui->jpegOption, {551, 8, 57, 17}, "", "JPeg"},
    };
    for (const Expected& e : expected) {
        EXPECT_EQ(e.control->parentWidget(), &ui->toolbarStrip) << e.tip;
        EXPECT_EQ(e.control->geometry(), e.geometry) << e.tip;
        EXPECT_EQ(e.control->toolTip(), QString::fromUtf8(e.tip));
        EXPECT_EQ(e.control->accessibleName(), QString::fromUtf8(e.name));
    }
    EXPECT_EQ(ui->toolbarStrip.geometry(), QRect(0, 0, 762, 29));
    EXPECT_EQ(ui->extensionLabel.text(), ".jpg");
    EXPECT_EQ(ui->bitmapOption.text(), "Bitmap");
    EXPECT_EQ(ui->jpegOption.text(), "JPeg");
    EXPECT_TRUE(ui->jpegOption.isChecked());
    EXPECT_FALSE(ui->bitmapOption.isChecked());
    EXPECT_EQ(ui->nameBox.font().family(), "Arial");
    EXPECT_TRUE(ui->nameBox.font().bold());
    EXPECT_EQ(ui->nameBox.font().pointSizeF(), 9.0);
    EXPECT_TRUE(ui->extensionLabel.font().bold());
    EXPECT_FALSE(ui->bitmapOption.font().bold());
    EXPECT_EQ(f.State().Canvas().Font().pointSizeF(), 12.0);
    EXPECT_TRUE(f.State().Canvas().Font().bold());
    EXPECT_TRUE(ui->cropButton.isCheckable());
    EXPECT_EQ(f.State().CurrentColor(), 0x0000FFFFu);
    EXPECT_EQ(f.windowTitle(), "Korvel Annotarix");
    EXPECT_FALSE(f.windowIcon().isNull());
}

TEST_F(WindowLayout, CommandArrayHasNoIndexTwo) {
    ButtonArray buttons;
    EXPECT_THROW(buttons[2], std::out_of_range);
    EXPECT_THROW(buttons[7], std::out_of_range);
    EXPECT_EQ(buttons.IndexOf(&buttons[5]), 5);
    const QToolButton other;
    EXPECT_EQ(buttons.IndexOf(&other), -1);
    frmCapture& f = MakeForm();
    EXPECT_EQ(f.findChild<QToolButton*>(QStringLiteral("Command1(2)")), nullptr);
}

TEST_F(WindowLayout, HiddenQualityBarAndDesignedScrollBars) {
    frmCapture& f = MakeForm();
    f.show();
    EXPECT_FALSE(ui->qualityScroll.isVisible());
    EXPECT_EQ(ui->qualityScroll.minimum(), 40);
    EXPECT_EQ(ui->qualityScroll.maximum(), 95);
    EXPECT_EQ(ui->qualityScroll.value(), 95);
    EXPECT_EQ(ui->horizontalScroll.singleStep(), 50);
    EXPECT_EQ(ui->horizontalScroll.pageStep(), 500);
    EXPECT_EQ(ui->verticalScroll.singleStep(), 50);
    EXPECT_EQ(ui->verticalScroll.pageStep(), 500);
    // Ctrl+V comes from key events: no timer keeps waking the idle program.
    for (const QTimer* timer : f.findChildren<QTimer*>()) EXPECT_FALSE(timer->isActive()) << timer;
    // The focus sink lies outside the window, yet takes the focus.
    EXPECT_GE(ui->dummy.x(), f.width());
    EXPECT_EQ(ui->canvasView.parentWidget(), &ui->viewPanel);
    EXPECT_EQ(ui->viewPanel.y(), 29);
}

TEST_F(WindowLayout, LoadClearsTheNameAndMakesTheCanvasBlack) {
    frmCapture& f = MakeForm();
    EXPECT_EQ(ui->nameBox.text(), "");
    EXPECT_EQ(f.State().Canvas().BackColor(), 0u);
    EXPECT_EQ(f.State().Canvas().Image().pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(ui->viewPanel.MousePointer(), canvas::kPointerCustom);
}

TEST_F(WindowLayout, CanvasTenPixelsTallerThanThePanelScrollsBy220Twips) {
    frmCapture& f = MakeForm();
    f.ResizeTwips(11430, 7305);
    const int panelHeight = f.ViewPanelHeightTwips();
    EXPECT_EQ(panelHeight, 7305 - 435 - 690);
    f.State().Canvas().SetPicture(Solid(100, panelHeight / 15 + 10, Qt::white));
    f.Form_Resize();
    EXPECT_TRUE(ui->verticalScroll.isEnabled());
    EXPECT_EQ(ui->verticalScroll.maximum(), 220);
    EXPECT_EQ(ui->verticalScroll.height() * 15, panelHeight);
    EXPECT_EQ(ui->horizontalScroll.y(), 29 + panelHeight / 15);
}

TEST_F(WindowLayout, CanvasAsHighAsThePanelDisablesTheBarAndShowsTheWholeCanvas) {
    frmCapture& f = MakeForm();
    f.ResizeTwips(11430, 7305);
    const int panelHeight = f.ViewPanelHeightTwips();
    f.State().Canvas().SetPicture(Solid(100, panelHeight / 15 + 40, Qt::white));
    f.Form_Resize();
    ui->verticalScroll.setValue(300);
    EXPECT_EQ(f.CanvasTopTwips(), -300);
    f.State().Canvas().SetPicture(Solid(100, panelHeight / 15, Qt::white));
    f.Form_Resize();
    EXPECT_FALSE(ui->verticalScroll.isEnabled());
    EXPECT_EQ(ui->verticalScroll.maximum(), 670);
    // A canvas that fits is not left scrolled out of the panel.
    EXPECT_EQ(ui->verticalScroll.value(), 0);
    EXPECT_EQ(f.CanvasTopTwips(), 0);
}

TEST_F(WindowLayout, SmallerPictureLoadedAfterScrollingSitsAtThePanelOrigin) {
    frmCapture& f = MakeForm();
    f.ResizeTwips(11430, 7305);
    f.State().Canvas().SetPicture(Solid(2000, 1500, Qt::white));
    f.Form_Resize();
    ui->horizontalScroll.setValue(ui->horizontalScroll.maximum());
    ui->verticalScroll.setValue(ui->verticalScroll.maximum());
    f.State().Canvas().SetPicture(Solid(640, 480, Qt::red));
    f.FitWindowToPicture();
    EXPECT_FALSE(ui->horizontalScroll.isEnabled());
    EXPECT_FALSE(ui->verticalScroll.isEnabled());
    EXPECT_EQ(ui->canvasView.pos(), QPoint(0, 0));
}

TEST_F(WindowLayout, NarrowCanvasLeavesTheHorizontalBarOff) {
    frmCapture& f = MakeForm();
    f.ResizeTwips(7770 + 380, 7305);
    ASSERT_EQ(f.ViewPanelWidthTwips(), 7770);
    f.State().Canvas().SetPicture(Solid(300, 100, Qt::white));
    f.Form_Resize();
    EXPECT_FALSE(ui->horizontalScroll.isEnabled());
    EXPECT_EQ(f.CanvasLeftTwips(), 0);
    EXPECT_EQ(ui->canvasView.x(), 0);
}

TEST_F(WindowLayout, WideCanvasScrollsToItsFarEdge) {
    frmCapture& f = MakeForm();
    f.ResizeTwips(7770 + 380, 7305);
    f.State().Canvas().SetPicture(Solid(1000, 100, Qt::white));
    f.Form_Resize();
    EXPECT_TRUE(ui->horizontalScroll.isEnabled());
    EXPECT_EQ(ui->horizontalScroll.maximum(), 7300);
    ui->horizontalScroll.setSliderPosition(ui->horizontalScroll.maximum());  // dragging the thumb to the end
    EXPECT_EQ(f.CanvasLeftTwips(), -7300);
    EXPECT_EQ(ui->canvasView.x(), -487);
    // A smaller Max pulls the value and the canvas back.
    f.State().Canvas().SetPicture(Solid(600, 100, Qt::white));
    f.Form_Resize();
    EXPECT_EQ(ui->horizontalScroll.maximum(), 9000 - 7770 + 70);
    EXPECT_EQ(f.CanvasLeftTwips(), -(9000 - 7770 + 70));
}

TEST_F(WindowLayout, HugeScreenshotScrollsBeyondSixteenBitRanges) {
    frmCapture& f = MakeForm();
    f.ResizeTwips(11430, 7305);
    f.State().Canvas().SetPicture(Solid(7680, 4320, Qt::white));
    f.Form_Resize();
    const int expectedMax = 7680 * 15 - f.ViewPanelWidthTwips() + 70;
    EXPECT_GT(expectedMax, 32767);
    EXPECT_EQ(ui->horizontalScroll.maximum(), expectedMax);
    EXPECT_EQ(ui->verticalScroll.maximum(), 4320 * 15 - f.ViewPanelHeightTwips() + 70);
    ui->horizontalScroll.setValue(ui->horizontalScroll.maximum());
    ui->verticalScroll.setValue(ui->verticalScroll.maximum());
    // The far corner stands about 5 px inside the panel.
    EXPECT_NEAR(ui->canvasView.x() + ui->canvasView.width(), ui->viewPanel.width() - 5, 1);
    EXPECT_NEAR(ui->canvasView.y() + ui->canvasView.height(), ui->viewPanel.height() - 5, 1);
}

TEST_F(WindowLayout, WindowTooSmallForThePanelKeepsThePanelSize) {
    frmCapture& f = MakeForm();
    f.ResizeTwips(11430, 7305);
    const int width = f.ViewPanelWidthTwips();
    const int height = f.ViewPanelHeightTwips();
    f.ResizeTwips(300, 900);
    EXPECT_EQ(f.ViewPanelWidthTwips(), width);
    EXPECT_EQ(f.ViewPanelHeightTwips(), height);
}

TEST_F(WindowLayout, OffsetEnlargesTheRoomOnBothAxes) {
    frmCapture& f = MakeForm();
    f.SetWinOffset(120);
    f.ResizeTwips(11430, 7305);
    EXPECT_EQ(f.ViewPanelWidthTwips(), 11430 - 380 - 120);
    EXPECT_EQ(f.ViewPanelHeightTwips(), 7305 - 435 - 690 - 120);
}

TEST_F(WindowLayout, FittingA640By480PictureSizesAndCentresTheWindow) {
    frmCapture& f = MakeForm();
    f.State().Canvas().SetPicture(Solid(640, 480, Qt::white));
    f.FitWindowToPicture();
    EXPECT_EQ(f.WidthTwips(), 10045);
    EXPECT_EQ(f.HeightTwips(), 8380);
    EXPECT_EQ(f.ViewPanelWidthTwips(), 9665);
    EXPECT_EQ(f.ViewPanelHeightTwips(), 7255);
    EXPECT_FALSE(ui->horizontalScroll.isEnabled());
    EXPECT_FALSE(ui->verticalScroll.isEnabled());
    const int screenWidth = f.ScreenWidthTwips();
    const int screenHeight = f.ScreenHeightTwips();
    const int left = std::max(0, screenWidth / 2 - 10045 / 2);
    const int top = std::max(0, screenHeight / 2 - 8380 / 2);
    EXPECT_NEAR(f.frameGeometry().x(), left / 15.0, 1);
    EXPECT_NEAR(f.frameGeometry().y(), top / 15.0, 1);
}

TEST_F(WindowLayout, FittingAPictureLargerThanTheScreenKeepsTheWindowOnTheScreen) {
    frmCapture& f = MakeForm();
    const int screenWidth = f.ScreenWidthTwips();
    const int screenHeight = f.ScreenHeightTwips();
    f.State().Canvas().SetPicture(Solid(screenWidth / 15 + 300, screenHeight / 15 + 200, Qt::white));
    f.FitWindowToPicture();
    EXPECT_EQ(f.WidthTwips(), screenWidth);
    EXPECT_EQ(f.HeightTwips(), screenHeight);
    EXPECT_EQ(f.frameGeometry().topLeft(), f.screen()->geometry().topLeft());
    // The scroll bars reach what the window cannot show.
    EXPECT_TRUE(ui->horizontalScroll.isEnabled());
    EXPECT_TRUE(ui->verticalScroll.isEnabled());
    EXPECT_EQ(ui->horizontalScroll.maximum(), f.CanvasWidthTwips() - f.ViewPanelWidthTwips() + 70);
    EXPECT_EQ(ui->verticalScroll.maximum(), f.CanvasHeightTwips() - f.ViewPanelHeightTwips() + 70);
    EXPECT_LE(ui->horizontalScroll.geometry().bottom(), f.height());
    EXPECT_LE(ui->verticalScroll.geometry().right(), f.width());
}

// The design's window sizes include a title bar and frame that the window
// manager draws outside the client area: the client is the form size less
// that allowance, so the scroll bars end flush with the client's edges and no
// empty strip is left under or beside them.
TEST_F(WindowLayout, ScrollBarsEndFlushWithTheClientArea) {
    frmCapture& f = MakeForm();
    f.show();
    const std::function<void()> layouts[] = {
        [&] { f.Form_Resize(); },  // the designed client area as created
        [&] { f.ResizeTwips(11430, 7305); },
        [&] {
            f.State().Canvas().SetPicture(Solid(640, 480, Qt::white));
            f.FitWindowToPicture();
        },
        [&] {
            f.State().Canvas().SetPicture(Solid(333, 251, Qt::white));
            f.FitWindowToPicture();
        },
    };
    for (std::size_t i = 0; i < std::size(layouts); ++i) {
        layouts[i]();
        QCoreApplication::processEvents();
        EXPECT_EQ(ui->horizontalScroll.geometry().bottom(), f.height() - 1) << i;
        EXPECT_EQ(ui->verticalScroll.geometry().right(), f.width() - 1) << i;
    }
    // The offset setting still leaves that much extra room on both axes.
    f.SetWinOffset(30);
    f.ResizeTwips(11430, 7305);
    EXPECT_EQ(ui->horizontalScroll.geometry().bottom(), f.height() - 1 - 2);
    EXPECT_EQ(ui->verticalScroll.geometry().right(), f.width() - 1 - 2);
}

TEST_F(WindowLayout, CenteringPutsAWindowLargerThanTheScreenAtTheTopLeft) {
    frmCapture& f = MakeForm();
    f.ResizeTwips(f.ScreenWidthTwips() + 3000, f.ScreenHeightTwips() + 3000);
    f.CenterOnScreen();
    EXPECT_EQ(f.frameGeometry().topLeft(), f.screen()->geometry().topLeft());
}

TEST_F(WindowLayout, CenteringSitsAboveTheMiddle) {
    frmCapture& f = MakeForm();
    f.ResizeTwips(11430, 7305);
    f.CenterOnScreen();
    const QRect screen = f.screen()->geometry();
    const double top = (std::nearbyint(screen.height() * 15 * 0.85) / 2 - 7305 / 2) / 15.0;
    EXPECT_NEAR(f.frameGeometry().y() - screen.y(), std::max(0.0, std::trunc(top)), 1);
    EXPECT_NEAR(f.frameGeometry().x() - screen.x(), (screen.width() * 15 / 2 - 11430 / 2) / 15.0, 1);
}

TEST_F(WindowLayout, VarIIfPicksByTheSixteenBitCondition) {
    EXPECT_EQ(varIIf<double>(-1, 1.5, 2.5), 1.5);
    EXPECT_EQ(varIIf<double>(0, 1.5, 2.5), 2.5);
    EXPECT_EQ(varIIf<int>(1, 7, 9), 7);
}

}  // namespace
