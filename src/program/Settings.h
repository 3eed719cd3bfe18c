// The program's own settings: one section, named after the program title, in
// one settings file that the object is bound to. Every setting is read and
// written here.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace program {

class Settings {
  public:
    // Bound to `iniFile`; an empty name gives a store that reads the defaults
    // and writes nothing.
    explicit Settings(QString iniFile = {}) : file_(std::move(iniFile)) {}

    const QString& File() const { return file_; }

    // The setting `key`, or `defaultValue` when it is missing or empty.
    std::string Read(std::string_view key, std::string_view defaultValue) const;
    // Writes the setting `key`; failures leave the file as it was and are not
    // reported.
    void Write(std::string_view key, std::string_view value) const;

  private:
    QString file_;
};

}  // namespace program
