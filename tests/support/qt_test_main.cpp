// Test entry point for tests that need Qt: one QApplication for the whole run.
// Without a display the offscreen platform is used, so the tests run headless
// and also under a real X server.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <cstdlib>

namespace {

// Closing an editor window ends the program's event loop with
// QCoreApplication::exit. Outside a running loop that leaves the application
// quitting, and every later event loop in the same run (a message box's,
// QTest::qWait's) would return at once. Each test starts without it: a short
// run of the application's own loop clears it.
class ClearQuitAfterEachTest : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo&) override {
        QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr && std::getenv("DISPLAY") == nullptr &&
        std::getenv("WAYLAND_DISPLAY") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new ClearQuitAfterEachTest);  // gtest owns it
    return RUN_ALL_TESTS();
}
