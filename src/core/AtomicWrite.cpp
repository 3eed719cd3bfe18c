#include "core/AtomicWrite.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "core/TemporaryFiles.h"

namespace core {

bool FileSink::Write(const void* data, std::size_t size) {
    if (error_ != 0) return false;
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(fd_, bytes, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            error_ = errno;
            return false;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

namespace {

// The folder part of `path` ("." for a bare name), with a trailing '/'.
std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return "./";
    return path.substr(0, slash + 1);
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Renames without ever replacing an existing `to`. Where the file system
// offers neither a no-replace rename nor hard links, the test for an existing
// target and the rename are two steps.
int RenameNoReplace(const std::string& from, const std::string& to) {
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return errno;
#endif
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return 0;
    }
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS) return errno;
    struct stat existing {};
    if (::lstat(to.c_str(), &existing) == 0) return EEXIST;
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

// Where the system has unnamed files, a new file has no name until the link
// at the end gives it the target's: nothing shows up in the folder while it
// is written, nothing stays behind when the program is stopped meanwhile, and
// the link refuses an existing target. -1: no unnamed files here.
int WriteUnnamedNewFile(const std::string& path, const std::function<bool(FileSink&)>& fill) {
#ifdef O_TMPFILE
    if (::access("/proc/self/fd", X_OK) != 0) return -1;
    const std::string folder = FolderOf(path);
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);  // umask applies
    if (fd < 0) return errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL ? -1 : errno;
    FileSink sink(fd);
    int error = 0;
    if (!fill(sink)) error = sink.Error() != 0 ? sink.Error() : EIO;
    if (error == 0) {
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) != 0) error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
        ::unlink(path.c_str());
    }
    return error;
#else
    (void)path;
    (void)fill;
    return -1;
#endif
}

}  // namespace

int WriteFileAtomically(const std::string& path, FileWriteMode mode,
                        const std::function<bool(FileSink&)>& fill, Temporaries temporaries) {
    if (path.empty()) return ENOENT;
    const std::string folder = FolderOf(path);
    // Temporaries of writers that were killed or lost their machine stay in
    // the folder, hidden and often as large as the whole picture; the next
    // write into the folder removes them.
    RemoveAbandonedTemporaries(folder);
    if (mode == FileWriteMode::NewFileOnly && temporaries == Temporaries::UnnamedWhereOffered) {
        const int unnamed = WriteUnnamedNewFile(path, fill);
        if (unnamed >= 0) return unnamed;
    }
    std::string temp;
    int error = 0;
    UniqueFd fd = CreateLockedTemporary(folder, temp, error);
    if (!fd.Valid()) return error;

    // A second descriptor of the same open file keeps the lock until the
    // rename, so that no clean-up takes the finished temporary for abandoned
    // once the writing descriptor is closed (its close reports the errors of
    // data a network share writes back only then).
    const UniqueFd lockHolder(::fcntl(fd.Get(), F_DUPFD_CLOEXEC, 0));
    FileSink sink(fd.Get());
    if (!fill(sink)) error = sink.Error() != 0 ? sink.Error() : EIO;
    if (error == 0 && ::fchmod(fd.Get(), NewFileMode()) != 0) error = errno;
    if (const int closeError = fd.Close(); error == 0) error = closeError;
    if (error == 0) {
        if (mode == FileWriteMode::NewFileOnly) {
            error = RenameNoReplace(temp, path);
        } else if (::rename(temp.c_str(), path.c_str()) != 0) {
            error = errno;
        }
    }
    if (error != 0) ::unlink(temp.c_str());
    return error;
}

}  // namespace core
