// A test's own program: fresh program-wide values with the settings file,
// the program folder and the scratch bitmap in a temporary folder, and message
// boxes recorded instead of shown. Everything is put back after the test.
// On top of it, an editor window made on demand, and a variant that saves
// into a picture folder.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/frmFileSelect.h"
#include "dialogs/frmInfo.h"
#include "dialogs/frmPicSelect.h"
#include "editor/frmCapture.h"
#include "settings/IniFile.h"
#include "support/EditorControls.h"
#include "support/TestPictures.h"
#include "support/TestProgram.h"

namespace test_support {

inline QString ReadText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

inline void WriteText(const QString& path, const QByteArray& content) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(content);
}

inline QStringList FilesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

// The visible top-level window of type T, or nullptr.
template <typename T>
T* OpenWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<T*>(widget); window != nullptr && window->isVisible()) return window;
    }
    return nullptr;
}

class ProgramSandboxTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        home = QDir(dir.path()).absolutePath();
        values = ProgramIn(home, messages);
    }
    void TearDown() override {}

    // Points the settings at another file.
    void UseIniFile(const QString& file) {
        values.paths.strIniFile = file;
        values.settings = program::Settings(file);
    }

    QTemporaryDir dir;
    QString home;  // the temporary folder, absolute
    std::vector<Message> messages;
    program::ProgramContext values;
};

// The sandbox with an empty clipboard and an editor window made when a test
// asks for it; the window and any saved-notice are closed after the test.
class SandboxedEditorTest : public ProgramSandboxTest {
  protected:
    void SetUp() override {
        ProgramSandboxTest::SetUp();
        folder = home;
        QGuiApplication::clipboard()->clear();
    }
    void TearDown() override {
        if (frmInfo* notice = dialogs::SavedNotice()) notice->close();
        QApplication::processEvents();
        ui.reset();
        form.reset();
        ProgramSandboxTest::TearDown();
    }

    frmCapture& MakeForm() {
        form = std::make_unique<frmCapture>(values);
        ui = std::make_unique<EditorControls>(*form);
        form->Form_Load();
        return *form;
    }

    // Acts on the picture picker once the load command has opened it.
    void WhenPickerOpens(std::function<void(frmPicSelect&)> act) {
        auto* poll = new QTimer(form.get());  // owned by the editor window
        poll->setInterval(5);
        QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
            if (auto* picker = OpenWindow<frmPicSelect>()) {
                poll->stop();
                act(*picker);
            }
        });
        poll->start();
    }

    std::string Ini(const char* key) {
        return app::ReadIni("Korvel Annotarix", key, values.paths.strIniFile.toStdString(), "<none>");
    }

    QString folder;
    std::unique_ptr<frmCapture> form;
    std::unique_ptr<EditorControls> ui;
};

// Saving: a picture folder with a blank in its name, the scratch bitmap in a
// folder of its own, no program folder, and an editor window holding an
// assigned picture with a drawing on its canvas.
class PictureFolderTest : public SandboxedEditorTest {
  protected:
    void SetUp() override {
        SandboxedEditorTest::SetUp();
        folder = home + "/Bil der/";
        ASSERT_TRUE(QDir().mkpath(folder));
        UseIniFile(home + "/korvel.ini");
        values.paths.strAppPath.clear();
        values.paths.strTempFile = home + "/scratch dir/temp.bmp";
        QDir().mkpath(home + "/scratch dir");
        form = std::make_unique<frmCapture>(values);
        ui = std::make_unique<EditorControls>(*form);
        form->State().SetPictureFolder(folder);
        assigned = Gradient(64, 48);
        canvas::CanvasSurface& surface = form->State().Canvas();
        surface.SetPicture(assigned);
        QPainter painter(surface.WritableImage(surface.Image().rect()));  // a drawing on the canvas
        painter.fillRect(10, 8, 20, 12, Qt::blue);
        painter.end();
        canvas = surface.Image().copy();
        form->SetPictureName("Shot");
    }

    QImage assigned;
    QImage canvas;
};

}  // namespace test_support
