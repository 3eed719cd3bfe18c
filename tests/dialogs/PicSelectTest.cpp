// The picture picker: preselection, preview, accept, cancel and close.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <optional>
#include <utility>

#include "dialogs/DialogTestSupport.h"
#include "dialogs/PickerWait.h"
#include "dialogs/frmPicSelect.h"
#include "support/PickerControls.h"

using namespace dialogs_test;
using namespace test_support;

namespace {

class PicSelect : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        folder = QDir(dir.path()).absolutePath();
        SolidPicture(800, 600, Qt::red).save(folder + "/wide.bmp");
        SolidPicture(600, 800, Qt::blue).save(folder + "/Tall.JPG");
        WriteFile(folder + "/broken.gif", "not a picture");
        WriteFile(folder + "/notes.txt");
    }

    void Click(frmPicSelect& picker, const QString& name) {
        ASSERT_TRUE(Files(picker).SelectFileName(name));
        picker.OnFileClick();
        Decoded(picker);
    }
    // The preview decodes beside the picker; this waits until it shows.
    static void Decoded(const frmPicSelect& picker) {
        ASSERT_TRUE(QTest::qWaitFor([&picker] { return !picker.PreviewPending(); }, 5000));
    }

    QTemporaryDir dir;
    QString folder;
};

}  // namespace

TEST_F(PicSelect, OpensOnThePresetFileWithTitle) {
    auto handOver = OpenHandOver("Bild laden", folder + "/wide.bmp");
    frmPicSelect picker(handOver);
    EXPECT_EQ(picker.windowTitle(), "Bild laden");
    EXPECT_EQ(Folders(picker).Path(), folder);
    EXPECT_EQ(Files(picker).Path(), folder);
    EXPECT_EQ(Files(picker).FileName(), "wide.bmp");
    EXPECT_TRUE(picker.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(AcceptButton(picker).text(), QString("Ü B E R N E H M E N"));
    EXPECT_EQ(CancelButton(picker).text(), QString("A B B R E C H E N"));
}

TEST_F(PicSelect, WithoutPresetOpensOnTheCurrentFolder) {
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder);
    auto handOver = OpenHandOver("Bild laden", "");
    frmPicSelect picker(handOver);
    QDir::setCurrent(previous);
    EXPECT_EQ(Files(picker).Path(), folder);
    EXPECT_EQ(Files(picker).FileName(), "");
    EXPECT_EQ(Files(picker).count(), 3);  // broken.gif, Tall.JPG, wide.bmp
}

TEST_F(PicSelect, PreviewScalesWideAndTallPicturesIntoTheBox) {
    auto handOver = OpenHandOver("Bild laden", folder + "/wide.bmp");
    frmPicSelect picker(handOver);
    ASSERT_EQ(Preview(picker).InnerSize(), QSize(389, 327));

    Click(picker, "wide.bmp");  // 800 x 600 -> 389 x 292 at the top-left
    const QImage& wide = Preview(picker).Image();
    EXPECT_EQ(wide.pixel(0, 0), QColor(Qt::red).rgb());
    EXPECT_EQ(wide.pixel(388, 291), QColor(Qt::red).rgb());
    EXPECT_EQ(wide.pixel(388, 292), QColor(Qt::black).rgb());

    Click(picker, "Tall.JPG");  // 600 x 800 -> 245 x 327
    const QImage& tall = Preview(picker).Image();
    EXPECT_GT(qBlue(tall.pixel(244, 326)), 200);
    EXPECT_LT(qRed(tall.pixel(244, 326)), 60);
    EXPECT_EQ(tall.pixel(245, 100), QColor(Qt::black).rgb());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // the wait pointer is gone again
}

TEST_F(PicSelect, ArrowKeysInTheFileListPreviewTheNextFile) {
    auto handOver = OpenHandOver("Bild laden", folder + "/Tall.JPG");
    frmPicSelect picker(handOver);
    QTest::keyClick(&Files(picker), Qt::Key_Down);  // Tall.JPG -> wide.bmp
    EXPECT_EQ(Files(picker).FileName(), "wide.bmp");
    Decoded(picker);
    EXPECT_EQ(Preview(picker).Image().pixel(10, 10), QColor(Qt::red).rgb());
}

TEST_F(PicSelect, UnreadableFileShowsThePreviousPictureAgain) {
    auto handOver = OpenHandOver("Bild laden", "");
    frmPicSelect picker(handOver);
    Folders(picker).SetPath(folder);
    Click(picker, "broken.gif");  // nothing loaded yet: stays black
    EXPECT_EQ(Preview(picker).Image().pixel(10, 10), QColor(Qt::black).rgb());
    Click(picker, "wide.bmp");
    Click(picker, "broken.gif");
    EXPECT_EQ(Preview(picker).Image().pixel(10, 10), QColor(Qt::red).rgb());
}

TEST_F(PicSelect, AcceptHandsOverPathFolderAndPictureName) {
    auto handOver = OpenHandOver("Bild laden", "");
    frmPicSelect picker(handOver);
    QString pictureName;
    picker.SetPictureNameReceiver([&](const QString& name) { pictureName = name; });
    Folders(picker).SetPath(folder);
    picker.Accept();  // nothing selected: nothing happens
    EXPECT_EQ(handOver.intDialogOpen, 1);

    Click(picker, "Tall.JPG");
    picker.Accept();
    EXPECT_EQ(handOver.intDialogOpen, 0);
    EXPECT_EQ(handOver.strSelectedFile, folder + "/Tall.JPG");
    EXPECT_EQ(pictureName, "Tall");
    EXPECT_FALSE(picker.isVisible());
}

TEST_F(PicSelect, DoubleClickAccepts) {
    auto handOver = OpenHandOver("Bild laden", "");
    frmPicSelect picker(handOver);
    Folders(picker).SetPath(folder);
    ASSERT_TRUE(Files(picker).SelectFileName("wide.bmp"));
    emit Files(picker).itemDoubleClicked(Files(picker).currentItem());
    EXPECT_EQ(handOver.intDialogOpen, 0);
    EXPECT_EQ(handOver.strSelectedFile, folder + "/wide.bmp");
}

TEST_F(PicSelect, CancelEmptiesTheSelectionAndCloseKeepsIt) {
    auto handOver = OpenHandOver("Bild laden", folder + "/wide.bmp");
    {
        frmPicSelect picker(handOver);
        picker.show();
        picker.Cancel();
        EXPECT_EQ(handOver.intDialogOpen, 0);
        EXPECT_EQ(handOver.strSelectedFile, "");
    }
    handOver = OpenHandOver("Bild laden", "");
    frmPicSelect picker(handOver);
    picker.show();
    picker.close();  // the close box
    EXPECT_EQ(handOver.intDialogOpen, 0);
    EXPECT_EQ(handOver.strSelectedFile, "");
}

TEST_F(PicSelect, WaitingCallerResumesWhenThePickerReportsBack) {
    auto handOver = OpenHandOver("Bild laden", folder + "/wide.bmp");
    frmPicSelect picker(handOver);
    QTimer::singleShot(50, &picker, [&] { AcceptButton(picker).click(); });
    dialogs::WaitForPicker(picker, handOver, nullptr);
    EXPECT_EQ(handOver.intDialogOpen, 0);
    EXPECT_EQ(handOver.strSelectedFile, folder + "/wide.bmp");
}

// "Übernehmen" closes the picker at once and hands over the accepted picture
// as it decodes: the preview's decode of it, the preview picture itself, or
// a decode started then; the picture is the file's either way.
TEST_F(PicSelect, AcceptHandsOverThePictureStillDecodingAndClosesAtOnce) {
    SolidPicture(3000, 2000, Qt::green).save(folder + "/large.jpg");
    const struct {
        const char* name;
        const char* file;
        bool preview;    // clicked first
        bool waitShown;  // the preview shown before the accept
    } cases[] = {
        {"preview still decoding", "large.jpg", true, false},
        {"preview shown", "wide.bmp", true, true},
        {"never previewed", "Tall.JPG", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto handOver = OpenHandOver("Bild laden", "");
        frmPicSelect picker(handOver);
        picker.show();
        Folders(picker).SetPath(folder);
        std::optional<platform::PendingPicture> handed;
        picker.SetPictureReceiver(
            [&handed](platform::PendingPicture picture) { handed.emplace(std::move(picture)); });
        ASSERT_TRUE(Files(picker).SelectFileName(c.file));
        if (c.preview) picker.OnFileClick();
        if (c.waitShown) Decoded(picker);
        picker.Accept();
        EXPECT_FALSE(picker.isVisible());
        EXPECT_FALSE(picker.PreviewPending());
        ASSERT_TRUE(handed.has_value());
        const QImage picture = handed->Take();
        EXPECT_EQ(picture.size(), QImage(folder + "/" + c.file).size());
    }
}
