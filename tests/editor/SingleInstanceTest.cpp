// The editor binary itself: one instance per user, a lock that survives a
// crash, and a copy that runs alone in another folder.
#include <QElapsedTimer>
#include <QProcess>
#include <csignal>

#include "support/ProgramSandbox.h"

using namespace test_support;

namespace {

class SingleInstance : public SandboxedEditorTest {
  protected:
    void SetUp() override {
        SandboxedEditorTest::SetUp();
        const QString built = QDir::current().absoluteFilePath("korvel-annotarix");
        if (!QFileInfo::exists(built))
            GTEST_SKIP() << "editor binary not built in " << QDir::currentPath().toStdString();
        binary = folder + "/korvel-annotarix";
        ASSERT_TRUE(QFile::copy(built, binary));
        QDir().mkpath(folder + "/runtime");
        // Qt takes a runtime folder only when it is private; otherwise it
        // falls back to a shared one, where any other running copy would
        // hold the lock.
        QFile::setPermissions(folder + "/runtime",
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("XDG_RUNTIME_DIR", folder + "/runtime");
    }
    void Start(QProcess& process) {
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(folder);
        process.start(binary, {});
        ASSERT_TRUE(process.waitForStarted());
    }
    // True when the process is still running after `ms` milliseconds.
    static bool StillRunningAfter(QProcess& process, int ms) { return !process.waitForFinished(ms); }

    QString binary;
    QProcessEnvironment environment;
};

TEST_F(SingleInstance, SecondStartEndsAtOnceAndAKilledFirstLeavesNoStaleLock) {
    QProcess first;
    Start(first);
    ASSERT_TRUE(StillRunningAfter(first, 1500));

    QProcess second;
    Start(second);
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(second.waitForFinished(5000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_LT(timer.elapsed(), 3000);
    EXPECT_TRUE(second.readAllStandardOutput().isEmpty());

    ::kill(static_cast<pid_t>(first.processId()), SIGKILL);
    first.waitForFinished(3000);

    QProcess third;
    Start(third);
    EXPECT_TRUE(StillRunningAfter(third, 1500)) << "the lock of the killed instance must not block";
    third.kill();
    third.waitForFinished(3000);
}

}  // namespace
