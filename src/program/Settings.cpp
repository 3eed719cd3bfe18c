#include "program/Settings.h"

#include <QFile>

#include "program/ProgramValues.h"
#include "settings/IniFile.h"

namespace app {

namespace {

std::string SettingsFile() {
    return QFile::encodeName(G().strIniFile).toStdString();
}

}  // namespace

std::string ReadSetting(std::string_view key, std::string_view defaultValue) {
    const std::string file = SettingsFile();
    if (file.empty()) return std::string(defaultValue);
    return ReadIni(G().strAppTitle.toStdString(), key, file, defaultValue);
}

void WriteSetting(std::string_view key, std::string_view value) {
    const std::string file = SettingsFile();
    if (file.empty()) return;
    WriteIni(G().strAppTitle.toStdString(), key, value, file);
}

}  // namespace app
