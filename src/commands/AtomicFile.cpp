#include "commands/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace commands {

QFileDevice::Permissions NewFilePermissions() {
#ifdef Q_OS_UNIX
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const mode_t mode = 0666 & ~mask;
    QFileDevice::Permissions p;
    if (mode & S_IRUSR) p |= QFileDevice::ReadOwner | QFileDevice::ReadUser;
    if (mode & S_IWUSR) p |= QFileDevice::WriteOwner | QFileDevice::WriteUser;
    if (mode & S_IRGRP) p |= QFileDevice::ReadGroup;
    if (mode & S_IWGRP) p |= QFileDevice::WriteGroup;
    if (mode & S_IROTH) p |= QFileDevice::ReadOther;
    if (mode & S_IWOTH) p |= QFileDevice::WriteOther;
    return p;
#else
    return QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser |
           QFileDevice::ReadGroup | QFileDevice::ReadOther;
#endif
}

bool WriteFileAtomically(const QString& path, FileWriteMode mode,
                         const std::function<bool(QIODevice&)>& fill) {
    if (path.isEmpty()) return false;
    const QFileInfo target(path);
    QTemporaryFile temp(target.absolutePath() + QStringLiteral("/.korvel-XXXXXX.part"));
    if (!temp.open()) return false;  // folder missing or not writable
    // The temporary file removes itself when anything below fails.
    if (!fill(temp) || !temp.flush() || !temp.setPermissions(NewFilePermissions())) return false;

    temp.setAutoRemove(false);
    bool ok = false;
    if (mode == FileWriteMode::NewFileOnly) {
        // Where the system has unnamed files, the temporary file has no name
        // until this rename gives it the target's: nothing shows up in the
        // folder while it is written, and nothing stays behind when the
        // program is stopped meanwhile. The rename refuses an existing
        // target, so a file that appeared meanwhile survives.
        ok = temp.rename(target.absoluteFilePath());
    } else {
        temp.close();
        if (temp.error() == QFileDevice::NoError) {
            std::error_code error;
            std::filesystem::rename(QFile::encodeName(temp.fileName()).toStdString(),
                                    QFile::encodeName(target.absoluteFilePath()).toStdString(), error);
            ok = !error;
        }
    }
    if (!ok) QFile::remove(temp.fileName());
    return ok;
}

}  // namespace commands
