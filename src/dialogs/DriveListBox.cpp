#include "dialogs/DriveListBox.h"

#include <QDir>
#include <QSignalBlocker>
#include <QStorageInfo>
#include <algorithm>

namespace dialogs {

namespace {

QString WithoutTrailingSeparator(QString path) {
    while (path.size() > 1 && path.endsWith(QLatin1Char('/'))) path.chop(1);
    return path;
}

bool IsUnder(const QString& path, const QString& root) {
    if (root == QLatin1String("/")) return path.startsWith(QLatin1Char('/'));
    return path == root || path.startsWith(root + QLatin1Char('/'));
}

}  // namespace

DriveListBox::DriveListBox(QWidget* parent) : QComboBox(parent) {
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady()) continue;
        roots << WithoutTrailingSeparator(QDir::fromNativeSeparators(volume.rootPath()));
    }
    roots.removeDuplicates();
    std::sort(roots.begin(), roots.end(), [](const QString& a, const QString& b) {
        if (a == QLatin1String("/") || b == QLatin1String("/")) return a == QLatin1String("/") && b != a;
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    if (!roots.contains(QLatin1String("/")) && QDir::rootPath() == QLatin1String("/")) roots.prepend("/");
    for (const QString& root : roots) {
        QString label = root;
        const QStorageInfo info(root);
        const QString name = info.displayName();
        if (!name.isEmpty() && name != root) label += QStringLiteral("  [%1]").arg(name);
        addItem(label, root);
    }
    const QString current = DriveOf(QDir::currentPath(), roots);
    if (const int index = findData(current); index >= 0) setCurrentIndex(index);
    connect(this, &QComboBox::currentIndexChanged, this, [this] { emit Change(); });
}

QString DriveListBox::Drive() const {
    return currentData().toString();
}

QStringList DriveListBox::Roots() const {
    QStringList roots;
    for (int i = 0; i < count(); ++i) roots << itemData(i).toString();
    return roots;
}

QString DriveListBox::DriveOf(const QString& path, const QStringList& roots) {
    const QString clean = QDir::cleanPath(QDir::fromNativeSeparators(path));
    QString best;
    for (const QString& root : roots) {
        if (IsUnder(clean, root) && root.size() > best.size()) best = root;
    }
    return best;
}

void DriveListBox::SetDriveFor(const QString& path) {
    const QString drive = DriveOf(path, Roots());
    if (drive.isEmpty()) return;
    const int index = findData(drive);
    if (index >= 0 && index != currentIndex()) setCurrentIndex(index);
}

QString DriveListBox::CurrentFolderOf(const QString& drive) const {
    if (const auto it = lastFolder_.constFind(drive); it != lastFolder_.constEnd()) return it.value();
    const QString current = QDir::currentPath();
    if (DriveOf(current, Roots()) == drive) return current;
    return drive;
}

void DriveListBox::RememberFolder(const QString& folder) {
    const QString drive = DriveOf(folder, Roots());
    if (drive.isEmpty()) return;
    lastFolder_.insert(drive, QDir::cleanPath(folder));
    // The folder list may have moved onto another volume: show that drive,
    // without the Change that would move the folder list again.
    const QSignalBlocker quiet(this);
    SetDriveFor(folder);
}

}  // namespace dialogs
