#include "KeyTyper.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <cstring>
#include <set>
#include <string>

#ifdef KORVEL_HAVE_QTDBUS
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusObjectPath>
#include <QDBusReply>
#endif
#ifdef KORVEL_HAVE_WAYLAND
#include <wayland-client.h>

#include "fake-input-client-protocol.h"
#endif

namespace test_support {

QByteArray RunProgram(const QString& program, const QStringList& arguments, int timeoutMs) {
    QProcess process;
    process.start(program, arguments);
    process.closeWriteChannel();
    const QDeadlineTimer deadline(timeoutMs);
    while (process.state() != QProcess::NotRunning && !deadline.hasExpired()) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        process.waitForFinished(10);
    }
    if (process.state() != QProcess::NotRunning) process.kill();
    return process.readAllStandardOutput();
}

namespace {

constexpr unsigned kEvdevShift = 42;  // KEY_LEFTSHIFT
constexpr unsigned kEvdevEnter = 28;  // KEY_ENTER
constexpr int kKeyGapMs = 15;         // between two keys, so each is its own event

// The evdev key code of an ASCII letter on a US layout (KEY_A = 30, ...), 0 for others.
unsigned EvdevLetter(QChar c) {
    static constexpr unsigned kCodes[26] = {30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,
                                            49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44};
    const char lower = c.toLower().toLatin1();
    return lower >= 'a' && lower <= 'z' ? kCodes[lower - 'a'] : 0;
}

// Keys given as evdev codes, one press and release at a time; the pauses and
// the gaps run the test's events.
class EvdevTyper : public KeyTyper {
  public:
    void Type(std::span<const KeyStep> steps) override {
        for (const KeyStep& step : steps) {
            QTest::qWait(step.pauseMs);
            switch (step.kind) {
                case KeyStep::Return:
                    Tap(kEvdevEnter, false);
                    break;
                case KeyStep::Shift:
                    Tap(kEvdevShift, false);
                    break;
                case KeyStep::Text:
                    for (const QChar c : step.text) {
                        if (const unsigned code = EvdevLetter(c); code != 0) Tap(code, c.isUpper());
                    }
                    break;
            }
        }
    }

  protected:
    virtual void Key(unsigned code, bool pressed) = 0;

  private:
    void Tap(unsigned code, bool shifted) {
        if (shifted && code != kEvdevShift) Key(kEvdevShift, true);
        Key(code, true);
        Key(code, false);
        if (shifted && code != kEvdevShift) Key(kEvdevShift, false);
        QTest::qWait(kKeyGapMs);
    }
};

// wtype: one virtual keyboard for all steps (the first keys of a new one
// would be lost while the compositor announces it), the pauses its own.
class WtypeTyper : public KeyTyper {
  public:
    explicit WtypeTyper(QString program) : program_(std::move(program)) {}
    void Type(std::span<const KeyStep> steps) override {
        QStringList arguments;
        for (const KeyStep& step : steps) {
            if (step.pauseMs > 0) arguments << "-s" << QString::number(step.pauseMs);
            if (step.kind == KeyStep::Return)
                arguments << "-k"
                          << "Return";
            if (step.kind == KeyStep::Shift)
                arguments << "-k"
                          << "Shift_L";
            if (step.kind == KeyStep::Text && !step.text.isEmpty()) arguments << step.text;
        }
        RunProgram(program_, arguments);
    }
    QString Name() const override { return QStringLiteral("wtype"); }

  private:
    QString program_;
};

#ifdef KORVEL_HAVE_QTDBUS

// mutter's remote-desktop session: keys by evdev code, for as long as this
// connection to the session bus lives.
class MutterTyper : public EvdevTyper {
  public:
    static std::unique_ptr<KeyTyper> Start() {
        QDBusConnection bus = QDBusConnection::sessionBus();
        const QString service = QStringLiteral("org.gnome.Mutter.RemoteDesktop");
        if (!bus.isConnected() || !bus.interface()->isServiceRegistered(service)) return nullptr;
        QDBusInterface desktop(service, QStringLiteral("/org/gnome/Mutter/RemoteDesktop"), service, bus);
        const QDBusReply<QDBusObjectPath> path = desktop.call(QStringLiteral("CreateSession"));
        if (!path.isValid()) return nullptr;
        auto typer = std::unique_ptr<MutterTyper>(new MutterTyper(service, path.value().path()));
        if (typer->session_.call(QStringLiteral("Start")).type() == QDBusMessage::ErrorMessage)
            return nullptr;
        // The first keys of a new session can be lost while mutter hands
        // its keyboard to the window: a Shift first.
        typer->Key(kEvdevShift, true);
        typer->Key(kEvdevShift, false);
        QTest::qWait(200);
        return typer;
    }
    ~MutterTyper() override { session_.call(QStringLiteral("Stop")); }
    QString Name() const override { return QStringLiteral("mutter's remote desktop"); }

  protected:
    void Key(unsigned code, bool pressed) override {
        session_.call(QStringLiteral("NotifyKeyboardKeycode"), code, pressed);
    }

  private:
    MutterTyper(const QString& service, const QString& path)
        : session_(service, path, service + QStringLiteral(".Session"), QDBusConnection::sessionBus()) {}
    QDBusInterface session_;
};

#endif

#ifdef KORVEL_HAVE_WAYLAND

struct DisplayClose {
    void operator()(wl_display* display) const { wl_display_disconnect(display); }
};
struct RegistryDestroy {
    void operator()(wl_registry* registry) const { wl_registry_destroy(registry); }
};
struct FakeInputDestroy {
    void operator()(org_kde_kwin_fake_input* input) const { org_kde_kwin_fake_input_destroy(input); }
};
using Display = std::unique_ptr<wl_display, DisplayClose>;

// The names of the compositor's globals, and KWin's fake input when offered.
struct Globals {
    wl_registry* registry = nullptr;
    std::set<std::string> names;
    org_kde_kwin_fake_input* fakeInput = nullptr;
};

void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
    auto& globals = *static_cast<Globals*>(data);
    globals.names.insert(interface);
    if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 4)
        globals.fakeInput = static_cast<org_kde_kwin_fake_input*>(
            wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4));
}
void OnGlobalRemove(void*, wl_registry*, uint32_t) {}
constexpr wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

// KWin's fake input on a connection of its own.
class FakeInputTyper : public EvdevTyper {
  public:
    FakeInputTyper(Display display, org_kde_kwin_fake_input* input)
        : display_(std::move(display)), input_(input) {
        org_kde_kwin_fake_input_authenticate(input_.get(), "korvel tests",
                                             "typing into the editor under test");
        wl_display_roundtrip(display_.get());
    }
    QString Name() const override { return QStringLiteral("KWin's fake input"); }

  protected:
    void Key(unsigned code, bool pressed) override {
        org_kde_kwin_fake_input_keyboard_key(input_.get(), code, pressed ? 1 : 0);
        wl_display_flush(display_.get());
    }

  private:
    Display display_;  // declared first: destroyed last
    std::unique_ptr<org_kde_kwin_fake_input, FakeInputDestroy> input_;
};

#endif

}  // namespace

std::unique_ptr<KeyTyper> KeyTyper::ForCompositor() {
#ifdef KORVEL_HAVE_WAYLAND
    Display display(wl_display_connect(nullptr));
    if (display != nullptr) {
        Globals globals;
        const std::unique_ptr<wl_registry, RegistryDestroy> registry(wl_display_get_registry(display.get()));
        wl_registry_add_listener(registry.get(), &kRegistryListener, &globals);
        wl_display_roundtrip(display.get());
        const QString wtype = QStandardPaths::findExecutable(QStringLiteral("wtype"));
        if (globals.names.count("zwp_virtual_keyboard_manager_v1") != 0 && !wtype.isEmpty()) {
            if (globals.fakeInput != nullptr) org_kde_kwin_fake_input_destroy(globals.fakeInput);
            return std::make_unique<WtypeTyper>(wtype);
        }
        if (globals.fakeInput != nullptr)
            return std::make_unique<FakeInputTyper>(std::move(display), globals.fakeInput);
    }
#endif
#ifdef KORVEL_HAVE_QTDBUS
    return MutterTyper::Start();
#else
    return nullptr;
#endif
}

}  // namespace test_support
