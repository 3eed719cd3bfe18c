// Settings file access with private-profile semantics: sections and keys match
// ignoring letter case, a write replaces the value in place and keeps every
// other line, the file and section are created on the first write. Writes go
// through a temporary file and a rename, so the file is never left half written.
// Only a regular file is read; a FIFO, a device or a folder in its place gives
// the defaults and is never replaced.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace app {

// Largest settings file read or rewritten (the values are short); a larger
// file, like anything that is not a regular file, gives the defaults.
inline constexpr std::size_t kIniMaxFileSize = std::size_t{1} << 20;

// Longest value a read returns; longer values are cut.
inline constexpr std::size_t kIniMaxValueLength = 2047;

// The value of `key` in `section`, or `defaultValue` when the file, section or
// key is missing or the value is empty.
std::string ReadIni(std::string_view section, std::string_view key, const std::string& file,
                    std::string_view defaultValue);

// Writes key=value into section. Failures (unwritable file or folder) leave
// the old file as it was and are not reported.
void WriteIni(std::string_view section, std::string_view key, std::string_view value,
              const std::string& file);

}  // namespace app
