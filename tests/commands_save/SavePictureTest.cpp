// Saving the canvas: free names, both formats, failures, the tool-bar triggers.
#include <sys/stat.h>
#include <unistd.h>

#include <QDirIterator>
#include <QtEndian>
#include <optional>
#include <thread>

#include "commands/BitmapFileWriter.h"
#include "commands/SavePicture.h"
#include "commands/SaveSteps.h"
#include "support/ProgramSandbox.h"

using namespace test_support;
using commands::SavePicture;

namespace {

class Save : public PictureFolderTest {
  protected:
    void ChooseBitmap() { ui->bitmapOption.click(); }
    void Touch(const QString& name) {
        QFile file(folder + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("keep me");
    }
    QByteArray Contents(const QString& name) {
        QFile file(folder + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

}  // namespace

TEST_F(Save, EmptyNameAsksForOneAndWritesNothing) {
    form->show();
    ui->nameBox.clear();
    form->OnButtonClick(ToolbarButton::Save);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].prompt, "Bitte Dateiname angeben...   ");
    EXPECT_EQ(messages[0].kind, 1);
    EXPECT_TRUE(FilesIn(folder).isEmpty());
    EXPECT_EQ(Ini("PreviewName"), "<none>");
    EXPECT_EQ(form->focusWidget(), &ui->nameBox);
    EXPECT_EQ(dialogs::SavedNotice(), nullptr);
}

TEST_F(Save, BitmapSavesCountUpAndKeepThePlainNameInSettings) {
    ChooseBitmap();
    EXPECT_EQ(ui->extensionLabel.text(), ".bmp");
    for (int i = 0; i < 3; ++i) form->OnButtonClick(ToolbarButton::Save);
    EXPECT_EQ(FilesIn(folder), (QStringList{"Shot.bmp", "Shot_01.bmp", "Shot_02.bmp"}));
    EXPECT_EQ(Ini("PreviewName"), "Shot");
    EXPECT_TRUE(messages.empty());
    EXPECT_NE(dialogs::SavedNotice(), nullptr);

    // A standard 24-bit bottom-up Windows bitmap holding exactly the canvas.
    const QByteArray bytes = Contents("Shot.bmp");
    ASSERT_GE(bytes.size(), 54);
    EXPECT_TRUE(bytes.startsWith("BM"));
    const auto u32 = [&](int at) { return qFromLittleEndian<quint32>(bytes.constData() + at); };
    const auto u16 = [&](int at) { return qFromLittleEndian<quint16>(bytes.constData() + at); };
    EXPECT_EQ(u32(2), static_cast<quint32>(bytes.size()));
    EXPECT_EQ(u32(10), 54u);
    EXPECT_EQ(u32(14), 40u);
    EXPECT_EQ(u32(18), 64u);
    EXPECT_EQ(u32(22), 48u);  // positive height: bottom-up
    EXPECT_EQ(u16(28), 24);
    EXPECT_EQ(u32(30), 0u);
    EXPECT_EQ(bytes.size(), 54 + 64 * 3 * 48);
    const QImage written(folder + "Shot.bmp");
    ASSERT_EQ(written.size(), canvas.size());
    EXPECT_EQ(MaxDifference(written, canvas), 0);
}

TEST_F(Save, BitmapRowsArePaddedToFourBytes) {
    ChooseBitmap();
    form->State().Canvas().SetPicture(Gradient(7, 5));
    form->OnButtonClick(ToolbarButton::Save);
    const QByteArray bytes = Contents("Shot.bmp");
    EXPECT_EQ(bytes.size(), 54 + 24 * 5);  // 7 * 3 = 21 bytes, padded to 24
    EXPECT_EQ(MaxDifference(QImage(folder + "Shot.bmp"), Gradient(7, 5)), 0);
}

TEST_F(Save, JpegSaveLeavesOnlyTheJpegAndItMatchesTheCanvas) {
    form->OnButtonClick(ToolbarButton::Save);
    EXPECT_EQ(FilesIn(folder), QStringList{"Shot.jpg"});
    const QByteArray bytes = Contents("Shot.jpg");
    ASSERT_GE(bytes.size(), 4);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(bytes[1]), 0xD8);
    const QImage decoded(folder + "Shot.jpg");
    ASSERT_EQ(decoded.size(), canvas.size());
    EXPECT_LE(MaxDifference(decoded.convertToFormat(QImage::Format_RGB32), canvas), 24);
    // The drawing is in the file, not only the assigned picture.
    const QRgb inside = decoded.pixel(20, 14);
    EXPECT_GT(qBlue(inside), 200);
    EXPECT_LT(qRed(inside), 60);
    EXPECT_NE(dialogs::SavedNotice(), nullptr);
}

// The JPEG is encoded without a bitmap on disk, yet from exactly the pixels
// of the 24-bit bitmap: byte for byte the file the bitmap route gives.
TEST_F(Save, JpegWithoutTheIntermediateBitmapIsTheSameFile) {
    form->OnButtonClick(ToolbarButton::Save);
    const QString scratch = home + "/scratch dir/canvas.bmp";
    ASSERT_TRUE(commands::WriteBitmapFile(canvas, scratch, commands::FileWriteMode::NewFileOnly));
    ASSERT_TRUE(commands::WriteJpegFromBitmap(scratch, home + "/via-bitmap.jpg", 95));
    QFile viaBitmap(home + "/via-bitmap.jpg");
    ASSERT_TRUE(viaBitmap.open(QIODevice::ReadOnly));
    EXPECT_EQ(Contents("Shot.jpg"), viaBitmap.readAll());
    EXPECT_EQ(FilesIn(folder), QStringList{"Shot.jpg"});
}

TEST_F(Save, TheQualityScrollBarSetsCaptionAndEncoderQuality) {
    form->State().Canvas().SetPicture(Gradient(320, 240));
    form->OnButtonClick(ToolbarButton::Save);  // quality 95 by design
    ui->qualityScroll.setValue(40);
    EXPECT_EQ(ui->jpegOption.text(), "JPeg 40%");
    form->OnButtonClick(ToolbarButton::Save);
    const qint64 at95 = QFileInfo(folder + "Shot.jpg").size();
    const qint64 at40 = QFileInfo(folder + "Shot_01.jpg").size();
    EXPECT_GT(at40, 0);
    EXPECT_LT(at40, at95);
}

TEST_F(Save, ThreeJpegSavesOfOneName) {
    for (int i = 0; i < 3; ++i) form->OnButtonClick(ToolbarButton::Save);
    EXPECT_EQ(FilesIn(folder), (QStringList{"Shot.jpg", "Shot_01.jpg", "Shot_02.jpg"}));
    EXPECT_EQ(Ini("PreviewName"), "Shot");
}

TEST_F(Save, ATakenNameBlocksBothExtensions) {
    Touch("Shot.bmp");
    form->OnButtonClick(ToolbarButton::Save);  // JPEG
    EXPECT_EQ(FilesIn(folder), (QStringList{"Shot.bmp", "Shot_01.jpg"}));
    EXPECT_EQ(Contents("Shot.bmp"), "keep me");

    ChooseBitmap();
    Touch("Shot_02.jpg");
    form->OnButtonClick(ToolbarButton::Save);
    EXPECT_TRUE(QFile::exists(folder + "Shot_03.bmp"));
}

TEST_F(Save, TheFirstGapInTheCounterIsFilled) {
    ChooseBitmap();
    Touch("Shot.jpg");
    Touch("Shot_02.jpg");
    form->OnButtonClick(ToolbarButton::Save);
    EXPECT_TRUE(QFile::exists(folder + "Shot_01.bmp"));
    EXPECT_EQ(Contents("Shot_02.jpg"), "keep me");
}

TEST_F(Save, AllNinetyNineTakenWarnsAndWritesNothing) {
    Touch("Shot.jpg");
    for (int n = 1; n <= 99; ++n) Touch(QStringLiteral("Shot_%1.jpg").arg(n, 2, 10, QChar('0')));
    form->OnButtonClick(ToolbarButton::Save);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].prompt, "Bitte Dateiname ändern");
    EXPECT_EQ(messages[0].kind, 2);
    EXPECT_EQ(FilesIn(folder).size(), 100);
    EXPECT_EQ(Ini("PreviewName"), "<none>");
    EXPECT_EQ(dialogs::SavedNotice(), nullptr);
}

TEST_F(Save, FilesThatCannotBeReadStillCountAsTaken) {
    ChooseBitmap();
    ASSERT_TRUE(QFile::link(folder + "nowhere", folder + "Shot.bmp"));  // dangling link
    Touch("Shot_01.jpg");
    ::chmod(QFile::encodeName(folder + "Shot_01.jpg").constData(), 0);
    form->OnButtonClick(ToolbarButton::Save);
    EXPECT_TRUE(QFile::exists(folder + "Shot_02.bmp"));
    EXPECT_FALSE(QFile::exists(folder + "nowhere"));  // nothing written through the link
}

TEST_F(Save, AFailedWriteIsReportedAndLeavesNothingBehind) {
    // A name the file system refuses (too long for one component).
    ui->nameBox.setText(QString(300, QChar('n')));
    form->OnButtonClick(ToolbarButton::Save);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].prompt, "Das Bild konnte nicht gespeichert werden.");
    EXPECT_EQ(messages[0].kind, 3);
    EXPECT_TRUE(FilesIn(folder).isEmpty());  // no temporary file, no bitmap
    EXPECT_EQ(dialogs::SavedNotice(), nullptr);

    // A picture folder that does not exist.
    messages.clear();
    ui->nameBox.setText("Shot");
    form->State().SetPictureFolder(home + "/missing/");
    form->OnButtonClick(ToolbarButton::Save);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].kind, 3);
    EXPECT_FALSE(QDir(home + "/missing").exists());
}

TEST_F(Save, WriteProtectedFolderIsReportedAndLeftEmpty) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not restrict the superuser";
    ::chmod(QFile::encodeName(folder).constData(), 0555);
    form->OnButtonClick(ToolbarButton::Save);
    ::chmod(QFile::encodeName(folder).constData(), 0755);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].kind, 3);
    EXPECT_TRUE(FilesIn(folder).isEmpty());
}

// Names that would leave the picture folder or carry pasted line breaks and
// tabs are refused: nothing is written anywhere, not even the settings.
TEST_F(Save, NamesWithSeparatorsOrControlCharactersAreRefused) {
    QDir().mkpath(folder + "sub");
    const QString outside = home + "/outside";
    for (const QString& name :
         {QStringLiteral("../../escape"), QStringLiteral("../escape"), outside, QStringLiteral("sub/x"),
          QStringLiteral("a\\b"), QStringLiteral("zwei\nZeilen"), QStringLiteral("tab\there"),
          QStringLiteral("cr\r"), QStringLiteral("del\x7f"), QStringLiteral("nel\u0085"),
          QStringLiteral("ls\u2028")}) {
        SCOPED_TRACE(name.toStdString());
        messages.clear();
        ui->nameBox.setText(name);
        form->OnButtonClick(ToolbarButton::Save);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].prompt, commands::kBadNameMessage);
        EXPECT_EQ(messages[0].kind, 2);
    }
    QStringList everything;
    for (QDirIterator it(home, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
         it.hasNext();)
        everything << QDir(home).relativeFilePath(it.next());
    everything.sort();
    EXPECT_EQ(everything, (QStringList{"Bil der", "Bil der/sub", "scratch dir"}));

    // Dots, blanks and umlauts are fine.
    messages.clear();
    ui->nameBox.setText(QStringLiteral("..vorher nachher, Größe 2.0"));
    form->OnButtonClick(ToolbarButton::Save);
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(QFile::exists(folder + "..vorher nachher, Größe 2.0.jpg"));
}

TEST_F(Save, EnterInTheNameBoxSavesAndIsSwallowed) {
    form->show();
    ui->nameBox.setFocus();
    ui->nameBox.setCursorPosition(4);
    QTest::keyClick(&ui->nameBox, Qt::Key_Return);
    EXPECT_TRUE(QFile::exists(folder + "Shot.jpg"));
    EXPECT_EQ(ui->nameBox.text(), "Shot");
}

TEST_F(Save, DoubleClickInTheNameBoxSelectsAll) {
    form->show();
    QTest::mouseDClick(&ui->nameBox, Qt::LeftButton);
    EXPECT_EQ(ui->nameBox.selectedText(), "Shot");
}

TEST_F(Save, WithoutPictureFolderSavesIntoTheCurrentFolder) {
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder);
    form->State().SetPictureFolder({});
    form->OnButtonClick(ToolbarButton::Save);
    QDir::setCurrent(previous);
    EXPECT_TRUE(QFile::exists(folder + "Shot.jpg"));
}

TEST_F(Save, TheReferencePictureFollowsTheAssignedPicture) {
    form->State().SetReference(Gradient(5, 5));
    form->OnButtonClick(ToolbarButton::Save);
    EXPECT_EQ(form->State().Reference().size(), assigned.size());
    EXPECT_EQ(MaxDifference(form->State().Reference().convertToFormat(QImage::Format_RGB32), assigned), 0);
}

TEST(FreeName, CountsFromOneToNinetyNine) {
    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    EXPECT_EQ(commands::FindFreeBaseName(folder, "a"), folder + "a");
    QFile(folder + "a.bmp").open(QIODevice::WriteOnly);
    EXPECT_EQ(commands::FindFreeBaseName(folder, "a"), folder + "a_01");
    QDir(folder).mkdir("a_01.jpg");  // a folder takes the name too
    EXPECT_EQ(commands::FindFreeBaseName(folder, "a"), folder + "a_02");
}

// Another program takes the chosen name between the choice and the write:
// the next free name is written; a write that fails for another reason, or
// finds every name taken, writes nothing.
TEST(FreeName, AWriteThatLosesItsNameToAnotherProgramTakesTheNextFreeOne) {
    struct Case {
        int takenByOthers;  // writes that find their name taken just before them
        bool diskFails;     // every write fails without taking the name
        std::optional<QString> written;
        int writes;
        bool noNameLeft;
    };
    const Case cases[] = {
        {0, false, "a", 1, false},
        {1, false, "a_01", 2, false},
        {3, false, "a_03", 4, false},
        {0, true, std::nullopt, 1, false},
        {1000, false, std::nullopt, 100, true},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString folder = dir.path() + "/";
        int writes = 0;
        bool noNameLeft = false;
        const std::optional<QString> base = commands::WriteUnderFreeName(
            folder + "a", folder, "a", ".jpg",
            [&](const QString& path) {
                ++writes;
                if (c.diskFails) return false;
                QFile file(path);
                (void)file.open(QIODevice::WriteOnly);  // this name is someone else's now, or ours
                return writes > c.takenByOthers;
            },
            &noNameLeft);
        EXPECT_EQ(base, c.written ? std::optional<QString>(folder + *c.written) : std::nullopt)
            << c.takenByOthers;
        EXPECT_EQ(writes, c.writes) << c.takenByOthers;
        EXPECT_EQ(noNameLeft, c.noNameLeft) << c.takenByOthers;
    }
}

// Two editors save the same name at the same moment: both pictures are kept.
TEST(FreeName, TwoWritersRacingForOneNameBothSave) {
    const QImage first = Pattern(96, 64, 3);
    const QImage second = Pattern(96, 64, 8);
    for (int round = 0; round < 20; ++round) {
        QTemporaryDir dir;
        const QString folder = dir.path() + "/";
        const auto save = [&folder](const QImage& picture) {
            commands::JpegSave jpeg;
            const std::optional<QString> base = commands::FindFreeBaseName(folder, "Shot");
            if (!base || !jpeg.Copy(picture) || !jpeg.Sample(95)) return false;
            return commands::WriteUnderFreeName(*base, folder, "Shot", ".jpg",
                                                [&jpeg](const QString& path) { return jpeg.Write(path); })
                .has_value();
        };
        bool savedFirst = false;
        std::thread other([&] { savedFirst = save(first); });
        const bool savedSecond = save(second);
        other.join();
        EXPECT_TRUE(savedFirst && savedSecond) << "round " << round;
        for (const char* name : {"Shot.jpg", "Shot_01.jpg"}) {
            EXPECT_FALSE(QImage(folder + name).isNull()) << name << " round " << round;
        }
    }
}
