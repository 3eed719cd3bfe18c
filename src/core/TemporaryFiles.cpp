#include "core/TemporaryFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <vector>

namespace core {

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = other.Release();
    }
    return *this;
}

UniqueFd::~UniqueFd() {
    Close();
}

int UniqueFd::Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

int UniqueFd::Close() {
    if (fd_ < 0) return 0;
    const int result = ::close(Release());
    return result == 0 ? 0 : errno;
}

namespace {

constexpr std::string_view kPrefix = ".korvel-";
constexpr std::string_view kSuffix = ".part";
constexpr std::size_t kRandomLength = 6;  // the XXXXXX that mkstemps fills
// A writer gives up after this many temporaries removed under its hands.
constexpr int kCreateAttempts = 16;

bool IsLetterOrDigit(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether the file system can lock at all: a lock refused for another
// reason than a holder means locks are not to be had here.
bool LockRefusedByHolder(int error) {
    return error == EWOULDBLOCK || error == EAGAIN;
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

}  // namespace

bool IsTemporaryName(std::string_view name) {
    if (name.size() != kPrefix.size() + kRandomLength + kSuffix.size()) return false;
    if (name.substr(0, kPrefix.size()) != kPrefix) return false;
    if (name.substr(kPrefix.size() + kRandomLength) != kSuffix) return false;
    for (const char c : name.substr(kPrefix.size(), kRandomLength)) {
        if (!IsLetterOrDigit(c)) return false;
    }
    return true;
}

UniqueFd CreateLockedTemporary(const std::string& folder, std::string& path, int& error) {
    const std::string pattern = folder + std::string(kPrefix) + "XXXXXX" + std::string(kSuffix);
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        UniqueFd fd(::mkostemps(name.data(), static_cast<int>(kSuffix.size()), O_CLOEXEC));
        if (!fd.Valid()) {
            error = errno;  // folder missing or not writable
            return {};
        }
        path.assign(name.data());
        if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) {
            // A clean-up took the new file for abandoned between its creation
            // and this lock and is removing it: start again with a new name.
            if (LockRefusedByHolder(errno)) continue;
            error = 0;  // no locks on this file system: write unlocked
            return fd;
        }
        // The clean-up removes only while it holds the lock, so once the lock
        // is ours the name either is still this file or is gone for good.
        struct stat opened {
        }, named{};
        if (::fstat(fd.Get(), &opened) == 0 && ::lstat(path.c_str(), &named) == 0 &&
            SameFile(opened, named)) {
            error = 0;
            return fd;
        }
    }
    error = EEXIST;
    return {};
}

int RemoveAbandonedTemporaries(const std::string& folder) {
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
    if (!dir) return 0;
    const int dirFd = ::dirfd(dir.get());
    int removed = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        const char* name = entry->d_name;
        if (!IsTemporaryName(name)) continue;
        // Only plain files: never a link, a folder, a FIFO or a device.
        struct stat before {};
        if (::fstatat(dirFd, name, &before, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(before.st_mode)) continue;
        const UniqueFd fd(::openat(dirFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        if (!fd.Valid()) continue;  // another user's, or gone meanwhile
        struct stat opened {};
        if (::fstat(fd.Get(), &opened) != 0 || !S_ISREG(opened.st_mode)) continue;
        // A writer still at work holds the lock; without locks on this file
        // system nothing can be told apart, and nothing is removed.
        if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) continue;
        // Remove while holding the lock, and only the file that was locked.
        struct stat named {};
        if (::fstatat(dirFd, name, &named, AT_SYMLINK_NOFOLLOW) != 0 || !SameFile(opened, named)) continue;
        if (::unlinkat(dirFd, name, 0) == 0) ++removed;
    }
    return removed;
}

}  // namespace core
