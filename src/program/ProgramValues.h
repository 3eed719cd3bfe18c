// Program-wide values: set at start-up (paths, settings file, the external
// program) and read by every part of the program. Paths use the native separator; folder values end in one.
#pragma once

#include <QString>
#include <cstdint>

namespace app {

struct Globals {
    QString strAppTitle = QStringLiteral("Korvel Annotarix");
    QString strAppPath;             // program folder, ending in a separator
    QString strIniFile;             // settings file
    QString strTempFile;            // scratch bitmap "temp.bmp"
    QString strPictureFolder;       // folder of the current picture, ending in a separator, or ""
    QString strExtProgram;          // external image program
    std::int16_t intWinOffset = 0;  // layout margin in twips
};

Globals& G();

}  // namespace app
