#include "editor/ButtonArray.h"

#include <algorithm>
#include <stdexcept>

ButtonArray::ButtonArray() {
    for (const int index : kIndexes) {
        buttons_[static_cast<std::size_t>(index)] = std::make_unique<QToolButton>();
    }
}

ButtonArray::~ButtonArray() = default;

bool ButtonArray::Contains(int index) {
    return std::find(kIndexes.begin(), kIndexes.end(), index) != kIndexes.end();
}

QToolButton& ButtonArray::operator[](int index) {
    if (!Contains(index)) throw std::out_of_range("Command1 has no such index");
    return *buttons_[static_cast<std::size_t>(index)];
}

const QToolButton& ButtonArray::operator[](int index) const {
    if (!Contains(index)) throw std::out_of_range("Command1 has no such index");
    return *buttons_[static_cast<std::size_t>(index)];
}

int ButtonArray::IndexOf(const QObject* button) const {
    for (const int index : kIndexes) {
        if (buttons_[static_cast<std::size_t>(index)].get() == button) return index;
    }
    return -1;
}
