// Writing a file so that its name holds either the complete new contents or
// nothing: the bytes go to a temporary file in the target folder, which is
// renamed into place at the end.
#pragma once

#include <QFileDevice>
#include <QIODevice>
#include <QString>
#include <functional>

namespace commands {

enum class FileWriteMode {
    NewFileOnly,  // fail when the target exists; never replaces a file
    Replace,      // replace an existing target in one step
};

// Calls `fill` with the open temporary file, then renames it to `path`.
// True when `fill` succeeded and the file is in place. On failure nothing is
// left behind (no temporary file, no partial target) and an existing target
// is untouched.
bool WriteFileAtomically(const QString& path, FileWriteMode mode,
                         const std::function<bool(QIODevice&)>& fill);

// Permissions a newly created file gets (0666 less the process's umask).
QFileDevice::Permissions NewFilePermissions();

}  // namespace commands
