// The program's own settings: one section, named after the program title, in
// the settings file app::G().strIniFile. Every setting is read and written
// here.
#pragma once

#include <string>
#include <string_view>

namespace app {

// The setting `key`, or `defaultValue` when it is missing or empty (also when
// no settings file is known yet).
std::string ReadSetting(std::string_view key, std::string_view defaultValue);

// Writes the setting `key`. Nothing happens without a settings file;
// failures leave the file as it was and are not reported.
void WriteSetting(std::string_view key, std::string_view value);

}  // namespace app
