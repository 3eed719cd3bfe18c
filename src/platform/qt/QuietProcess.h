// Starting a program that outlives this one (the clipboard keepers), and
// handing it a picture.
#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

namespace platform {

// Starts `program` detached, with no terminal (its input and output are the
// null device): it outlives this process and must not hold on to its output.
// The process id, or 0 when it could not be started.
qint64 StartDetachedQuietly(const QString& program, const QStringList& arguments);

// A keeper started with a picture: the picture waits for it in a private
// file, named right after `argument`, that the keeper reads and removes.
struct KeeperStart {
    qint64 pid = 0;  // 0: not started, and no file is left
    QString file;
};
KeeperStart StartKeeperWithPicture(const QString& program, const QString& argument, const QImage& picture,
                                   const QStringList& more = {});
// In the keeper: the picture of such a file, which is removed. Null when the
// file cannot be read.
QImage TakeKeeperPicture(const QString& file);

}  // namespace platform
