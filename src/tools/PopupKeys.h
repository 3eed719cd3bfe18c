// The keys of an open pop-up (tools or colours): the arrow keys move between
// its items, wrapping round; Enter or Space choose the item; Escape or Tab
// close it.
#pragma once

#include <functional>

class QKeyEvent;

namespace tools {

enum class PopupKey { None, Previous, Next, Choose, Close };

PopupKey PopupKeyOf(const QKeyEvent& key);

// The item a Previous or Next from item `i` of `count` leads to.
int ItemAfter(int i, int count, PopupKey key);

// A key pressed on item `i` of an open pop-up of `count` items: the keyboard
// goes to another item (`focus`), the item is chosen, or the pop-up closes.
// False for a key the pop-up leaves alone.
bool HandlePopupKey(int i, int count, const QKeyEvent& key, const std::function<void(int)>& focus,
                    const std::function<void()>& choose, const std::function<void()>& close);

}  // namespace tools
