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
#include "program/ProgramValues.h"
#include "settings/IniFile.h"
#include "support/ProgramValuesScope.h"
#include "support/TestPictures.h"
#include "widgets/WindowHelpers.h"

namespace test_support {

struct Message {
    QString prompt;
    int kind;
};

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
        app::Globals& g = app::G();
        g.strIniFile = home + "/korvel-annotarix.ini";
        g.strAppPath = home + "/";
        g.strTempFile = home + "/temp.bmp";
        app::SetMessageSinkForTests([this](const QString& prompt, int kind, const QString&) {
            messages.push_back({prompt, kind});
        });
    }
    void TearDown() override { app::SetMessageSinkForTests({}); }

    ProgramValuesScope values;
    QTemporaryDir dir;
    QString home;  // the temporary folder, absolute
    std::vector<Message> messages;
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
        form.reset();
        ProgramSandboxTest::TearDown();
    }

    frmCapture& MakeForm() {
        form = std::make_unique<frmCapture>();
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
        return app::ReadIni("Korvel Annotarix", key, app::G().strIniFile.toStdString(), "<none>");
    }

    QString folder;
    std::unique_ptr<frmCapture> form;
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
        app::Globals& g = app::G();
        g.strIniFile = home + "/korvel.ini";
        g.strAppPath.clear();
        g.strPictureFolder = folder;
        g.strTempFile = home + "/scratch dir/temp.bmp";
        QDir().mkpath(home + "/scratch dir");
        form = std::make_unique<frmCapture>();
        assigned = Gradient(64, 48);
        form->SetAssignedPicture(assigned);
        QPainter painter(&form->Picture2.Image());  // a drawing on the canvas
        painter.fillRect(10, 8, 20, 12, Qt::blue);
        painter.end();
        canvas = form->Picture2.Image().copy();
        form->Text1.setText("Shot");
    }

    QImage assigned;
    QImage canvas;
};

}  // namespace test_support
