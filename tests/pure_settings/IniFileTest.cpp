// Settings file: private-profile semantics and the atomic rewrite.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "settings/IniFile.h"

namespace {

namespace fs = std::filesystem;

class IniFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ =
            fs::temp_directory_path() / ("korvel-ini-" + std::to_string(::getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        file_ = (folder_ / "korvel-annotarix.ini").string();
    }
    void TearDown() override {
        fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(folder_);
    }
    void Write(const std::string& content) {
        std::ofstream out(file_, std::ios::binary);
        out << content;
    }
    std::string Read() const {
        std::ifstream in(file_, std::ios::binary);
        std::stringstream buffer;
        buffer << in.rdbuf();
        return buffer.str();
    }

    fs::path folder_;
    std::string file_;
};

TEST_F(IniFileTest, MissingFileSectionOrKeyGivesTheDefault) {
    EXPECT_EQ(app::ReadIni("Korvel Annotarix", "SaveAs", file_, ".jpg"), ".jpg");
    Write("[Other]\nSaveAs=.bmp\n");
    EXPECT_EQ(app::ReadIni("Korvel Annotarix", "SaveAs", file_, ".jpg"), ".jpg");
    Write("[Korvel Annotarix]\nPreviewName=x\n");
    EXPECT_EQ(app::ReadIni("Korvel Annotarix", "SaveAs", file_, ".jpg"), ".jpg");
}

TEST_F(IniFileTest, EmptyValueReadsAsTheDefault) {
    Write("[Korvel Annotarix]\nSaveAs=\n");
    EXPECT_EQ(app::ReadIni("Korvel Annotarix", "SaveAs", file_, ".jpg"), ".jpg");
}

TEST_F(IniFileTest, SectionAndKeyMatchIgnoringLetterCase) {
    Write("[KORVEL annotarix]\nsaveas=.bmp\n  Offset(WIN10) = 30  \n");
    EXPECT_EQ(app::ReadIni("Korvel Annotarix", "SaveAs", file_, ".jpg"), ".bmp");
    EXPECT_EQ(app::ReadIni("korvel ANNOTARIX", "Offset(Win10)", file_, "0"), "30");
}

TEST_F(IniFileTest, KeysOfOtherSectionsAndCommentsAreNotRead) {
    Write("[A]\nKey=a\n[B]\n;Key=comment\nKey=b\n");
    EXPECT_EQ(app::ReadIni("B", "Key", file_, ""), "b");
    EXPECT_EQ(app::ReadIni("A", "Key", file_, ""), "a");
}

TEST_F(IniFileTest, LongValuesAreCutTo2047Characters) {
    const std::string value(3000, 'x');
    app::WriteIni("S", "K", value, file_);
    EXPECT_EQ(app::ReadIni("S", "K", file_, ""), std::string(2047, 'x'));
}

TEST_F(IniFileTest, FirstWriteCreatesFileAndSection) {
    app::WriteIni("Korvel Annotarix", "SaveAs", ".bmp", file_);
    EXPECT_EQ(Read(), "[Korvel Annotarix]\nSaveAs=.bmp\n");
    app::WriteIni("Korvel Annotarix", "Offset(Win10)", "30", file_);
    EXPECT_EQ(Read(), "[Korvel Annotarix]\nSaveAs=.bmp\nOffset(Win10)=30\n");
}

TEST_F(IniFileTest, WriteReplacesInPlaceAndKeepsEveryOtherLine) {
    Write(
        "; settings\n[First]\nsaveas=keep\n\n[korvel annotarix]\n; the format\nSAVEAS=.jpg\nPreviewName=a\n\n"
        "[Last]\nx=1\n");
    app::WriteIni("Korvel Annotarix", "SaveAs", ".bmp", file_);
    EXPECT_EQ(
        Read(),
        "; settings\n[First]\nsaveas=keep\n\n[korvel annotarix]\n; the format\nSaveAs=.bmp\nPreviewName=a\n\n"
        "[Last]\nx=1\n");
}

TEST_F(IniFileTest, NewKeyGoesToTheEndOfItsSectionBeforeBlankLines) {
    Write("[A]\nx=1\n\n[B]\ny=2\n");
    app::WriteIni("a", "z", "3", file_);
    EXPECT_EQ(Read(), "[A]\nx=1\nz=3\n\n[B]\ny=2\n");
}

TEST_F(IniFileTest, WindowsLineEndsAreKept) {
    Write("[A]\r\nx=1\r\n");
    app::WriteIni("A", "x", "2", file_);
    EXPECT_EQ(Read(), "[A]\r\nx=2\r\n");
}

TEST_F(IniFileTest, LineBreaksInAValueCannotAddLines) {
    app::WriteIni("A", "name", "one\n[B]\nx=1", file_);
    EXPECT_EQ(app::ReadIni("B", "x", file_, "none"), "none");
    EXPECT_EQ(app::ReadIni("A", "name", file_, ""), "one [B] x=1");
}

TEST_F(IniFileTest, WriteLeavesNoTemporaryFileBehind) {
    app::WriteIni("A", "x", "1", file_);
    app::WriteIni("A", "x", "2", file_);
    int files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder_)) ++files;
    EXPECT_EQ(files, 1);
}

TEST_F(IniFileTest, UnwritableFileKeepsItsOldContents) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
    Write("[A]\nx=1\n");
    fs::permissions(file_, fs::perms::owner_read, fs::perm_options::replace);
    app::WriteIni("A", "x", "2", file_);
    EXPECT_EQ(Read(), "[A]\nx=1\n");
    fs::permissions(file_, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace);
}

TEST_F(IniFileTest, UnwritableFolderKeepsTheOldFile) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
    Write("[A]\nx=1\n");
    fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec, fs::perm_options::replace);
    app::WriteIni("A", "x", "2", file_);
    EXPECT_EQ(Read(), "[A]\nx=1\n");
}

TEST_F(IniFileTest, FailedRewriteKeepsTheOldContents) {
    // The rewrite fails part-way (a file size limit, as a full disk would):
    // the write fails as a whole and the settings file stays untouched.
    Write("[A]\nx=1\n");
    struct sigaction ignore {
    }, previous{};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, &previous);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limit = saved;
    limit.rlim_cur = 4;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    app::WriteIni("A", "x", "2", file_);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::sigaction(SIGXFSZ, &previous, nullptr);
    EXPECT_EQ(Read(), "[A]\nx=1\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
}

TEST_F(IniFileTest, FileInAMissingFolderIsNotCreated) {
    const std::string missing = (folder_ / "no-such-folder" / "x.ini").string();
    app::WriteIni("A", "x", "1", missing);
    EXPECT_FALSE(fs::exists(missing));
    EXPECT_EQ(app::ReadIni("A", "x", missing, "d"), "d");
}

TEST_F(IniFileTest, AFolderInPlaceOfTheFileReadsDefaultsAndSurvivesWrites) {
    fs::create_directories(file_);
    app::WriteIni("A", "x", "1", file_);
    EXPECT_TRUE(fs::is_directory(file_));
    EXPECT_EQ(app::ReadIni("A", "x", file_, "d"), "d");
}

}  // namespace

namespace {

// Hostile things at the settings paths: none may block, exhaust memory or be
// written through. A FIFO would block a plain open for ever, /dev/zero would
// be read without end; both give the defaults and stay as they are.
TEST_F(IniFileTest, NonRegularFilesGiveDefaultsAndAreLeftAlone) {
    const auto makeFifo = [](const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); };
    const auto linkToZero = [](const std::string& path) { fs::create_symlink("/dev/zero", path); };
    const auto oversized = [](const std::string& path) {
        std::ofstream out(path, std::ios::binary);
        out << "[A]\nx=1\n" << std::string(app::kIniMaxFileSize, ';');
    };
    const std::function<void(const std::string&)> makers[] = {makeFifo, linkToZero, oversized};
    for (const auto& make : makers) {
        fs::remove(file_);
        make(file_);
        const auto before = fs::symlink_status(file_).type();
        EXPECT_EQ(app::ReadIni("A", "x", file_, "d"), "d");
        app::WriteIni("A", "x", "2", file_);
        EXPECT_EQ(fs::symlink_status(file_).type(), before);
        EXPECT_FALSE(fs::exists(file_ + ".tmp"));
    }
}

// A link planted where an older rewrite put its temporary file is never
// written through: the rewrite makes its temporary file under a fresh name.
TEST_F(IniFileTest, TheRewriteNeverFollowsALinkAtTheTemporaryName) {
    const std::string victim = (folder_ / "victim").string();
    {
        std::ofstream out(victim);
        out << "precious";
    }
    Write("[A]\nx=1\n");
    fs::create_symlink(victim, file_ + ".tmp");
    app::WriteIni("A", "x", "2", file_);
    EXPECT_EQ(Read(), "[A]\nx=2\n");
    std::ifstream in(victim);
    std::string kept;
    in >> kept;
    EXPECT_EQ(kept, "precious");
    EXPECT_EQ(fs::read_symlink(file_ + ".tmp"), victim);
}

// A byte-order mark is no part of the first line: the section is found, no
// second one is added, and the mark is kept.
TEST_F(IniFileTest, AByteOrderMarkIsReadAsIfItWereNotThere) {
    Write("\xEF\xBB\xBF[Korvel Annotarix]\r\nSaveAs=.bmp\r\n");
    EXPECT_EQ(app::ReadIni("Korvel Annotarix", "SaveAs", file_, ".jpg"), ".bmp");
    app::WriteIni("Korvel Annotarix", "SaveAs", ".jpg", file_);
    EXPECT_EQ(Read(), "\xEF\xBB\xBF[Korvel Annotarix]\r\nSaveAs=.jpg\r\n");
}

}  // namespace
