// The picture outlives the editor: handed to a clipboard manager, or served by
// the keeper process. Runs only on a real X display with xclip installed.
#include <QLockFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <csignal>
#include <cstring>
#include <mutex>
#include <thread>

#include "app/ClipboardKeeper.h"
#include "platform/qt/PictureClipboard.h"
#include "platform/qt/X11Clipboard.h"
#include "support/ProgramSandbox.h"

#ifdef KORVEL_HAVE_XCB
#include <xcb/xcb.h>
#endif

using namespace test_support;

namespace {

// True once the process is gone (or only a zombie that nobody reaps is left).
bool ProcessEnded(qint64 pid) {
    if (::kill(static_cast<pid_t>(pid), 0) != 0) return true;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return true;
    const QByteArray text = stat.readAll();
    const qsizetype close = text.lastIndexOf(')');
    return close >= 0 && text.size() > close + 2 && text[close + 2] == 'Z';
}

bool WaitForEnd(qint64 pid) {
    for (int i = 0; i < 1000 && !ProcessEnded(pid); ++i) QTest::qWait(10);
    return ProcessEnded(pid);
}

class KeeperTest : public SandboxedEditorTest {
  protected:
    void SetUp() override {
        SandboxedEditorTest::SetUp();
        if (!platform::IsX11()) GTEST_SKIP() << "needs an X display";
        xclip = QStandardPaths::findExecutable("xclip");
        if (xclip.isEmpty()) GTEST_SKIP() << "xclip is not installed";
    }
    void TearDown() override {
        for (qint64 pid : keepers) {
            if (!ProcessEnded(pid)) ::kill(static_cast<pid_t>(pid), SIGTERM);
        }
        stamp.reset();
        if (other.state() != QProcess::NotRunning) {
            other.kill();
            other.waitForFinished();
        }
        SandboxedEditorTest::TearDown();
    }
    QImage ReadPngWithXclip() {
        QProcess process;
        process.start(xclip, {"-selection", "clipboard", "-t", "image/png", "-o"});
        for (int i = 0; i < 500 && !process.waitForFinished(10);) QApplication::processEvents();
        return QImage::fromData(process.readAllStandardOutput(), "PNG");
    }
    // Another program copies text and keeps serving it.
    void AnotherProgramCopies() {
        other.start(xclip, {"-selection", "clipboard", "-quiet", "-i"});
        other.write("text of another program");
        other.closeWriteChannel();
    }
    // Writes like the editor after a click. Qt stamps a write with the server
    // time of the last event it saw; a test has no clicks, and an older time
    // than a keeper's own write would leave the clipboard with the keeper.
    void PutPicture(const QImage& picture) {
        if (!stamp) {
            stamp = std::make_unique<QWidget>();
            stamp->show();
        }
        stamp->setWindowTitle(QString::number(++stamps));  // a property change brings the server time
        QTest::qWait(50);
        platform::PutPictureOnClipboard(picture, platform::ClipboardUse::Copy);
    }
    qint64 StartKeeper(const QImage& picture) {
        PutPicture(picture);
        const qint64 pid = app::StartClipboardKeeper(picture, QStringLiteral(KORVEL_BINARY), 10000);
        if (pid != 0) keepers.push_back(pid);
        return pid;
    }
    QString xclip;
    QProcess other;
    std::vector<qint64> keepers;
    std::unique_ptr<QWidget> stamp;
    int stamps = 0;
};

TEST_F(KeeperTest, ACopiedPictureIsServedByOneKeeperUntilAnotherProgramCopies) {
    const qint64 first = StartKeeper(Pattern(64, 48, 6));
    ASSERT_NE(first, 0);
    EXPECT_TRUE(SamePixels(ReadPngWithXclip(), Pattern(64, 48, 6)));

    // The keeper never holds the single-instance lock: a new editor starts.
    QString lockFolder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (lockFolder.isEmpty()) lockFolder = QDir::tempPath();
    QLockFile lock(lockFolder + "/korvel-annotarix.lock");
    EXPECT_TRUE(lock.tryLock(0));
    lock.unlock();

    // A copy in an editor (here: a second keeper's picture) ends the first keeper.
    const qint64 second = StartKeeper(Pattern(32, 20, 1));
    ASSERT_NE(second, 0);
    EXPECT_TRUE(WaitForEnd(first));
    EXPECT_TRUE(SamePixels(ReadPngWithXclip(), Pattern(32, 20, 1)));

    AnotherProgramCopies();
    EXPECT_TRUE(WaitForEnd(second));
    EXPECT_FALSE(ProcessEnded(other.processId()));
}

TEST_F(KeeperTest, AKeeperStartedWithAnUnreadableFileEndsAtOnce) {
    QProcess keeper;
    keeper.start(QStringLiteral(KORVEL_BINARY), {app::kKeepClipboardArgument, folder + "/missing"});
    ASSERT_TRUE(keeper.waitForFinished(10000));
    EXPECT_NE(keeper.exitCode(), 0);
}

#ifdef KORVEL_HAVE_XCB

// A clipboard manager on a connection of its own: it owns CLIPBOARD_MANAGER
// and, when it answers, saves the image/png target on SAVE_TARGETS as an ICCCM
// manager does, then owns the clipboard itself. One that reads (as a clipboard
// history on the manager's window does) asks for the clipboard's targets again
// and again and never answers SAVE_TARGETS.
class FakeManager {
  public:
    enum Mode { kSilent, kAnswers, kReadsNeverAnswers };
    explicit FakeManager(Mode mode) : answers_(mode == kAnswers), reads_(mode == kReadsNeverAnswers) {
        connection_ = xcb_connect(nullptr, nullptr);
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
        window_ = xcb_generate_id(connection_);
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window_, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        managerAtom_ = Atom("CLIPBOARD_MANAGER");
        clipboardAtom_ = Atom("CLIPBOARD");
        targetsAtom_ = Atom("TARGETS");
        pngAtom_ = Atom("image/png");
        xcb_set_selection_owner(connection_, window_, managerAtom_, XCB_CURRENT_TIME);
        if (reads_) ReadTargets();
        xcb_flush(connection_);
        thread_ = std::thread([this] { Run(); });
    }
    ~FakeManager() {
        stop_ = true;
        thread_.join();
        xcb_destroy_window(connection_, window_);
        xcb_disconnect(connection_);
    }
    QByteArray png;                    // what it saved
    std::vector<std::string> targets;  // the targets offered, in order
    std::atomic<bool> finished = false;
    std::atomic<int> saveRequests = 0;  // SAVE_TARGETS requests received
    std::atomic<int> reads = 0;         // answers to its reads of the targets
    // The windows that asked for SAVE_TARGETS.
    std::vector<xcb_window_t> SaveRequestors() {
        const std::lock_guard lock(mutex_);
        return saveRequestors_;
    }

  private:
    void ReadTargets() {
        xcb_convert_selection(connection_, window_, clipboardAtom_, targetsAtom_, targetsAtom_,
                              XCB_CURRENT_TIME);
    }
    xcb_atom_t Atom(const char* name) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            connection_, xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
            nullptr);
        const xcb_atom_t atom = reply->atom;
        std::free(reply);
        return atom;
    }
    std::string AtomName(xcb_atom_t atom) {
        xcb_get_atom_name_reply_t* reply =
            xcb_get_atom_name_reply(connection_, xcb_get_atom_name(connection_, atom), nullptr);
        std::string name(xcb_get_atom_name_name(reply),
                         static_cast<std::size_t>(xcb_get_atom_name_name_length(reply)));
        std::free(reply);
        return name;
    }
    QByteArray ReadProperty(xcb_atom_t property) {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            connection_,
            xcb_get_property(connection_, 1, window_, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 24),
            nullptr);
        QByteArray bytes(static_cast<const char*>(xcb_get_property_value(reply)),
                         xcb_get_property_value_length(reply));
        std::free(reply);
        return bytes;
    }
    void Run() {
        xcb_window_t requestor = XCB_NONE;
        xcb_atom_t property = XCB_NONE;
        while (!stop_) {
            xcb_generic_event_t* event = xcb_poll_for_event(connection_);
            if (event == nullptr) {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                continue;
            }
            const int type = event->response_type & 0x7F;
            if (type == XCB_SELECTION_REQUEST) {
                const auto* request = reinterpret_cast<xcb_selection_request_event_t*>(event);
                if (request->selection == managerAtom_) {
                    ++saveRequests;
                    const std::lock_guard lock(mutex_);
                    saveRequestors_.push_back(request->requestor);
                }
                if (answers_ && request->selection == managerAtom_ && requestor == XCB_NONE) {
                    requestor = request->requestor;
                    property = request->property;
                    xcb_convert_selection(connection_, window_, clipboardAtom_, targetsAtom_, targetsAtom_,
                                          XCB_CURRENT_TIME);
                    xcb_flush(connection_);
                }
            } else if (type == XCB_SELECTION_NOTIFY) {
                const auto* notify = reinterpret_cast<xcb_selection_notify_event_t*>(event);
                if (reads_ && notify->target == targetsAtom_) {
                    ++reads;
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                    ReadTargets();
                    xcb_flush(connection_);
                } else if (notify->target == targetsAtom_) {
                    const QByteArray list = ReadProperty(targetsAtom_);
                    const auto* atoms = reinterpret_cast<const xcb_atom_t*>(list.constData());
                    for (qsizetype i = 0; i < list.size() / 4; ++i) targets.push_back(AtomName(atoms[i]));
                    xcb_convert_selection(connection_, window_, clipboardAtom_, pngAtom_, pngAtom_,
                                          XCB_CURRENT_TIME);
                    xcb_flush(connection_);
                } else if (notify->target == pngAtom_) {
                    png = ReadProperty(pngAtom_);
                    // Set before the answer goes out: the editor may go on the
                    // moment it arrives.
                    finished = true;
                    xcb_set_selection_owner(connection_, window_, clipboardAtom_, XCB_CURRENT_TIME);
                    xcb_selection_notify_event_t done{};
                    done.response_type = XCB_SELECTION_NOTIFY;
                    done.requestor = requestor;
                    done.selection = managerAtom_;
                    done.target = Atom("SAVE_TARGETS");
                    done.property = property;
                    xcb_send_event(connection_, 0, requestor, XCB_EVENT_MASK_NO_EVENT,
                                   reinterpret_cast<const char*>(&done));
                    xcb_flush(connection_);
                }
            }
            std::free(event);
        }
    }

    bool answers_;
    bool reads_;
    std::mutex mutex_;
    std::vector<xcb_window_t> saveRequestors_;
    xcb_connection_t* connection_ = nullptr;
    xcb_window_t window_ = XCB_NONE;
    xcb_atom_t managerAtom_ = XCB_NONE, clipboardAtom_ = XCB_NONE, targetsAtom_ = XCB_NONE,
               pngAtom_ = XCB_NONE;
    std::atomic<bool> stop_ = false;
    std::thread thread_;
};

TEST_F(KeeperTest, AClipboardManagerTakesThePictureAsPngOfferedFirst) {
    FakeManager manager(FakeManager::kAnswers);
    ASSERT_TRUE(platform::ClipboardManagerRunning());
    PutPicture(Pattern(80, 60, 3));
    EXPECT_TRUE(platform::HandClipboardToManager(10000));
    ASSERT_TRUE(manager.finished);
    EXPECT_TRUE(SamePixels(QImage::fromData(manager.png, "PNG"), Pattern(80, 60, 3)));
    ASSERT_GE(manager.targets.size(), 2u);
    EXPECT_EQ(manager.targets[0], "image/png");
    EXPECT_EQ(manager.targets[1], "image/bmp");
    EXPECT_NE(platform::ClipboardOwnerWindow(), 0u);
}

TEST_F(KeeperTest, AManagerThatNeverAnswersIsNotTakenForOneThatSaved) {
    FakeManager manager(FakeManager::kSilent);
    PutPicture(Pattern(20, 20, 1));
    EXPECT_FALSE(platform::HandClipboardToManager(10000));
    EXPECT_TRUE(QGuiApplication::clipboard()->ownsClipboard());
}

// Another program takes the clipboard and lets it go again at once (as a
// program that copies and quits does): the clipboard then has no owner.
void AnotherProgramCopiesAndQuits() {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_window_t window = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_intern_atom_reply_t* clipboard =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, 9, "CLIPBOARD"), nullptr);
    xcb_set_selection_owner(connection, window, clipboard->atom, XCB_CURRENT_TIME);
    xcb_set_selection_owner(connection, XCB_NONE, clipboard->atom, XCB_CURRENT_TIME);
    std::free(clipboard);
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    xcb_disconnect(connection);
}

// A keeper that has lost the clipboard ends at once, whether the new owner
// keeps it or not: it asks a running manager to save the picture only while
// the clipboard is its own (once, on taking over), never afterwards.
TEST_F(KeeperTest, AKeeperThatLostTheClipboardEndsWithoutAskingTheManager) {
    for (const bool newOwnerQuits : {false, true}) {
        SCOPED_TRACE(newOwnerQuits ? "the new owner quits" : "the new owner keeps serving");
        FakeManager manager(FakeManager::kSilent);
        const qint64 keeper = StartKeeper(Pattern(40, 30, 2));
        ASSERT_NE(keeper, 0);
        if (newOwnerQuits) {
            AnotherProgramCopiesAndQuits();
        } else {
            AnotherProgramCopies();
        }
        EXPECT_TRUE(WaitForEnd(keeper));
        EXPECT_LE(manager.saveRequests, 1);
    }
}

// The keeper hands a copied picture to a manager that takes SAVE_TARGETS and
// then ends: the manager keeps it from there.
TEST_F(KeeperTest, AKeeperHandsThePictureToAManagerAndEnds) {
    FakeManager manager(FakeManager::kAnswers);
    const qint64 keeper = StartKeeper(Pattern(50, 40, 7));
    ASSERT_NE(keeper, 0);
    EXPECT_TRUE(WaitForEnd(keeper));
    ASSERT_TRUE(manager.finished);
    EXPECT_TRUE(SamePixels(QImage::fromData(manager.png, "PNG"), Pattern(50, 40, 7)));
}

// The keepers running now (the editor's close starts them detached).
std::vector<qint64> RunningKeepers() {
    std::vector<qint64> pids;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(entry));
        if (cmdline.open(QIODevice::ReadOnly) && cmdline.readAll().contains(app::kKeepClipboardArgument) &&
            !ProcessEnded(entry.toLongLong()))
            pids.push_back(entry.toLongLong());
    }
    return pids;
}

// A manager that reads the clipboard again and again (as a clipboard history
// on the manager's own window does) but never answers SAVE_TARGETS, while the
// editor's event loop never rests: the hand-over of an undo snapshot ends by
// its limit, and the close never waits on the manager for a copied picture,
// which a keeper serves on.
TEST_F(KeeperTest, AManagerThatReadsButNeverAnswersHoldsUpNoClose) {
    FakeManager manager(FakeManager::kReadsNeverAnswers);
    QTimer busy;
    QObject::connect(&busy, &QTimer::timeout, [] { QThread::usleep(2000); });
    busy.start(0);

    PutPicture(Pattern(20, 20, 1));
    const int readsBefore = manager.reads;
    EXPECT_FALSE(platform::HandClipboardToManager(400));
    EXPECT_GT(manager.reads, readsBefore);  // it kept reading meanwhile
    EXPECT_EQ(manager.saveRequests, 1);

    PutPicture(Pattern(30, 20, 5));
    const std::uint32_t editorWindow = platform::ClipboardOwnerWindow();
    EXPECT_TRUE(app::KeepClipboardAtExit(QStringLiteral(KORVEL_BINARY)));
    busy.stop();
    const auto started = RunningKeepers();
    ASSERT_EQ(started.size(), 1u);
    keepers.push_back(started[0]);
    EXPECT_NE(platform::ClipboardOwnerWindow(), editorWindow);
    EXPECT_TRUE(SamePixels(ReadPngWithXclip(), Pattern(30, 20, 5)));
    const auto requestors = manager.SaveRequestors();
    EXPECT_EQ(std::count(requestors.begin(), requestors.end(), editorWindow), 1);  // the snapshot's only

    AnotherProgramCopies();
    EXPECT_TRUE(WaitForEnd(started[0]));
}

// The editor ends after another program replaced its copy and quit, while Qt
// still counts the clipboard as the editor's: the old picture is not brought
// back over the other program's copy, no manager is asked to save it, and
// Qt's teardown (which would wait seconds for the manager) is skipped while
// Qt still counts the clipboard as ours.
TEST_F(KeeperTest, AtTheEndACopyReplacedByAnotherProgramIsNeitherKeptNorHandedOn) {
    FakeManager manager(FakeManager::kSilent);
    PutPicture(Pattern(30, 20, 4));
    EXPECT_TRUE(platform::ClipboardOwnedHere());
    AnotherProgramCopiesAndQuits();
    QTest::qWait(100);
    EXPECT_FALSE(platform::ClipboardOwnedHere());
    const bool qtStillCountsItOurs = QGuiApplication::clipboard()->ownsClipboard();
    EXPECT_EQ(app::KeepClipboardAtExit(QStringLiteral(KORVEL_BINARY)), qtStillCountsItOurs);
    EXPECT_EQ(platform::ClipboardOwnerWindow(), 0u);
    EXPECT_EQ(manager.saveRequests, 0);
}

#endif

}  // namespace
