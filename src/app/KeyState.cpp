#include "app/KeyState.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>

KeyState::KeyState() {
    if (QCoreApplication::instance() != nullptr) QCoreApplication::instance()->installEventFilter(this);
}

KeyState::~KeyState() = default;

int KeyState::Query(int key) {
    const auto found = keys_.find(key);
    if (found == keys_.end()) return 0;
    Entry& entry = found->second;
    const int result = (entry.down ? 0x8000 : 0) | (entry.pressedSinceQuery ? 1 : 0);
    entry.pressedSinceQuery = false;
    return result;
}

void KeyState::Clear() {
    keys_.clear();
}

bool KeyState::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            const auto* keyEvent = static_cast<const QKeyEvent*>(event);
            const bool press = event->type() == QEvent::KeyPress;
            if (keyEvent->key() != 0 && keyEvent->key() != Qt::Key_unknown && !keyEvent->isAutoRepeat()) {
                Entry& entry = keys_[keyEvent->key()];
                if (press && !entry.down) entry.pressedSinceQuery = true;
                entry.down = press;
            } else if (press && keyEvent->isAutoRepeat()) {
                keys_[keyEvent->key()].down = true;
            }
            // The modifier flags tell whether Ctrl is held even when its own
            // press happened before this program had the keyboard.
            if (keyEvent->key() != Qt::Key_Control) {
                keys_[Qt::Key_Control].down = (keyEvent->modifiers() & Qt::ControlModifier) != 0;
            }
            break;
        }
        case QEvent::ApplicationDeactivate:
            Clear();
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}
