// The drive, folder and file lists shared by both pickers.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QStorageInfo>

#include "dialogs/DialogTestSupport.h"
#include "dialogs/DirListBox.h"
#include "dialogs/DriveListBox.h"
#include "dialogs/FileListBox.h"
#include "dialogs/PreviewBox.h"
#include "dialogs/frmPicSelect.h"

using dialogs::FileListBox;
using namespace dialogs_test;

namespace {

QStringList Entries(const QListWidget& list) {
    QStringList names;
    for (int i = 0; i < list.count(); ++i) names << list.item(i)->text();
    return names;
}

}  // namespace

TEST(PreviewTargetSize, FillsWidthOrHeightKeepingTheAspectRatio) {
    const QSize box(389, 327);
    EXPECT_EQ(dialogs::PreviewTargetSize({800, 600}, box), QSize(389, 292));
    EXPECT_EQ(dialogs::PreviewTargetSize({600, 800}, box), QSize(245, 327));
    // Square: full width, the lower part is cut off by the box's height.
    EXPECT_EQ(dialogs::PreviewTargetSize({500, 500}, box), QSize(389, 389));
    EXPECT_EQ(dialogs::PreviewTargetSize({1, 1000}, box), QSize(0, 327));
    EXPECT_TRUE(dialogs::PreviewTargetSize({0, 10}, box).isEmpty());
}

TEST(FileListBox, PictureFilterIgnoresLetterCaseAndSortsByName) {
    QTemporaryDir dir;
    for (const char* name :
         {"b.gif", "A.BMP", "Photo.JPG", "d.jpeg", "e.Wmf", "c.jpg", "f.png", "g.txt", "h.jpg.bak", "jpg"}) {
        WriteFile(dir.filePath(name));
    }
    QDir(dir.path()).mkdir("folder.jpg");
    FileListBox files;
    files.SetPattern(QString::fromLatin1(frmPicSelect::kPicturePattern));
    files.SetPath(dir.path());
    EXPECT_EQ(Entries(files), (QStringList{"A.BMP", "b.gif", "c.jpg", "d.jpeg", "e.Wmf", "Photo.JPG"}));
}

TEST(FileListBox, ProgramFilterListsExecutableFilesOnly) {
    QTemporaryDir dir;
    WriteFile(dir.filePath("run.sh"), "#!/bin/sh\n");
    MakeExecutable(dir.filePath("run.sh"));
    WriteFile(dir.filePath("notes.txt"));
    QDir(dir.path()).mkdir("bin");  // a folder has the execute permission too
    QFile::link(dir.filePath("run.sh"), dir.filePath("link-to-run"));
    FileListBox files;
    files.SetFilter(FileListBox::Filter::Programs);
    files.SetPath(dir.path());
    EXPECT_EQ(Entries(files), (QStringList{"link-to-run", "run.sh"}));
}

TEST(FileListBox, ListsThousandsOfFilesAtOnce) {
    QTemporaryDir dir;
    for (int i = 0; i < 3000; ++i)
        WriteFile(dir.filePath(QStringLiteral("shot%1.jpg").arg(i, 4, 10, QChar('0'))));
    FileListBox files;
    files.SetPattern("*.jpg");
    files.SetPath(dir.path());
    ASSERT_EQ(files.count(), 3000);
    EXPECT_EQ(files.item(2999)->text(), "shot2999.jpg");
}

TEST(FileListBox, SelectionPrefersTheExactNameThenIgnoresLetterCase) {
    QTemporaryDir dir;
    WriteFile(dir.filePath("Photo.JPG"));
    WriteFile(dir.filePath("other.jpg"));
    FileListBox files;
    files.SetPattern("*.jpg");
    files.SetPath(dir.path());
    EXPECT_EQ(files.FileName(), "");  // nothing selected after listing
    EXPECT_TRUE(files.SelectFileName("photo.jpg"));
    EXPECT_EQ(files.FileName(), "Photo.JPG");
    EXPECT_FALSE(files.SelectFileName("missing.jpg"));
    EXPECT_EQ(files.FileName(), "");

    WriteFile(dir.filePath("photo.jpg"));  // both spellings present
    files.SetPath(dir.path());
    EXPECT_TRUE(files.SelectFileName("photo.jpg"));
    EXPECT_EQ(files.FileName(), "photo.jpg");
}

TEST(DirListBox, ShowsTheChainAndSubfoldersAndOpensOnActivation) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("Alpha/inner");
    QDir(dir.path()).mkdir("beta");
    QDir(dir.path()).mkdir(".hidden");
    dialogs::DirListBox folders;
    int changes = 0;
    QObject::connect(&folders, &dialogs::DirListBox::Change, [&] { ++changes; });
    folders.SetPath(dir.path());
    EXPECT_EQ(changes, 1);
    const QStringList entries = Entries(folders);
    ASSERT_GE(entries.size(), 3);
    EXPECT_EQ(entries.first().trimmed(), "/");
    EXPECT_EQ(entries[entries.size() - 2].trimmed(), "Alpha");
    EXPECT_EQ(entries.last().trimmed(), "beta");

    emit folders.itemActivated(folders.item(entries.size() - 2));
    EXPECT_EQ(folders.Path(), QDir(dir.filePath("Alpha")).absolutePath());
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(Entries(folders).last().trimmed(), "inner");

    folders.SetPath(dir.filePath("does-not-exist"));  // ignored, silently
    EXPECT_EQ(folders.Path(), QDir(dir.filePath("Alpha")).absolutePath());
}

TEST(DirListBox, LeavesOutFoldersThatCannotBeEntered) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not restrict the superuser";
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("locked");
    QFile::setPermissions(dir.filePath("locked"), QFileDevice::Permissions{});
    dialogs::DirListBox folders;
    folders.SetPath(dir.path());
    EXPECT_FALSE(Entries(folders).last().trimmed() == "locked");
    QFile::setPermissions(dir.filePath("locked"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST(DriveListBox, RootComesFirstAndPathsMapToTheirVolume) {
    dialogs::DriveListBox drives;
    ASSERT_GT(drives.count(), 0);
    EXPECT_EQ(drives.itemData(0).toString(), "/");
    const QStringList roots{"/", "/media/usb", "/media/usb2"};
    EXPECT_EQ(dialogs::DriveListBox::DriveOf("/media/usb/photos/a.jpg", roots), "/media/usb");
    EXPECT_EQ(dialogs::DriveListBox::DriveOf("/media/usb2", roots), "/media/usb2");
    EXPECT_EQ(dialogs::DriveListBox::DriveOf("/media/usbstick/a", roots), "/");
}

TEST(DriveListBox, RemembersTheLastFolderOfEachDrive) {
    dialogs::DriveListBox drives;
    QStringList roots;
    for (int i = 0; i < drives.count(); ++i) roots << drives.itemData(i).toString();
    QTemporaryDir dir;
    const QString drive = dialogs::DriveListBox::DriveOf(dir.path(), roots);
    ASSERT_FALSE(drive.isEmpty());
    drives.setCurrentIndex(drives.count() - 1);
    drives.RememberFolder(dir.path());
    EXPECT_EQ(drives.CurrentFolderOf(drive), QDir::cleanPath(dir.path()));
    EXPECT_EQ(drives.Drive(), drive);  // the list follows the folder onto its drive
}
