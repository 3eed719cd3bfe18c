#include "settings/IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>
#include <system_error>
#include <vector>

#include "core/AtomicWrite.h"

namespace app {

namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string_view Trim(std::string_view text) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

// The file split into lines without their line ends; `crlf` tells which end
// the file uses and `bom` whether it starts with a UTF-8 byte-order mark, so
// that a rewrite keeps both.
struct IniText {
    std::vector<std::string> lines;
    bool crlf = false;
    bool bom = false;
};

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Closes a file descriptor when it goes out of scope.
class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

enum class ReadResult {
    Missing,   // nothing under the name: a write may create the file
    Read,      // a regular file within the size limit, read completely
    Unusable,  // a FIFO, device, folder, an oversized or unreadable file
};

// Reads only a regular file (a link to one is followed) of at most
// kIniMaxFileSize bytes. Opening does not wait for a writer of a FIFO, and
// a device or a growing file is never read without end.
ReadResult ReadText(const std::string& file, IniText& text) {
    const Descriptor fd(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) return errno == ENOENT ? ReadResult::Missing : ReadResult::Unusable;
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_size > static_cast<off_t>(kIniMaxFileSize))
        return ReadResult::Unusable;
    std::string content;
    char chunk[4096];
    for (;;) {
        const ssize_t got = ::read(fd.get(), chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return ReadResult::Unusable;
        if (got == 0) break;
        content.append(chunk, static_cast<std::size_t>(got));
        if (content.size() > kIniMaxFileSize) return ReadResult::Unusable;
    }
    if (content.starts_with(kUtf8Bom)) {
        text.bom = true;
        content.erase(0, kUtf8Bom.size());
    }
    text.crlf = content.find("\r\n") != std::string::npos;
    std::size_t start = 0;
    while (start < content.size()) {
        auto end = content.find('\n', start);
        if (end == std::string::npos) end = content.size();
        std::string line = content.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        text.lines.push_back(std::move(line));
        start = end + 1;
    }
    return ReadResult::Read;
}

// The section name of a "[name]" line, or nothing for any other line.
bool SectionName(std::string_view line, std::string_view& name) {
    line = Trim(line);
    if (line.size() < 2 || line.front() != '[') return false;
    const auto close = line.find(']');
    if (close == std::string_view::npos) return false;
    name = Trim(line.substr(1, close - 1));
    return true;
}

// Key and value of a "key=value" line (comments and other lines give false).
bool KeyValue(std::string_view line, std::string_view& key, std::string_view& value) {
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == ';') return false;
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) return false;
    key = Trim(line.substr(0, equals));
    value = Trim(line.substr(equals + 1));
    return true;
}

// Index of the section's header line, or lines.size().
std::size_t FindSection(const std::vector<std::string>& lines, std::string_view section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view name;
        if (SectionName(lines[i], name) && EqualsIgnoringCase(name, section)) return i;
    }
    return lines.size();
}

// End of the section starting at header (index of the next header or size).
std::size_t SectionEnd(const std::vector<std::string>& lines, std::size_t header) {
    for (std::size_t i = header + 1; i < lines.size(); ++i) {
        std::string_view name;
        if (SectionName(lines[i], name)) return i;
    }
    return lines.size();
}

bool WriteAtomically(const std::string& file, const std::string& content) {
    // An existing file we may not write stays as it is, even where the folder
    // would allow replacing it by a rename.
    if (::access(file.c_str(), F_OK) == 0 && ::access(file.c_str(), W_OK) != 0) return false;
    // The temporary file has a fresh name made exclusively, so nothing
    // planted in the folder is ever written through.
    return core::WriteFileAtomically(file, core::FileWriteMode::Replace, [&](core::FileSink& out) {
               return out.Write(content.data(), content.size());
           }) == 0;
}

}  // namespace

std::string ReadIni(std::string_view section, std::string_view key, const std::string& file,
                    std::string_view defaultValue) {
    IniText text;
    if (ReadText(file, text) != ReadResult::Read) return std::string(defaultValue);
    const std::size_t header = FindSection(text.lines, section);
    if (header == text.lines.size()) return std::string(defaultValue);
    const std::size_t end = SectionEnd(text.lines, header);
    for (std::size_t i = header + 1; i < end; ++i) {
        std::string_view lineKey;
        std::string_view value;
        if (!KeyValue(text.lines[i], lineKey, value) || !EqualsIgnoringCase(lineKey, key)) continue;
        // A value in matching quotes is read without them.
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front()) {
            value = value.substr(1, value.size() - 2);
        }
        if (value.empty()) return std::string(defaultValue);
        return std::string(value.substr(0, kIniMaxValueLength));
    }
    return std::string(defaultValue);
}

void WriteIni(std::string_view section, std::string_view key, std::string_view value,
              const std::string& file) {
    if (section.empty() || key.empty()) return;
    IniText text;
    // A missing file starts empty; one that cannot be read as settings (a
    // FIFO, a device, an oversized file) is left alone rather than replaced.
    if (ReadText(file, text) == ReadResult::Unusable) return;

    // A line break inside the value would split it into lines of its own.
    std::string cleanValue(value);
    std::replace(cleanValue.begin(), cleanValue.end(), '\r', ' ');
    std::replace(cleanValue.begin(), cleanValue.end(), '\n', ' ');
    std::string entry = std::string(key) + "=" + cleanValue;

    const std::size_t header = FindSection(text.lines, section);
    if (header == text.lines.size()) {
        std::string headerLine(1, '[');
        headerLine.append(section);
        headerLine.push_back(']');
        text.lines.push_back(std::move(headerLine));
        text.lines.push_back(std::move(entry));
    } else {
        const std::size_t end = SectionEnd(text.lines, header);
        std::size_t insertAt = header + 1;
        bool replaced = false;
        for (std::size_t i = header + 1; i < end; ++i) {
            std::string_view lineKey;
            std::string_view lineValue;
            if (KeyValue(text.lines[i], lineKey, lineValue) && EqualsIgnoringCase(lineKey, key)) {
                text.lines[i] = entry;
                replaced = true;
                break;
            }
            if (!Trim(text.lines[i]).empty()) insertAt = i + 1;
        }
        if (!replaced) text.lines.insert(text.lines.begin() + static_cast<std::ptrdiff_t>(insertAt), entry);
    }

    const char* newline = text.crlf ? "\r\n" : "\n";
    std::string content(text.bom ? kUtf8Bom : std::string_view());
    for (const std::string& line : text.lines) {
        content += line;
        content += newline;
    }
    WriteAtomically(file, content);
}

}  // namespace app
