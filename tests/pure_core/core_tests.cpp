// The Qt-free basics: rounding half to even and writing files so that they are
// never half-written.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <set>
#include <sstream>

#include "core/AtomicWrite.h"
#include "core/Rounding.h"
#include "core/TemporaryFiles.h"

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

    int Write(const std::string& content, core::FileWriteMode mode,
              core::Temporaries temporaries = core::Temporaries::UnnamedWhereOffered) {
        return core::WriteFileAtomically(
            file_, mode, [&](core::FileSink& out) { return out.Write(content.data(), content.size()); },
            temporaries);
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

// A writer in another process, as another editor saving on a file system
// without unnamed files: it writes part of the file into its named temporary
// and waits there until told to go on.
class WriterProcess {
  public:
    explicit WriterProcess(const std::string& path) {
        int ready[2], go[2];
        if (::pipe(ready) != 0 || ::pipe(go) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ready[0]);
            ::close(go[1]);
            const int error = core::WriteFileAtomically(
                path, core::FileWriteMode::NewFileOnly,
                [&](core::FileSink& out) {
                    char c = 'r';
                    if (!out.Write("first half ", 11)) return false;
                    // Half written: tell the test, and go on when it says so.
                    if (::write(ready[1], &c, 1) != 1 || ::read(go[0], &c, 1) != 1) return false;
                    return out.Write("second half", 11);
                },
                core::Temporaries::NamedOnly);
            ::_exit(error);
        }
        ::close(ready[1]);
        ::close(go[0]);
        go_ = go[1];
        char c = 0;
        started_ = ::read(ready[0], &c, 1) == 1;
        ::close(ready[0]);
    }
    ~WriterProcess() {
        if (pid_ > 0) Kill();
    }
    bool Started() const { return started_; }
    void Kill() {
        ::kill(pid_, SIGKILL);
        Wait();
    }
    // Lets it finish; its exit status is the write's result.
    int Finish() {
        const char c = 'g';
        // A writer that cannot be told to go on must not hang the test.
        if (::write(go_, &c, 1) != 1) ::kill(pid_, SIGKILL);
        return Wait();
    }

  private:
    int Wait() {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        ::close(go_);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    pid_t pid_ = -1;
    int go_ = -1;
    bool started_ = false;
};

// On a file system without unnamed files (vfat, network shares), saves killed
// half-way leave hidden temporaries; the next write into the folder removes
// them, and nothing else: not a save running meanwhile in another process,
// not files of other names, links or folders.
TEST_F(AtomicWrite, TheNextWriteRemovesLeftoversOfKilledWritersOnly) {
    const auto temporaries = [&] {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_)) {
            const std::string name = entry.path().filename().string();
            if (core::IsTemporaryName(name) && !fs::is_symlink(entry.path()) &&
                fs::is_regular_file(entry.path()))
                names.insert(name);
        }
        return names;
    };
    // Things that look alike but are not a killed writer's temporary.
    const fs::path outside = folder_ / "outside";
    fs::create_directories(outside);
    std::ofstream(outside / "target") << "linked";
    const std::vector<std::string> others{".korvel-abc.part", ".korvel-abcde!.part",
                                          ".korvel-abcdef.part.jpg", "x.korvel-abcdef.part", "Shot.jpg"};
    for (const auto& name : others) std::ofstream(folder_ / name) << name;
    fs::create_directory(folder_ / ".korvel-FOLDER.part");
    fs::create_symlink(outside / "target", folder_ / ".korvel-LINKED.part");

    // One save goes on in another process; three are killed half-way (all
    // started before any is killed: each write cleans the folder first).
    WriterProcess running((folder_ / "running.jpg").string());
    ASSERT_TRUE(running.Started());
    const auto runningTemporary = temporaries();
    ASSERT_EQ(runningTemporary.size(), 1u);
    std::vector<std::unique_ptr<WriterProcess>> killed;
    for (const char* name : {"a.jpg", "b.jpg", "c.bmp"}) {
        killed.push_back(std::make_unique<WriterProcess>((folder_ / name).string()));
        ASSERT_TRUE(killed.back()->Started());
    }
    for (auto& writer : killed) writer->Kill();
    ASSERT_EQ(temporaries().size(), 4u);

    EXPECT_EQ(Write("next save", core::FileWriteMode::NewFileOnly, core::Temporaries::NamedOnly), 0);
    EXPECT_EQ(Read(), "next save");
    // Only the running writer's temporary is left, and it finishes intact.
    const auto left = temporaries();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_TRUE(runningTemporary.count(*left.begin()));
    EXPECT_EQ(running.Finish(), 0);
    std::stringstream finished;
    finished << std::ifstream(folder_ / "running.jpg").rdbuf();
    EXPECT_EQ(finished.str(), "first half second half");
    EXPECT_TRUE(temporaries().empty());
    for (const auto& name : others) {
        std::stringstream text;
        text << std::ifstream(folder_ / name).rdbuf();
        EXPECT_EQ(text.str(), name);
    }
    EXPECT_TRUE(fs::is_directory(folder_ / ".korvel-FOLDER.part"));
    EXPECT_TRUE(fs::is_symlink(folder_ / ".korvel-LINKED.part"));
    EXPECT_TRUE(fs::exists(outside / "target"));
    for (const char* killed : {"a.jpg", "b.jpg", "c.bmp"}) EXPECT_FALSE(fs::exists(folder_ / killed));
}

}  // namespace
