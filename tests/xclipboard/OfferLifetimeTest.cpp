// The picture this program offers on the clipboard outlives every request a
// reader has in flight: another program taking the clipboard while a reader
// is being answered must not free what the answer still reads. Runs only on
// a real X display with xclip installed; the rounds stop the encoding for a
// reader at the dangerous moment, the other program copies, then it goes on.
#include <QProcess>
#include <QStandardPaths>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/qt/X11Clipboard.h"
#include "support/ProgramSandbox.h"

#ifdef KORVEL_HAVE_XCB
#include <xcb/xcb.h>
#endif

using namespace test_support;

namespace {

#ifdef KORVEL_HAVE_XCB

// The clipboard's owner as the X server sees it, asked on a connection of
// the test's own (the encoding's thread may not use the program's).
class OwnerProbe {
  public:
    OwnerProbe() : connection_(xcb_connect(nullptr, nullptr)) {
        const char name[] = "CLIPBOARD";
        if (xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
                connection_, xcb_intern_atom(connection_, 0, sizeof name - 1, name), nullptr)) {
            clipboard_ = reply->atom;
            std::free(reply);
        }
    }
    ~OwnerProbe() { xcb_disconnect(connection_); }
    OwnerProbe(const OwnerProbe&) = delete;
    OwnerProbe& operator=(const OwnerProbe&) = delete;

    xcb_window_t Owner() const {
        xcb_get_selection_owner_reply_t* reply = xcb_get_selection_owner_reply(
            connection_, xcb_get_selection_owner(connection_, clipboard_), nullptr);
        const xcb_window_t owner = reply != nullptr ? reply->owner : XCB_NONE;
        std::free(reply);
        return owner;
    }

  private:
    xcb_connection_t* connection_;
    xcb_atom_t clipboard_ = XCB_ATOM_NONE;
};

class OfferLifetime : public SandboxedEditorTest {
  protected:
    void SetUp() override {
        SandboxedEditorTest::SetUp();
        if (!platform::IsX11()) GTEST_SKIP() << "needs an X display";
        xclip = QStandardPaths::findExecutable("xclip");
        if (xclip.isEmpty()) GTEST_SKIP() << "xclip is not installed";
    }
    QString xclip;
};

int Rounds() {
    const int rounds = qEnvironmentVariableIntValue("KORVEL_RACE_ROUNDS");
    return rounds > 0 ? rounds : 500;
}

TEST_F(OfferLifetime, ReaderInFlightWhileAnotherProgramCopiesGetsTheWholeSnapshot) {
    frmCapture& f = MakeForm();
    const QImage picture = Pattern(160, 120, 7);
    f.State().Canvas().SetPicture(picture);
    const OwnerProbe probe;
    // On the encoding's thread: another program copies and the test waits
    // until the server names it as the owner, then a little longer, so that
    // this program's window has taken the notice while the reader waits.
    const std::string copy = "printf other | " + xclip.toStdString() + " -selection clipboard -i";
    std::atomic<int> taken{0};
    f.State().Clipboard().PauseEncodings([&] {
        const xcb_window_t before = probe.Owner();
        if (std::system(copy.c_str()) != 0) return;
        for (int i = 0; i < 400 && probe.Owner() == before; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (probe.Owner() != before) ++taken;
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
    });
    const int rounds = Rounds();
    int whole = 0;
    for (int round = 0; round < rounds; ++round) {
        // A press leaves the undo snapshot on the clipboard.
        QTest::mousePress(&ui->canvasView, Qt::LeftButton, {}, QPoint(5 + round % 50, 5));
        QTest::mouseRelease(&ui->canvasView, Qt::LeftButton, {}, QPoint(5 + round % 50, 5));
        ASSERT_TRUE(platform::ClipboardOwnedHere()) << "round " << round;
        QProcess reader;
        reader.start(xclip, {"-selection", "clipboard", "-t", "image/png", "-o"});
        for (int i = 0; i < 1000 && !reader.waitForFinished(5);) QApplication::processEvents();
        const QImage read = QImage::fromData(reader.readAllStandardOutput(), "PNG");
        if (read.size() == picture.size()) ++whole;
    }
    // Let the last notices reach the window, and the editor go on drawing.
    for (int i = 0; i < 20; ++i) QTest::qWait(5);
    EXPECT_EQ(taken.load(), rounds);
    EXPECT_EQ(whole, rounds);
    EXPECT_FALSE(platform::ClipboardOwnedHere());
    QTest::mousePress(&ui->canvasView, Qt::LeftButton, {}, QPoint(3, 3));
    QTest::mouseRelease(&ui->canvasView, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_TRUE(platform::ClipboardOwnedHere());
}

#endif

}  // namespace
