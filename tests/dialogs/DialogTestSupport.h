// Helpers for the picker and notice tests: temporary folders with files and
// a clean set of hand-over values.
#pragma once

#include <QDir>
#include <QFile>
#include <QImage>
#include <QString>
#include <QTemporaryDir>

#include "program/ProgramValues.h"

namespace dialogs_test {

inline void WriteFile(const QString& path, const QByteArray& bytes = "x") {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
}

inline void MakeExecutable(const QString& path) {
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner | QFileDevice::ExeUser);
}

inline QImage SolidPicture(int width, int height, QColor color) {
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(color);
    return picture;
}

// The hand-over values of one test: fresh at the start, put back at the end.
class HandOverScope {
  public:
    HandOverScope() : saved_(app::G()) { app::G() = app::Globals{}; }
    ~HandOverScope() { app::G() = saved_; }
    HandOverScope(const HandOverScope&) = delete;
    HandOverScope& operator=(const HandOverScope&) = delete;

  private:
    app::Globals saved_;
};

// Hand-over values as a caller sets them before showing a picker.
inline void OpenHandOver(const QString& caption, const QString& preset) {
    app::Globals& g = app::G();
    g.intDialogOpen = 1;
    g.strDialogCaption = caption;
    g.strSelectedFile = preset;
}

}  // namespace dialogs_test
