// Shared set-up for the save and external-program tests: an editor window
// with a picture and a drawing on it, settings and folders in a temporary
// folder, and message boxes captured instead of shown.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <vector>

#include "dialogs/frmFileSelect.h"
#include "dialogs/frmInfo.h"
#include "editor/frmCapture.h"
#include "program/ProgramValues.h"
#include "settings/IniFile.h"
#include "support/ProgramSandbox.h"
#include "widgets/WindowHelpers.h"

namespace save_test {

using test_support::Message;

inline QImage Gradient(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) picture.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, 90));
    }
    return picture;
}

// Largest difference of any channel of any pixel (images of equal size).
inline int MaxDifference(const QImage& a, const QImage& b) {
    int worst = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return worst;
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

class EditorFixture : public test_support::ProgramSandboxTest {
  protected:
    void SetUp() override {
        ProgramSandboxTest::SetUp();
        folder = root.path() + "/Bil der/";
        ASSERT_TRUE(QDir().mkpath(folder));
        app::Globals& g = app::G();
        g.strIniFile = root.path() + "/korvel.ini";
        g.strAppPath.clear();
        g.strPictureFolder = folder;
        g.strTempFile = root.path() + "/scratch dir/temp.bmp";
        QDir().mkpath(root.path() + "/scratch dir");
        form = std::make_unique<frmCapture>();
        assigned = Gradient(64, 48);
        form->SetAssignedPicture(assigned);
        QPainter painter(&form->Picture2.Image());  // a drawing on the canvas
        painter.fillRect(10, 8, 20, 12, Qt::blue);
        painter.end();
        canvas = form->Picture2.Image().copy();
        form->Text1.setText("Shot");
    }

    void TearDown() override {
        ProgramSandboxTest::TearDown();
        if (frmInfo* notice = dialogs::SavedNotice()) notice->close();
        QApplication::processEvents();
        form.reset();
    }

    std::string Ini(const char* key) {
        return app::ReadIni("Korvel Annotarix", key, app::G().strIniFile.toStdString(), "<none>");
    }

    QTemporaryDir& root = dir;
    QString folder;
    std::unique_ptr<frmCapture> form;
    QImage assigned;
    QImage canvas;
};

}  // namespace save_test
