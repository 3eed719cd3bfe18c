#include "dialogs/DirListBox.h"

#include <QDir>
#include <QFileInfo>
#include <QStyle>

namespace dialogs {

namespace {

constexpr int kPathRole = Qt::UserRole;

QString Indent(int depth) {
    return QString(depth * 2, QLatin1Char(' '));
}

}  // namespace

DirListBox::DirListBox(QWidget* parent) : QListWidget(parent) {
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { SetPath(item->data(kPathRole).toString()); });
}

void DirListBox::SetPath(const QString& path) {
    if (path.isEmpty()) return;
    const QFileInfo info(path);
    if (!info.isDir()) return;
    const QString clean = QDir::cleanPath(info.absoluteFilePath());
    if (clean == path_) return;
    path_ = clean;
    Fill();
    emit Change();
}

void DirListBox::Fill() {
    clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);

    // The chain from the root to the current folder.
    QStringList chain;
    for (QDir dir(path_);;) {
        chain.prepend(dir.absolutePath());
        if (dir.isRoot() || !dir.cdUp()) break;
    }
    int depth = 0;
    QListWidgetItem* current = nullptr;
    for (const QString& folder : chain) {
        const QString name = QDir(folder).isRoot() ? folder : QFileInfo(folder).fileName();
        auto* item = new QListWidgetItem(open, Indent(depth) + name, this);  // owned by the list
        item->setData(kPathRole, folder);
        current = item;
        ++depth;
    }

    // Subfolders of the current folder; hidden ones and ones that cannot be
    // entered are left out.
    const QFileInfoList subfolders = QDir(path_).entryInfoList(
        QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    for (const QFileInfo& sub : subfolders) {
        if (!sub.isExecutable()) continue;
        auto* item = new QListWidgetItem(closed, Indent(depth) + sub.fileName(), this);  // owned by the list
        item->setData(kPathRole, QDir::cleanPath(sub.absoluteFilePath()));
    }
    if (current != nullptr) {
        setCurrentItem(current);
        scrollToItem(current);
    }
}

}  // namespace dialogs
