#include "commands/DropHandler.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMimeData>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include "canvas/EditorState.h"
#include "commands/CommandHost.h"
#include "platform/qt/LocalPaths.h"
#include "platform/qt/PendingPicture.h"
#include "platform/qt/PictureLoader.h"
#include "settings/PathHelpers.h"

namespace commands {

QStringList DroppedFiles(const QMimeData& data) {
    QStringList files;
    if (!data.hasUrls()) return files;
    for (const QUrl& url : data.urls()) {
        // A file whose name has no text here cannot be opened: it is skipped
        // like any file that does not load, and no look-alike name is tried.
        if (const auto file = platform::LocalFileOfUrl(url)) files.push_back(*file);
    }
    return files;
}

void DropFiles(CommandHost& host, const QMimeData& data) {
    const QStringList files = DroppedFiles(data);
    if (files.isEmpty()) return;
    // Loading runs after the drop has been answered, so the file manager is
    // not kept waiting while large pictures load, and after any picture still
    // arriving (a paste, a load or another drop that the drop came during),
    // so the picture dropped last is the one that stays.
    const QPointer<QWidget> window(&host.Window());
    CommandHost* target = &host;  // lives as long as its window
    QTimer::singleShot(0, window, [window, target, files] {
        if (!window) return;
        target->State().Intake().WhenIdle(window, [window, target, files] {
            if (window) DropFiles(*target, files);
        });
    });
}

void DropFiles(CommandHost& host, const QStringList& files) {
    const platform::PictureIntake::Stretch intake(host.State().Intake());
    for (const QString& path : files) {
        QCoreApplication::processEvents();
        QImage picture = LoadPictureFile(path);
        // Only a file that loaded renames the picture; its name loses exactly
        // its last extension, however long.
        if (picture.isNull()) continue;
        const std::string name = app::GetFilePart(QFileInfo(path).filePath().toStdString());
        host.SetPictureName(QString::fromStdString(app::GetNameWithoutExt(name)));
        host.ReplacePicture(std::move(picture), AfterReplace::Layout);
    }
}

}  // namespace commands
