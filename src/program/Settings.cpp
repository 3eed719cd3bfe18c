#include "program/Settings.h"

#include <QFile>

#include "program/ProgramPaths.h"
#include "settings/IniFile.h"

namespace program {

std::string Settings::Read(std::string_view key, std::string_view defaultValue) const {
    if (file_.isEmpty()) return std::string(defaultValue);
    return app::ReadIni(kAppTitle.toStdString(), key, QFile::encodeName(file_).toStdString(), defaultValue);
}

void Settings::Write(std::string_view key, std::string_view value) const {
    if (file_.isEmpty()) return;
    app::WriteIni(kAppTitle.toStdString(), key, value, QFile::encodeName(file_).toStdString());
}

}  // namespace program
