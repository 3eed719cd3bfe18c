// The pickers' and the saved notice's controls, found by their names, for
// tests that drive them as a user does.
#pragma once

#include <QLabel>
#include <QPushButton>

#include "dialogs/DirListBox.h"
#include "dialogs/FileListBox.h"
#include "dialogs/PreviewBox.h"
#include "support/EditorControls.h"

namespace test_support {

// A picker's folder and file lists and its accept and cancel buttons.
inline dialogs::DirListBox& Folders(QWidget& picker) {
    return Control<dialogs::DirListBox>(picker, QStringLiteral("Dir1"));
}
inline dialogs::FileListBox& Files(QWidget& picker) {
    return Control<dialogs::FileListBox>(picker, QStringLiteral("File1"));
}
inline QPushButton& AcceptButton(QWidget& picker) {
    return Control<QPushButton>(picker, QStringLiteral("Command1"));
}
inline QPushButton& CancelButton(QWidget& picker) {
    return Control<QPushButton>(picker, QStringLiteral("Command2"));
}
// The picture picker's preview.
inline dialogs::PreviewBox& Preview(QWidget& picker) {
    return Control<dialogs::PreviewBox>(picker, QStringLiteral("Picture1"));
}
// The saved notice's message.
inline QLabel& NoticeMessage(QWidget& notice) {
    return Control<QLabel>(notice, QStringLiteral("Label2"));
}

}  // namespace test_support
