// The Qt-free basics: rounding half to even and writing files so that they are
// never half-written.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include "core/AtomicWrite.h"
#include "core/Rounding.h"

namespace fs = std::filesystem;

namespace {

TEST(Rounding, HalvesGoToTheEvenNeighbourAndTheEndsSaturate) {
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    const struct {
        double in;
        std::int32_t out;
    } cases[] = {{0.5, 0},
                 {1.5, 2},
                 {2.5, 2},
                 {-0.5, 0},
                 {-1.5, -2},
                 {-2.5, -2},
                 {2.4999, 2},
                 {2.5001, 3},
                 {-2.6, -3},
                 {1e12, kMax},
                 {-1e12, kMin},
                 {2147483647.4, kMax},
                 {std::numeric_limits<double>::quiet_NaN(), 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(core::N(c.in), c.out) << c.in;
        if (!std::isnan(c.in) && std::abs(c.in) < 1e9) {
            EXPECT_EQ(core::RoundHalfEven(c.in), c.out) << c.in;
        }
    }
}

class AtomicWrite : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ =
            fs::temp_directory_path() / ("korvel-atomic-" + std::to_string(::getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        file_ = (folder_ / "out.bin").string();
    }
    void TearDown() override { fs::remove_all(folder_); }

    int Write(const std::string& content, core::FileWriteMode mode) {
        return core::WriteFileAtomically(
            file_, mode, [&](core::FileSink& out) { return out.Write(content.data(), content.size()); });
    }
    std::string Read() const {
        std::ifstream in(file_, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::size_t Entries() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(folder_), fs::directory_iterator()));
    }

    fs::path folder_;
    std::string file_;
};

TEST_F(AtomicWrite, NewFileOnlyNeverReplacesAndReplaceDoes) {
    EXPECT_EQ(Write("first", core::FileWriteMode::NewFileOnly), 0);
    EXPECT_EQ(Write("second", core::FileWriteMode::NewFileOnly), EEXIST);
    EXPECT_EQ(Read(), "first");
    EXPECT_EQ(Write("third", core::FileWriteMode::Replace), 0);
    EXPECT_EQ(Read(), "third");
    EXPECT_EQ(Entries(), 1u);  // no temporary file left

    // A dangling link counts as taken for a new file.
    fs::create_symlink(folder_ / "nowhere", folder_ / "link.bin");
    file_ = (folder_ / "link.bin").string();
    EXPECT_EQ(Write("x", core::FileWriteMode::NewFileOnly), EEXIST);
    EXPECT_FALSE(fs::exists(folder_ / "nowhere"));
}

TEST_F(AtomicWrite, NewFileGetsTheUsualPermissions) {
    const mode_t old = ::umask(022);
    EXPECT_EQ(Write("x", core::FileWriteMode::NewFileOnly), 0);
    ::umask(old);
    struct stat info {};
    ASSERT_EQ(::stat(file_.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
}

TEST_F(AtomicWrite, FailuresLeaveTheOldFileAndNoTemporary) {
    ASSERT_EQ(Write("old", core::FileWriteMode::Replace), 0);
    // The filling function gives up.
    EXPECT_EQ(
        core::WriteFileAtomically(file_, core::FileWriteMode::Replace, [](core::FileSink&) { return false; }),
        EIO);
    EXPECT_EQ(Read(), "old");
    EXPECT_EQ(Entries(), 1u);

    // A write fails part-way (file size limit, like a full disk).
    struct sigaction ignore {
    }, previous{};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, &previous);
    rlimit limit{}, saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    limit = saved;
    limit.rlim_cur = 4;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const int replaceError = Write("longer than four bytes", core::FileWriteMode::Replace);
    const std::string old = file_;
    file_ = (folder_ / "new.bin").string();
    const int newFileError = Write("longer than four bytes", core::FileWriteMode::NewFileOnly);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::sigaction(SIGXFSZ, &previous, nullptr);
    EXPECT_EQ(replaceError, EFBIG);
    EXPECT_EQ(newFileError, EFBIG);
    file_ = old;
    EXPECT_EQ(Read(), "old");
    EXPECT_EQ(Entries(), 1u);

    // The folder is missing.
    file_ = (folder_ / "missing" / "out.bin").string();
    EXPECT_EQ(Write("x", core::FileWriteMode::NewFileOnly), ENOENT);
}

}  // namespace
