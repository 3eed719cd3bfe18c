#include "tools/PopupKeys.h"

#include <QKeyEvent>

namespace tools {

PopupKey PopupKeyOf(const QKeyEvent& key) {
    switch (key.key()) {
        case Qt::Key_Up:
        case Qt::Key_Left:
            return PopupKey::Previous;
        case Qt::Key_Down:
        case Qt::Key_Right:
            return PopupKey::Next;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            return PopupKey::Choose;
        case Qt::Key_Escape:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return PopupKey::Close;
        default:
            return PopupKey::None;
    }
}

int ItemAfter(int i, int count, PopupKey key) {
    return (i + (key == PopupKey::Previous ? count - 1 : 1)) % count;
}

bool HandlePopupKey(int i, int count, const QKeyEvent& key, const std::function<void(int)>& focus,
                    const std::function<void()>& choose, const std::function<void()>& close) {
    const PopupKey what = PopupKeyOf(key);
    switch (what) {
        case PopupKey::None:
            return false;
        case PopupKey::Previous:
        case PopupKey::Next:
            focus(ItemAfter(i, count, what));
            return true;
        case PopupKey::Choose:
            choose();
            return true;
        case PopupKey::Close:
            close();
            return true;
    }
    return false;
}

}  // namespace tools
