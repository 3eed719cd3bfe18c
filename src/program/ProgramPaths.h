// The program's title and the paths fixed at start-up: the program folder,
// the settings file and the scratch bitmap. Start-up computes them once and
// hands them down; nothing changes them afterwards.
#pragma once

#include <QString>

namespace program {

// strAppTitle: the window title, the settings section, the default title of
// message boxes.
inline const QString kAppTitle = QStringLiteral("Korvel Annotarix");

struct ProgramPaths {
    QString strAppPath;   // program folder, ending in a separator
    QString strIniFile;   // settings file
    QString strTempFile;  // scratch bitmap "temp.bmp"
};

}  // namespace program
