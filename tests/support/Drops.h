// Files dragged onto a widget and dropped there, as a file manager does.
#pragma once

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace test_support {

// Drags `data` onto `target` and drops it, then lets the deferred loading run.
inline void Drop(QWidget& target, const QMimeData& data) {
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &drop);
    QApplication::processEvents();
    QApplication::processEvents();
}

// Drops local files named by their paths.
inline void DropPaths(QWidget& target, const QStringList& paths) {
    QList<QUrl> urls;
    for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
    QMimeData data;
    data.setUrls(urls);
    Drop(target, data);
}

}  // namespace test_support
