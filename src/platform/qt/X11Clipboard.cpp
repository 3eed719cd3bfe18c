#include "platform/qt/X11Clipboard.h"

#include <QAbstractNativeEventFilter>
#include <QClipboard>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>

#ifdef KORVEL_HAVE_XCB
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#ifdef KORVEL_HAVE_XCB_XFIXES
#include <xcb/xfixes.h>
#endif
#endif

namespace platform {

bool IsX11() {
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

#ifdef KORVEL_HAVE_XCB

namespace {

constexpr int kFirstRequestMs = 300;

xcb_connection_t* Connection() {
    if (!IsX11()) return nullptr;
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
}

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
            nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

xcb_window_t SelectionOwner(xcb_connection_t* connection, xcb_atom_t selection) {
    const std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> reply(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection), nullptr),
        &std::free);
    return reply ? reply->owner : XCB_NONE;
}

// Watches for the manager's requests for the clipboard contents and for its
// answer, a SelectionNotify sent to the requesting window.
class SaveTargetsAnswer : public QAbstractNativeEventFilter {
  public:
    SaveTargetsAnswer(xcb_window_t window, xcb_window_t manager) : window_(window), manager_(manager) {}
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* /*result*/) override {
        if (eventType != "xcb_generic_event_t") return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        const int type = event->response_type & 0x7F;
        if (type == XCB_SELECTION_REQUEST) {
            // The manager has started to fetch the targets. Requests of other
            // windows (a clipboard history reading the latest copy) do not
            // count; a history on the manager's own window cannot be told
            // apart, which is why the whole wait has a limit of its own.
            const auto* request = static_cast<const xcb_selection_request_event_t*>(message);
            if (request->requestor == manager_) working_ = true;
            return false;  // Qt answers the request
        }
        if (type != XCB_SELECTION_NOTIFY) return false;
        const auto* notify = static_cast<const xcb_selection_notify_event_t*>(message);
        if (notify->requestor != window_) return false;
        answered_ = true;
        saved_ = notify->property != XCB_ATOM_NONE;
        return true;
    }
    // The manager has asked for the contents.
    bool Working() const { return working_; }
    // The answer has come; Saved() says whether the manager took the contents.
    bool Answered() const { return answered_; }
    bool Saved() const { return saved_; }

  private:
    xcb_window_t window_;
    xcb_window_t manager_;
    bool working_ = false;
    bool answered_ = false;
    bool saved_ = false;
};

using ConnectionPtr = std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)>;

}  // namespace

std::uint32_t ClipboardOwnerWindow() {
    xcb_connection_t* connection = Connection();
    if (connection == nullptr) return 0;
    return SelectionOwner(connection, Atom(connection, "CLIPBOARD"));
}

bool ClipboardOwnedHere() {
    xcb_connection_t* connection = Connection();
    if (connection == nullptr) return QGuiApplication::clipboard()->ownsClipboard();
    // Every window this connection creates carries the connection's resource
    // id base in its high bits.
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const xcb_window_t owner = SelectionOwner(connection, Atom(connection, "CLIPBOARD"));
    return owner != XCB_NONE && (owner & ~setup->resource_id_mask) == setup->resource_id_base;
}

bool ClipboardManagerRunning() {
    xcb_connection_t* connection = Connection();
    if (connection == nullptr) return false;
    return SelectionOwner(connection, Atom(connection, "CLIPBOARD_MANAGER")) != XCB_NONE;
}

bool HandClipboardToManager(int timeoutMs) {
    xcb_connection_t* connection = Connection();
    if (connection == nullptr) return false;
    const xcb_atom_t manager = Atom(connection, "CLIPBOARD_MANAGER");
    const xcb_window_t managerWindow = SelectionOwner(connection, manager);
    if (managerWindow == XCB_NONE) return false;
    const xcb_atom_t saveTargets = Atom(connection, "SAVE_TARGETS");
    const xcb_atom_t property = Atom(connection, "KORVEL_SAVE_TARGETS");

    // The request comes from the window that owns the clipboard (Qt's
    // selection owner window): managers take SAVE_TARGETS only from the
    // clipboard's owner. Its property is cleared, so the manager asks for
    // the list of targets and saves all of them.
    const xcb_window_t window = SelectionOwner(connection, Atom(connection, "CLIPBOARD"));
    if (window == XCB_NONE) return false;
    xcb_delete_property(connection, window, property);
    SaveTargetsAnswer answer(window, managerWindow);
    QCoreApplication::instance()->installNativeEventFilter(&answer);
    xcb_convert_selection(connection, window, manager, saveTargets, property, XCB_CURRENT_TIME);
    xcb_flush(connection);
    // A manager that takes SAVE_TARGETS asks for the list of targets at once;
    // one that does not (xfce4-clipman 1.6 owns the selection but never
    // answers) would otherwise hold up the close for the whole time. Both
    // limits are checked after every round of events: a stream of events
    // cannot stretch the wait, and the timers only wake an idle loop.
    const QDeadlineTimer deadline(std::max(0, timeoutMs));
    const QDeadlineTimer firstRequest(std::clamp(timeoutMs, 0, kFirstRequestMs));
    QObject waker;
    QTimer::singleShot(static_cast<int>(firstRequest.remainingTime()), &waker, [] {});
    QTimer::singleShot(static_cast<int>(deadline.remainingTime()), &waker, [] {});
    while (!answer.Answered() && !deadline.hasExpired() && (answer.Working() || !firstRequest.hasExpired())) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
    }
    QCoreApplication::instance()->removeNativeEventFilter(&answer);
    return answer.Saved();
}

// Keeps each SelectionClear that arrives, instead of letting Qt handle it.
struct SelectionLossHeld::Filter : QAbstractNativeEventFilter {
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* /*result*/) override {
        if (eventType != "xcb_generic_event_t") return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7F) != XCB_SELECTION_CLEAR) return false;
        held.push_back(*static_cast<const xcb_selection_clear_event_t*>(message));
        return true;
    }
    std::vector<xcb_selection_clear_event_t> held;
};

SelectionLossHeld::SelectionLossHeld() {
    if (Connection() == nullptr) return;
    filter_ = std::make_unique<Filter>();
    QCoreApplication::instance()->installNativeEventFilter(filter_.get());
}

SelectionLossHeld::~SelectionLossHeld() {
    if (!filter_) return;
    QCoreApplication::instance()->removeNativeEventFilter(filter_.get());
    xcb_connection_t* connection = Connection();
    if (connection == nullptr || filter_->held.empty()) return;
    // Each notice goes back through the server to the window that lost the
    // selection, as it came: Qt takes it in its next round of events, after
    // the answer in progress has returned (or an enclosing hold keeps it
    // once more). Its time is the original one, so a notice older than a
    // later taking of the selection by this program stays without effect.
    for (xcb_selection_clear_event_t event : filter_->held) {
        event.response_type = XCB_SELECTION_CLEAR;
        xcb_send_event(connection, 0, event.owner, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&event));
    }
    xcb_flush(connection);
}

int SelectionLossHeld::Held() const {
    return filter_ ? static_cast<int>(filter_->held.size()) : 0;
}

bool WatchClipboardOwner(std::uint32_t ownWindow, void (*lost)()) {
#ifdef KORVEL_HAVE_XCB_XFIXES
    if (!IsX11() || lost == nullptr) return false;
    ConnectionPtr watch(xcb_connect(nullptr, nullptr), &xcb_disconnect);
    if (xcb_connection_has_error(watch.get()) != 0) return false;
    const xcb_query_extension_reply_t* xfixes = xcb_get_extension_data(watch.get(), &xcb_xfixes_id);
    if (xfixes == nullptr || xfixes->present == 0) return false;
    std::free(
        xcb_xfixes_query_version_reply(watch.get(), xcb_xfixes_query_version(watch.get(), 5, 0), nullptr));
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(watch.get())).data;
    const xcb_atom_t clipboard = Atom(watch.get(), "CLIPBOARD");
    if (screen == nullptr || clipboard == XCB_ATOM_NONE) return false;
    xcb_xfixes_select_selection_input(watch.get(), screen->root, clipboard,
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    // Asked after the notices were chosen, so that no change falls between.
    if (SelectionOwner(watch.get(), clipboard) != ownWindow) return false;
    const std::uint8_t notifyType = xfixes->first_event + XCB_XFIXES_SELECTION_NOTIFY;
    std::thread([watch = std::move(watch), clipboard, notifyType, ownWindow, lost] {
        // Blocks until the server reports something; a broken connection (the
        // X session ended) counts as lost too.
        while (xcb_generic_event_t* event = xcb_wait_for_event(watch.get())) {
            const std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> owned(event, &std::free);
            if ((event->response_type & 0x7F) != notifyType) continue;
            const auto* notify = reinterpret_cast<const xcb_xfixes_selection_notify_event_t*>(event);
            if (notify->selection == clipboard && notify->owner != ownWindow) break;
        }
        lost();
    }).detach();
    return true;
#else
    (void)ownWindow;
    (void)lost;
    return false;
#endif
}

#else

std::uint32_t ClipboardOwnerWindow() {
    return 0;
}

bool ClipboardOwnedHere() {
    return QGuiApplication::clipboard()->ownsClipboard();
}

bool ClipboardManagerRunning() {
    return false;
}

bool HandClipboardToManager(int /*timeoutMs*/) {
    return false;
}

bool WatchClipboardOwner(std::uint32_t /*ownWindow*/, void (* /*lost*/)()) {
    return false;
}

struct SelectionLossHeld::Filter {};

SelectionLossHeld::SelectionLossHeld() = default;

SelectionLossHeld::~SelectionLossHeld() = default;

int SelectionLossHeld::Held() const {
    return 0;
}

#endif

}  // namespace platform
