#include "settings/PathHelpers.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace app {

namespace {

char Upper(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x80 ? static_cast<char>(std::toupper(u)) : c;
}

char Lower(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x80 ? static_cast<char>(std::tolower(u)) : c;
}

bool StartsWord(char previous) {
    return previous == ' ' || previous == '-' || previous == '(' || previous == '_' ||
           previous == kPathSeparator;
}

}  // namespace

std::string LetterCaseFallback(std::string_view path) {
    std::string result(path);
    for (std::size_t i = 1; i < result.size(); ++i) {
        result[i] = StartsWord(path[i - 1]) ? Upper(result[i]) : Lower(result[i]);
    }
    if (!result.empty()) result[0] = Upper(result[0]);
    return result;
}

std::string GetLongPath(std::string_view path) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (!path.empty() && path.find('"') == std::string_view::npos) {
        const fs::path p{std::string(path)};
        if (fs::exists(p, error) && !error) {
            const fs::path absolute = fs::absolute(p, error);
            if (!error) return absolute.lexically_normal().string();
        }
    }
    return LetterCaseFallback(path);
}

std::string StripQuotes(std::string& text) {
    std::erase(text, '"');
    return text;
}

std::string AddBackslash(std::string& path) {
    if (path.empty() || path.back() != kPathSeparator) path.push_back(kPathSeparator);
    return path;
}

std::string GetFolderPart(std::string_view path) {
#ifdef _WIN32
    if (!path.empty() && path.front() == kPathSeparator) path.remove_prefix(1);
#else
    // A single leading separator is the file system root here, not a drive-less
    // prefix: dropping it would turn every absolute folder into a relative one.
    // Only a doubled one loses a character, as "\\server\share" does on Windows.
    if (path.size() >= 2 && path[0] == kPathSeparator && path[1] == kPathSeparator) path.remove_prefix(1);
#endif
    if (!path.empty() && path.back() == kPathSeparator) path.remove_suffix(1);
    const auto last = path.rfind(kPathSeparator);
    if (last == std::string_view::npos) return std::string(path);
    return std::string(path.substr(0, last));
}

std::string GetFilePart(std::string_view path) {
    if (!path.empty() && path.back() == kPathSeparator) path.remove_suffix(1);
    const auto last = path.rfind(kPathSeparator);
    if (last == std::string_view::npos) return std::string(path);
    return std::string(path.substr(last + 1));
}

std::string GetNameWithoutExt(std::string_view name) {
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos || dot + 1 >= name.size()) return std::string(name);
    return std::string(name.substr(0, dot));
}

bool FileExists(const std::string& path) {
    if (path.empty()) return false;
    std::error_code error;
    // Only regular files count: a folder is no file, and opening a named pipe
    // or a device for reading can block until another program writes to it.
    if (!std::filesystem::is_regular_file(path, error)) return false;
    std::ifstream file(path, std::ios::binary);
    return file.is_open();
}

}  // namespace app
