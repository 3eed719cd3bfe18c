// Small path helpers. They work on text with the native separator ('/' here,
// '\' on Windows) and never throw.
#pragma once

#include <string>
#include <string_view>

namespace app {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// The path as stored on disk (absolute) when it exists; otherwise the
// letter-case fallback: a character after a blank, '-', '(', '_' or the
// separator becomes upper case, every other one lower case, the first upper.
std::string GetLongPath(std::string_view path);
// The letter-case fallback alone.
std::string LetterCaseFallback(std::string_view path);

// Removes every double quote, in place; returns the new text.
std::string StripQuotes(std::string& text);

// Makes the text end in the separator, in place; returns the new text.
std::string AddBackslash(std::string& path);

// The path without its last component ("/a/b.jpg" gives "/a").
std::string GetFolderPart(std::string_view path);

// The last component ("/a/b.jpg" gives "b.jpg"; "/a/b/" gives "b").
std::string GetFilePart(std::string_view path);

// The name without its last extension ("a.b.jpg" gives "a.b"; "photo." stays).
std::string GetNameWithoutExt(std::string_view name);

// True when the path names a regular file that can be opened for reading
// (a folder, a named pipe or a device gives false).
bool FileExists(const std::string& path);

}  // namespace app
