#include "widgets/InputHold.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QTimer>
#include <QWidget>
#include <utility>

namespace {

bool IsInput(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
            return true;
        default:
            return false;
    }
}

// The widget an object belongs to: itself, or the widget that owns it (a
// shortcut's parent).
const QWidget* WidgetOf(const QObject* object) {
    while (object != nullptr && !object->isWidgetType()) object = object->parent();
    return static_cast<const QWidget*>(object);
}

bool IsSelfOrAncestor(const QObject* receiver, const QObject* target) {
    for (const QObject* at = target; at != nullptr; at = at->parent()) {
        if (at == receiver) return true;
    }
    return false;
}

}  // namespace

InputHold::InputHold(QWidget& window, std::function<bool()> busy) : window_(window), busy_(std::move(busy)) {
    if (QCoreApplication::instance() != nullptr) QCoreApplication::instance()->installEventFilter(this);
}

InputHold::~InputHold() = default;

bool InputHold::eventFilter(QObject* receiver, QEvent* event) {
    const QEvent::Type type = event->type();
    const bool input = IsInput(type);
    const bool close = type == QEvent::Close && receiver == &window_;
    if (!input && !close) return false;
    // The event handed on now passes, on its way up through the parents too.
    if (replayType_ == type && !busy_() && IsSelfOrAncestor(receiver, replayReceiver_)) return false;
    // Once the window has held input, everything meant for it queues behind
    // that input until all of it has been handed on.
    if (held_.empty() && !busy_()) return false;
    // Events reach the window object first and its controls after; the hold
    // takes each at the control, where the window has already chosen it.
    const QWidget* widget = WidgetOf(receiver);
    if (widget == nullptr || (input && !receiver->isWidgetType() && type != QEvent::Shortcut)) return false;
    if (widget->window() != &window_) return false;
    if (close) {
        // Refused for now: the window stays, and closes when its turn comes.
        event->ignore();
        held_.push_back({receiver, nullptr});
    } else {
        held_.push_back({receiver, std::unique_ptr<QEvent>(event->clone())});
        event->accept();  // handled here: not passed on to the parents
    }
    ReleaseWhenIdle();
    return true;
}

void InputHold::ReleaseWhenIdle() {
    if (releasePosted_ || held_.empty()) return;
    releasePosted_ = true;
    QTimer::singleShot(0, this, [this] {
        releasePosted_ = false;
        Release();
    });
}

void InputHold::Release() {
    if (releasing_) return;  // handing on already, further up the stack
    if (busy_()) {
        // Still taking a picture in: a poll hands the input on once it is
        // there.
        QTimer::singleShot(10, this, [this] { ReleaseWhenIdle(); });
        return;
    }
    releasing_ = true;
    // What an event starts (a paste) may take a picture in again: the events
    // after it then wait until that is done, and input that comes meanwhile
    // queues behind them.
    while (!held_.empty() && !busy_()) {
        HeldEvent next = std::move(held_.front());
        held_.pop_front();
        if (!next.receiver) continue;
        // A key goes where the keyboard is now, as a key typed now would (the
        // picture's arrival may have moved the focus); a click goes to the
        // control it was made on.
        const QEvent::Type type = next.event ? next.event->type() : QEvent::Close;
        if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
            QWidget* focus = QApplication::focusWidget();
            next.receiver = focus != nullptr && focus->window() == &window_ ? focus : &window_;
        }
        replayReceiver_ = next.receiver;
        replayType_ = type;
        if (next.event) {
            QCoreApplication::sendEvent(next.receiver, next.event.get());
        } else if (auto* window = qobject_cast<QWidget*>(next.receiver.data())) {
            window->close();
        }
        replayType_ = QEvent::None;
        replayReceiver_ = nullptr;
    }
    releasing_ = false;
    ReleaseWhenIdle();
}
