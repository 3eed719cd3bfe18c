#include "widgets/KeyPreview.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

KeyPreview::KeyPreview(QWidget& window, std::function<void(int, Qt::KeyboardModifiers)> onKeyDown)
    : window_(window), onKeyDown_(std::move(onKeyDown)) {
    if (QCoreApplication::instance() != nullptr) QCoreApplication::instance()->installEventFilter(this);
}

KeyPreview::~KeyPreview() = default;

bool KeyPreview::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !onKeyDown_) return QObject::eventFilter(watched, event);
    // A key press goes first to the focus widget of the active window (or
    // to the window when nothing has the focus) and then, while ignored, to
    // its parents; only that first delivery counts, so a press is seen once.
    QWidget* const focus = QApplication::focusWidget();
    QWidget* const firstReceiver = focus != nullptr ? focus : &window_;
    if (watched == firstReceiver && window_.isActiveWindow() && firstReceiver->window() == &window_) {
        const auto* keyEvent = static_cast<const QKeyEvent*>(event);
        onKeyDown_(keyEvent->key(), keyEvent->modifiers());
    }
    return QObject::eventFilter(watched, event);
}
