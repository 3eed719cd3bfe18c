// Starting a program that outlives this one (the clipboard keepers).
#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// Starts `program` detached, with no terminal (its input and output are the
// null device): it outlives this process and must not hold on to its output.
// The process id, or 0 when it could not be started.
qint64 StartDetachedQuietly(const QString& program, const QStringList& arguments);

}  // namespace platform
