// Handing the picture to an external program, chosen through the program
// picker: first-time and normal start, a vanished program, the right press.
#include <QClipboard>
#include <QGuiApplication>

#include "commands/ExternalProgram.h"
#include "support/PickerControls.h"
#include "support/ProgramSandbox.h"

using namespace test_support;

namespace {

class ExternalProgram : public PictureFolderTest {
  protected:
    void SetUp() override {
        PictureFolderTest::SetUp();
        tools = home + "/my tools";
        QDir().mkpath(tools);
        program = tools + "/rec ord";
        record = home + "/args.txt";
        // Records the number of arguments and each argument on its own line.
        QFile script(program);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\nout='%1'\nprintf '%s\\n' \"$#\" \"$@\" > \"$out.part\"\n"
                                    "mv \"$out.part\" \"$out\"\n")
                         .arg(record)
                         .toUtf8());
        script.close();
        QFile::setPermissions(program, QFile::permissions(program) | QFileDevice::ExeOwner);
    }

    // Answers the program picker once it shows: accept `name` in `where`, or
    // cancel when `name` is empty. Records what the picker looked like.
    void AnswerPicker(const QString& where, const QString& name) {
        auto* poll = new QTimer(form.get());  // owned by the editor window
        poll->setInterval(20);
        QObject::connect(poll, &QTimer::timeout, poll, [this, poll, where, name] {
            frmFileSelect* picker = OpenWindow<frmFileSelect>();
            if (picker == nullptr) return;
            poll->stop();
            pickerCaption = picker->windowTitle();
            pickerPreset = Files(*picker).FileName();
            if (name.isEmpty()) {
                CancelButton(*picker).click();
                return;
            }
            Folders(*picker).SetPath(where);
            Files(*picker).SelectFileName(name);
            AcceptButton(*picker).click();
        });
        poll->start();
    }

    QStringList RecordedArguments() {
        if (!QTest::qWaitFor([this] { return QFile::exists(record); }, 5000)) return {};
        QFile file(record);
        file.open(QIODevice::ReadOnly);
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }

    QString tools;
    QString program;
    QString record;
    QString pickerCaption;
    QString pickerPreset;
};

}  // namespace

TEST_F(ExternalProgram, FirstStartChoosesTheProgramAndHandsOverBothPictures) {
    AnswerPicker(tools, "rec ord");
    form->OnButtonClick(ToolbarButton::Program);

    EXPECT_EQ(pickerCaption, QString("Externes Bildverarbeitungsprogramm auswählen"));
    EXPECT_EQ(form->State().ExtProgram(), program);
    EXPECT_EQ(Ini("ExtPhotoProgram"), program.toStdString());
    // The scratch file holds the picture without the drawing ...
    const QImage scratch(values.paths.strTempFile);
    ASSERT_EQ(scratch.size(), assigned.size());
    EXPECT_EQ(MaxDifference(scratch, assigned), 0);
    // ... and the clipboard the picture with it.
    const QImage clip = QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(clip.size(), canvas.size());
    EXPECT_EQ(MaxDifference(clip, canvas), 0);
    // Exactly one argument: the scratch file's absolute path, blanks and all.
    EXPECT_EQ(RecordedArguments(),
              (QStringList{"1", QFileInfo(values.paths.strTempFile).absoluteFilePath()}));
}

TEST_F(ExternalProgram, NormalStartHandsOverThePictureWithDrawingsWithoutPicker) {
    form->State().SetExtProgram(program);
    QFile stale(values.paths.strTempFile);
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("old scratch");
    stale.close();
    bool pickerShown = false;
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [&] {
        if (frmFileSelect* picker = OpenWindow<frmFileSelect>()) {
            pickerShown = true;
            CancelButton(*picker).click();
        }
    });
    guard.start(10);

    form->OnButtonClick(ToolbarButton::Program);
    EXPECT_EQ(RecordedArguments(),
              (QStringList{"1", QFileInfo(values.paths.strTempFile).absoluteFilePath()}));
    EXPECT_FALSE(pickerShown);
    const QImage scratch(values.paths.strTempFile);
    ASSERT_EQ(scratch.size(), canvas.size());
    EXPECT_EQ(MaxDifference(scratch, canvas), 0);
}

// No program yet, or one that has gone: the picker opens; cancelling it
// keeps the old value and writes it back, and the first-time start still
// writes the scratch file and the clipboard although nothing can be started.
TEST_F(ExternalProgram, ACancelledChoiceKeepsTheValueAndStillHandsOverBothPictures) {
    for (const QString& before : {QString(), tools + "/deleted paint"}) {
        form->State().SetExtProgram(before);
        QFile::remove(values.paths.strTempFile);
        QGuiApplication::clipboard()->clear();
        pickerCaption.clear();
        AnswerPicker({}, {});  // cancel
        form->OnButtonClick(ToolbarButton::Program);
        EXPECT_EQ(pickerCaption, QString("Externes Bildverarbeitungsprogramm auswählen"));
        EXPECT_EQ(form->State().ExtProgram(), before);
        // Written back even on cancel, also when empty.
        QFile ini(values.paths.strIniFile);
        ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
        EXPECT_TRUE(QString::fromUtf8(ini.readAll()).split('\n').contains("ExtPhotoProgram=" + before));
        const QImage scratch(values.paths.strTempFile);
        ASSERT_EQ(scratch.size(), assigned.size()) << before.toStdString();
        EXPECT_EQ(MaxDifference(scratch, assigned), 0);
        const QImage clip = QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(clip.size(), canvas.size());
        EXPECT_EQ(MaxDifference(clip, canvas), 0);
    }
    QTest::qWait(200);
    EXPECT_FALSE(QFile::exists(record));  // nothing ran
}

TEST_F(ExternalProgram, ThePickerOpensAtTheCurrentProgram) {
    form->State().SetExtProgram(program);
    AnswerPicker({}, {});
    form->OnButtonRightPress(ToolbarButton::Program);
    EXPECT_EQ(pickerPreset, "rec ord");
    EXPECT_EQ(form->State().ExtProgram(), program);
}

TEST_F(ExternalProgram, RightPressOnTheSaveButtonChoosesAProgramAndDoesNotSave) {
    form->show();
    AnswerPicker(tools, "rec ord");
    QTest::mousePress(&ui->saveButton, Qt::RightButton);
    QTest::mouseRelease(&ui->saveButton, Qt::RightButton);
    EXPECT_EQ(pickerCaption, QString("Externes Bildverarbeitungsprogramm auswählen"));
    EXPECT_EQ(form->State().ExtProgram(), program);
    EXPECT_TRUE(FilesIn(folder).isEmpty());
    QTest::qWait(100);
    EXPECT_FALSE(QFile::exists(record));  // choosing starts nothing
}

// A scratch file that cannot be written (here a folder holds its name) is
// reported, and the program is not started on a missing file, on the first
// start (with the picker) as on a normal one.
TEST_F(ExternalProgram, AnUnwritableScratchFileIsReportedAndNothingStarts) {
    ASSERT_TRUE(QDir().mkpath(values.paths.strTempFile));
    for (const bool firstStart : {true, false}) {
        SCOPED_TRACE(firstStart ? "first start" : "normal start");
        messages.clear();
        if (firstStart) {
            AnswerPicker(tools, "rec ord");
        } else {
            form->State().SetExtProgram(program);
        }
        form->OnButtonClick(ToolbarButton::Program);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].prompt, "Das Bild konnte nicht gespeichert werden.");
        EXPECT_EQ(messages[0].kind, 3);
        QTest::qWait(200);
        EXPECT_FALSE(QFile::exists(record));
    }
}
