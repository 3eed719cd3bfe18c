#include "dialogs/FileListBox.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>

namespace dialogs {

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) {
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemClicked, this, [this] { emit Click(); });
    connect(this, &QListWidget::itemDoubleClicked, this, [this] { emit DblClick(); });
}

void FileListBox::SetPattern(const QString& patterns) {
    patterns_.clear();
    for (const QString& pattern : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        patterns_ << pattern.trimmed();
    }
    if (!path_.isEmpty()) Fill();
}

void FileListBox::SetFilter(Filter filter) {
    filter_ = filter;
    if (!path_.isEmpty()) Fill();
}

void FileListBox::SetPath(const QString& path) {
    path_ = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    Fill();
}

void FileListBox::Fill() {
    clear();
    QDir dir(path_);
    // Without QDir::CaseSensitive the name filters ignore letter case, so
    // Photo.JPG matches "*.jpg".
    QDir::Filters filters = QDir::Files;
    if (filter_ == Filter::Programs) {
        filters |= QDir::Executable;
    } else {
        dir.setNameFilters(patterns_);
    }
    dir.setFilter(filters);
    dir.setSorting(QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    addItems(dir.entryList());
}

void FileListBox::keyPressEvent(QKeyEvent* event) {
    const int before = currentRow();
    QListWidget::keyPressEvent(event);
    if (currentRow() != before && !FileName().isEmpty()) emit Click();
}

QString FileListBox::FileName() const {
    const QListWidgetItem* item = currentItem();
    if (item == nullptr || !item->isSelected()) return {};
    return item->text();
}

bool FileListBox::SelectFileName(const QString& name) {
    clearSelection();
    if (name.isEmpty()) return false;
    QListWidgetItem* match = nullptr;
    for (int i = 0; i < count(); ++i) {
        QListWidgetItem* entry = item(i);
        if (entry->text() == name) {
            match = entry;
            break;
        }
        if (match == nullptr && entry->text().compare(name, Qt::CaseInsensitive) == 0) match = entry;
    }
    if (match == nullptr) return false;
    setCurrentItem(match);
    match->setSelected(true);
    scrollToItem(match);
    return true;
}

}  // namespace dialogs
