// Helpers for the picker and notice tests: temporary folders with files and
// a fresh hand-over.
#pragma once

#include <QDir>
#include <QFile>
#include <QImage>
#include <QString>
#include <QTemporaryDir>

#include "dialogs/PickerHandOver.h"

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

// A hand-over as a caller fills it before making a picker.
inline dialogs::PickerHandOver OpenHandOver(const QString& caption, const QString& preset) {
    return {1, caption, preset};
}

}  // namespace dialogs_test
