// Writing a file so that its name holds either the complete new contents or
// nothing: the bytes go to a temporary file in the target folder, which is
// renamed into place at the end. Settings, bitmaps and JPEG files are all
// written this way.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace core {

enum class FileWriteMode {
    NewFileOnly,  // fail when the target exists; never replaces a file
    Replace,      // replace an existing target in one step
};

// The open temporary file handed to the filling function.
class FileSink {
  public:
    explicit FileSink(int fd) : fd_(fd) {}
    // Writes all `size` bytes; false (and Error() set) when they did not all go.
    bool Write(const void* data, std::size_t size);
    // The errno value of the first failed write, 0 when none failed.
    int Error() const { return error_; }

  private:
    int fd_;
    int error_ = 0;
};

// Calls `fill` with the open temporary file, then renames it to `path`.
// Returns 0 when `fill` succeeded and the file is in place, else an errno
// value (EEXIST: the target exists and `mode` is NewFileOnly; EIO when `fill`
// failed without a write error). On failure nothing is left behind (no
// temporary file, no partial target) and an existing target is untouched.
// The new file gets the permissions any newly created file gets (0666 less
// the process's umask).
//
// Where the file system has no unnamed files, the temporary is a hidden
// ".korvel-XXXXXX.part" in the target folder (see TemporaryFiles.h). Each
// write first removes the temporaries that writers killed meanwhile left in
// that folder.
//
// `temporaries`: NamedOnly writes as on a file system without unnamed files
// (vfat, many network shares) even where the system has them (tests).
enum class Temporaries { UnnamedWhereOffered, NamedOnly };
int WriteFileAtomically(const std::string& path, FileWriteMode mode,
                        const std::function<bool(FileSink&)>& fill,
                        Temporaries temporaries = Temporaries::UnnamedWhereOffered);

}  // namespace core
