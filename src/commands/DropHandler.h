// Files dropped on the canvas or on the view panel become the working picture.
#pragma once

#include <QStringList>

class QMimeData;
namespace commands {

class CommandHost;

// Local files named by the dropped data, in list order (empty for data that
// is not a file list).
QStringList DroppedFiles(const QMimeData& data);

// Handles a drop: each file in turn is loaded; a file that loads becomes the
// canvas picture and names the picture. Anything but local files is ignored.
void DropFiles(CommandHost& host, const QMimeData& data);
void DropFiles(CommandHost& host, const QStringList& files);

}  // namespace commands
