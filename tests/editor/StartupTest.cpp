// Start-up from preset settings files and command lines, and closing the window.
#include <unistd.h>

#include "app/AppModul.h"
#include "platform/qt/LocalPaths.h"
#include "settings/PathHelpers.h"
#include "support/ProgramSandbox.h"

using namespace test_support;

namespace {

// Sets an environment variable for one scope.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const QString& value)
        : name_(name), old_(qgetenv(name)), had_(qEnvironmentVariableIsSet(name)) {
        qputenv(name, value.toUtf8());
    }
    ~ScopedEnv() {
        if (had_) {
            qputenv(name_, old_);
        } else {
            qunsetenv(name_);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    const char* name_;
    QByteArray old_;
    bool had_;
};

class Startup : public SandboxedEditorTest {
  protected:
    void SetUp() override {
        SandboxedEditorTest::SetUp();
        programFile = folder + "/korvel-annotarix";
        WriteText(programFile, "#!/bin/sh\n");
        ini = folder + "/korvel-annotarix.ini";
        QDir().mkpath(folder + "/Bilder");
        Solid(40, 30, Qt::red).save(folder + "/Bilder/Mein Bild.JPG", "JPG");
    }
    frmCapture& Start(const QString& commandLine, app::FilePlace place = app::FilePlace::BesideProgram,
                      app::CommandLineText text = app::CommandLineText::Exact) {
        Close();
        session = app::StartEditor(programFile, commandLine, place, text);
        ui = std::make_unique<EditorControls>(*session->editor);
        return *session->editor;
    }
    void Close() {
        ui.reset();
        session.reset();
    }
    frmCapture& Editor() { return *session->editor; }
    const program::ProgramPaths& Paths() const { return session->program.paths; }
    void Settings(const QByteArray& lines) { WriteText(ini, "[Korvel Annotarix]\n" + lines); }

    QString programFile;
    QString ini;
    std::unique_ptr<app::Session> session;
};

TEST_F(Startup, ProgramWideValuesComeFromTheProgramFile) {
    Settings("ExtPhotoProgram=/usr/bin/gimp\n");
    frmCapture& f = Start("");
    EXPECT_EQ(Paths().strAppPath, folder + "/");
    EXPECT_EQ(Paths().strIniFile, ini);
    EXPECT_EQ(Paths().strTempFile, folder + "/temp.bmp");
    EXPECT_EQ(f.State().ExtProgram(), "/usr/bin/gimp");
    EXPECT_EQ(f.windowTitle(), "Korvel Annotarix");
    EXPECT_TRUE(f.isVisible());
}

// With no window manager (a plain X server) nothing else gives the new window
// the keyboard: Ctrl+V and typing would reach nothing until the first click.
TEST_F(Startup, EditorWindowTakesTheKeyboard) {
    frmCapture& f = Start("");
    EXPECT_TRUE(QTest::qWaitForWindowActive(&f, 2000));
}

TEST_F(Startup, CommandLinePictureOpensWithNameAndFolder) {
    frmCapture& f = Start(folder + "/Bilder/Mein Bild.JPG");
    EXPECT_EQ(Editor().State().PictureFolder(), folder + "/Bilder/");
    EXPECT_EQ(ui->nameBox.text(), "Mein Bild");
    EXPECT_EQ(ui->canvasView.size(), QSize(40, 30));
    EXPECT_EQ(f.State().Reference().size(), QSize(40, 30));
    // Picture, back buffer and reference are one block of pixels until a drawing.
    EXPECT_EQ(f.State().Canvas().Image().constBits(), f.State().Canvas().Picture().constBits());
    EXPECT_EQ(f.State().Reference().constBits(), f.State().Canvas().Picture().constBits());
}

TEST_F(Startup, QuotedCommandLineOfAnExistingFileStillOpensIt) {
    Start("\"" + folder + "/Bilder/Mein Bild.JPG\"");
    EXPECT_EQ(ui->nameBox.text(), "Mein Bild");
    EXPECT_EQ(Editor().State().PictureFolder(), folder + "/Bilder/");
    EXPECT_EQ(ui->canvasView.size(), QSize(40, 30));
}

TEST_F(Startup, QuotedMissingPathTakesTheLetterCaseFallback) {
    Start("\"/bilder/mein bild.JPG\"");
    EXPECT_EQ(Editor().State().PictureFolder(), "/Bilder/");
    EXPECT_EQ(ui->nameBox.text(), "Mein Bild");
}

TEST_F(Startup, MissingPictureStillSetsNameAndFolder) {
    // A path that names no file takes the letter-case fallback.
    Settings("PreviewName=Vorgabe\n");
    const QString missing = folder + "/Bilder/gone.jpeg";
    const QString fallback = QString::fromStdString(app::LetterCaseFallback(missing.toStdString()));
    frmCapture& f = Start(missing);
    EXPECT_EQ(ui->nameBox.text(), "Gone");
    EXPECT_EQ(Editor().State().PictureFolder(), fallback.left(fallback.lastIndexOf('/') + 1));
    EXPECT_TRUE(f.State().Canvas().Picture().isNull());
}

// A path whose bytes are not valid UTF-8 (a file named under a Latin-1
// locale) has no exact text here: it is taken as a picture that does not
// load, and the file whose name is its look-alike text is not opened instead.
TEST_F(Startup, ACommandLineWithoutExactTextOpensNothing) {
    EXPECT_EQ(platform::PathFromLocalBytes("/Bilder/Mein Bild.jpg"), "/Bilder/Mein Bild.jpg");
    EXPECT_EQ(platform::PathFromLocalBytes("/b\xc3\xa4r/\xef\xbf\xbd.jpg"),
              QString::fromUtf8("/b\u00e4r/\ufffd.jpg"));
    EXPECT_FALSE(platform::PathFromLocalBytes("/Bilder/bild\xe4.jpg"));
    EXPECT_FALSE(platform::PathFromLocalBytes("/Bilder/bild\xc3.jpg"));

    const QString shown = QFile::decodeName(QFile::encodeName(folder) + "/Bilder/bild\xe4.jpg");
    Solid(20, 10, Qt::blue).save(shown, "JPG");  // a file named with U+FFFD
    frmCapture& f = Start(shown, app::FilePlace::BesideProgram, app::CommandLineText::Unreadable);
    EXPECT_TRUE(f.State().Canvas().Picture().isNull());
    EXPECT_EQ(ui->nameBox.text(), QString::fromUtf8("bild\ufffd"));
    EXPECT_EQ(Editor().State().PictureFolder(), folder + "/Bilder/");
}

TEST_F(Startup, EveryAcceptedEndingOpensThePicture) {
    // A 1 x 1 red GIF, written by hand since Qt writes none.
    WriteText(folder + "/Bilder/punkt.gif",
              QByteArray::fromHex("474946383761 0100 0100 80 00 00 ff0000 000000"
                                  "2c 0000 0000 0100 0100 00 02 02 4401 00 3b"));
    ASSERT_TRUE(Solid(6, 4, Qt::green).save(folder + "/Bilder/scan.tif", "TIF"));
    ASSERT_TRUE(Solid(7, 5, Qt::blue).save(folder + "/Bilder/kamera.jpe", "JPG"));
    ASSERT_TRUE(Solid(8, 6, Qt::blue).save(folder + "/Bilder/Foto.JPEG", "JPG"));
    ASSERT_TRUE(Solid(9, 7, Qt::red).save(folder + "/Bilder/BILD.BMP", "BMP"));
    const std::pair<QString, QSize> files[] = {
        {"punkt.gif", {1, 1}}, {"scan.tif", {6, 4}}, {"kamera.jpe", {7, 5}},
        {"Foto.JPEG", {8, 6}}, {"BILD.BMP", {9, 7}},
    };
    for (const auto& [file, size] : files) {
        frmCapture& f = Start(folder + "/Bilder/" + file);
        EXPECT_EQ(ui->nameBox.text(), file.left(file.lastIndexOf('.')));
        EXPECT_EQ(ui->canvasView.size(), size) << file.toStdString();
        EXPECT_EQ(f.State().Reference().size(), size) << file.toStdString();
        if (file.endsWith(".gif")) {
            EXPECT_EQ(f.State().Canvas().Image().pixel(0, 0) & 0xFFFFFF, 0xFF0000u);
        }
    }
}

TEST_F(Startup, CommandLinePictureLargerThanThePanelTurnsOnBothScrollBars) {
    ASSERT_TRUE(Solid(2600, 1900, Qt::red).save(folder + "/Bilder/gross.bmp"));
    Start(folder + "/Bilder/gross.bmp");
    EXPECT_EQ(ui->canvasView.size(), QSize(2600, 1900));
    EXPECT_LT(ui->viewPanel.width(), 2600);
    EXPECT_LT(ui->viewPanel.height(), 1900);
    for (const QScrollBar* bar : {&ui->horizontalScroll, &ui->verticalScroll}) {
        EXPECT_TRUE(bar->isVisible());
        EXPECT_TRUE(bar->isEnabled());
        EXPECT_GT(bar->maximum(), 0);
    }
}

TEST_F(Startup, OtherEndingsAreIgnoredAndThePreviewNameShows) {
    Settings("PreviewName=Vorgabe\n");
    Solid(10, 10, Qt::blue).save(folder + "/a.png");
    frmCapture& f = Start(folder + "/a.png");
    EXPECT_EQ(ui->nameBox.text(), "Vorgabe");
    EXPECT_EQ(Editor().State().PictureFolder(), "");
    EXPECT_TRUE(f.State().Canvas().Picture().isNull());
}

TEST_F(Startup, SaveAsSelectsBitmapOnlyForExactlyDotBmp) {
    Settings("SaveAs=.bmp\n");
    Start("");
    EXPECT_TRUE(ui->bitmapOption.isChecked());
    EXPECT_EQ(ui->extensionLabel.text(), ".bmp");
    Settings("SaveAs=.BMP\n");
    Start("");
    EXPECT_TRUE(ui->jpegOption.isChecked());
    EXPECT_EQ(ui->extensionLabel.text(), ".jpg");
}

TEST_F(Startup, OffsetIsParsedFromTheStartOfTheText) {
    const std::pair<QByteArray, int> cases[] = {{"12px", 12}, {"2.5", 2},   {"3.5", 4},
                                                {"abc", 0},   {"99999", 0}, {"-15", -15}};
    for (const auto& [text, expected] : cases) {
        Settings("Offset(Win10)=" + text + "\n");
        const frmCapture& f = Start("");
        EXPECT_EQ(f.WinOffset(), expected) << text.constData();
    }
}

TEST_F(Startup, ClosingTheWindowWritesFormatAndOffset) {
    Settings("; kept\nPreviewName=x\n");
    frmCapture& f = Start("");
    f.SetWinOffset(30);
    ui->bitmapOption.click();
    EXPECT_EQ(ui->extensionLabel.text(), ".bmp");
    f.close();
    const QString text = ReadText(ini);
    EXPECT_TRUE(text.contains("SaveAs=.bmp\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("Offset(Win10)=30\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("; kept\nPreviewName=x\n")) << text.toStdString();
    EXPECT_TRUE(f.IsUnloading());
}

TEST_F(Startup, ClosingWithJpegWritesJpg) {
    frmCapture& f = Start("");
    f.close();
    EXPECT_TRUE(ReadText(ini).contains("SaveAs=.jpg\n"));
    EXPECT_TRUE(ReadText(ini).contains("Offset(Win10)=0\n"));
}

TEST_F(Startup, ClosingTheEditorClosesOtherWindows) {
    frmCapture& f = Start("");
    QWidget notice;
    notice.show();
    f.close();
    EXPECT_FALSE(notice.isVisible());
}

TEST_F(Startup, UnwritableProgramFolderUsesTheUserFolders) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
    QFile(folder).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    Start("");
    QFile(folder).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_NE(Paths().strIniFile, ini);
    EXPECT_TRUE(Paths().strIniFile.endsWith("/korvel-annotarix.ini"));
}

// An installed binary (in /usr/bin, perhaps run by root) never writes beside
// itself: settings go to the user's config folder, the scratch bitmap to the
// cache folder, even when the binary's folder could be written.
TEST_F(Startup, InstalledBinaryKeepsItsFilesInTheUserFolders) {
    const ScopedEnv config("XDG_CONFIG_HOME", folder + "/config");
    const ScopedEnv cache("XDG_CACHE_HOME", folder + "/cache");
    Settings("PreviewName=beside\n");
    QDir().mkpath(folder + "/config/korvel-annotarix");
    WriteText(folder + "/config/korvel-annotarix/korvel-annotarix.ini",
              "[Korvel Annotarix]\nPreviewName=user\n");
    frmCapture& f = Start("", app::FilePlace::UserFolders);
    EXPECT_EQ(Paths().strIniFile, folder + "/config/korvel-annotarix/korvel-annotarix.ini");
    EXPECT_EQ(Paths().strTempFile, folder + "/cache/korvel-annotarix/temp.bmp");
    EXPECT_TRUE(QFileInfo(folder + "/cache/korvel-annotarix").isDir());
    EXPECT_EQ(ui->nameBox.text(), "user");
    const QString besideBefore = ReadText(ini);
    f.close();
    EXPECT_TRUE(ReadText(Paths().strIniFile).contains("SaveAs=.jpg"));
    EXPECT_EQ(ReadText(ini), besideBefore);
}

}  // namespace
