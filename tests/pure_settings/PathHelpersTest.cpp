// Path helpers with the native separator.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>

#include "settings/NumberText.h"
#include "settings/PathHelpers.h"

namespace {

namespace fs = std::filesystem;

TEST(PathHelpers, FolderPart) {
    EXPECT_EQ(app::GetFolderPart("/Bilder/a.jpg"), "/Bilder");
    EXPECT_EQ(app::GetFolderPart("/home/anna/Bilder/a.jpg"), "/home/anna/Bilder");
    EXPECT_EQ(app::GetFolderPart("/a.jpg"), "");  // the root; AddBackslash makes it "/"
    EXPECT_EQ(app::GetFolderPart("a.jpg"), "a.jpg");
    EXPECT_EQ(app::GetFolderPart("/Bilder/sub/"), "/Bilder");
    EXPECT_EQ(app::GetFolderPart("//server/share/a.jpg"), "/server/share");
    EXPECT_EQ(app::GetFolderPart(""), "");
}

TEST(PathHelpers, FilePart) {
    EXPECT_EQ(app::GetFilePart("/Bilder/a.jpg"), "a.jpg");
    EXPECT_EQ(app::GetFilePart("/Bilder/"), "Bilder");
    EXPECT_EQ(app::GetFilePart("a.jpg"), "a.jpg");
    EXPECT_EQ(app::GetFilePart(""), "");
}

TEST(PathHelpers, NameWithoutExt) {
    EXPECT_EQ(app::GetNameWithoutExt("a.b.jpg"), "a.b");
    EXPECT_EQ(app::GetNameWithoutExt("photo.jpeg"), "photo");
    EXPECT_EQ(app::GetNameWithoutExt("photo."), "photo.");
    EXPECT_EQ(app::GetNameWithoutExt("photo"), "photo");
    EXPECT_EQ(app::GetNameWithoutExt(".hidden"), "");
}

TEST(PathHelpers, AddBackslashAndStripQuotesChangeTheirArgument) {
    std::string root = "/";
    EXPECT_EQ(app::AddBackslash(root), "/");
    std::string empty;
    EXPECT_EQ(app::AddBackslash(empty), "/");
    std::string folder = "/tmp";
    EXPECT_EQ(app::AddBackslash(folder), "/tmp/");
    EXPECT_EQ(folder, "/tmp/");
    std::string quoted = "\"/a b/\"c\".jpg\"";
    EXPECT_EQ(app::StripQuotes(quoted), "/a b/c.jpg");
    EXPECT_EQ(quoted, "/a b/c.jpg");
}

TEST(PathHelpers, LongPathFallbackForMissingPaths) {
    EXPECT_EQ(app::GetLongPath("/no-such-dir-korvel/my_file(copy)-x.JPG"),
              "/No-Such-Dir-Korvel/My_File(Copy)-X.jpg");
    // A quoted path never converts; the letter after the quote becomes lower case.
    EXPECT_EQ(app::GetLongPath("\"/tmp/x\""), "\"/Tmp/X\"");
    EXPECT_EQ(app::GetLongPath("\"c:/x\""), "\"c:/X\"");
    EXPECT_EQ(app::GetLongPath(""), "");
}

TEST(PathHelpers, LongPathOfAnExistingFileIsItsAbsolutePath) {
    const fs::path folder = fs::temp_directory_path() / ("korvel-path-" + std::to_string(::getpid()));
    fs::create_directories(folder / "Mixed Case");
    const fs::path file = folder / "Mixed Case" / "Bild.JPG";
    std::ofstream(file) << "x";
    EXPECT_EQ(app::GetLongPath(file.string()), file.string());
    const fs::path previous = fs::current_path();
    fs::current_path(folder);
    EXPECT_EQ(app::GetLongPath("Mixed Case/./Bild.JPG"), file.string());
    fs::current_path(previous);
    fs::remove_all(folder);
}

TEST(PathHelpers, FileExistsOnlyForReadableFiles) {
    const fs::path folder = fs::temp_directory_path() / ("korvel-exists-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const fs::path file = folder / "a.txt";
    std::ofstream(file) << "x";
    EXPECT_TRUE(app::FileExists(file.string()));
    EXPECT_FALSE(app::FileExists(folder.string()));
    EXPECT_FALSE(app::FileExists((folder / "missing").string()));
    EXPECT_FALSE(app::FileExists(""));
    fs::remove_all(folder);
}

TEST(PathHelpers, FileExistsIsFalseForANamedPipeAndReturnsAtOnce) {
    const fs::path folder = fs::temp_directory_path() / ("korvel-fifo-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::string pipe = (folder / "shot.jpg").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    auto result = std::async(std::launch::async, [&pipe] { return app::FileExists(pipe); });
    const bool returned = result.wait_for(std::chrono::seconds(2)) == std::future_status::ready;
    if (!returned) {
        // Opening it blocked: a writer lets the call (and the test) finish.
        const int writer = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0) ::close(writer);
    }
    EXPECT_TRUE(returned) << "FileExists waited for a writer on the pipe";
    EXPECT_FALSE(result.get());
    fs::remove_all(folder);
}

TEST(NumberText, LeadingNumberOfSettingsTexts) {
    EXPECT_EQ(app::LeadingInt16("12px"), 12);
    EXPECT_EQ(app::LeadingInt16("2.5"), 2);
    EXPECT_EQ(app::LeadingInt16("3.5"), 4);
    EXPECT_EQ(app::LeadingInt16("-15"), -15);
    EXPECT_EQ(app::LeadingInt16(" 1 2 0 "), 120);
    EXPECT_EQ(app::LeadingInt16("abc"), 0);
    EXPECT_EQ(app::LeadingInt16(""), 0);
    EXPECT_EQ(app::LeadingInt16("1e2"), 100);
    EXPECT_EQ(app::LeadingInt16("32767"), 32767);
    EXPECT_EQ(app::LeadingInt16("-32768"), -32768);
    EXPECT_FALSE(app::LeadingInt16("99999").has_value());
}

}  // namespace
