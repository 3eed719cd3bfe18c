// The tool-bar button array: buttons addressed by index, with the gap at
// index 2 that the tool bar has always had. Each button's object name is
// "Command1(index)".
#pragma once

#include <QToolButton>
#include <array>
#include <memory>

// The command of each index of the array.
enum class ToolbarButton { Load = 0, Save = 1, Copy = 3, Paste = 4, Program = 5, Undo = 6 };

class ButtonArray {
  public:
    static constexpr std::array<int, 6> kIndexes{0, 1, 3, 4, 5, 6};

    ButtonArray();
    ~ButtonArray();
    ButtonArray(const ButtonArray&) = delete;
    ButtonArray& operator=(const ButtonArray&) = delete;

    // True for the indexes the array holds.
    static bool Contains(int index);
    // The button of an index; throws std::out_of_range for any other index.
    QToolButton& operator[](int index);
    const QToolButton& operator[](int index) const;
    QToolButton& operator[](ToolbarButton button) { return (*this)[static_cast<int>(button)]; }
    // Index of a button of this array, or -1.
    int IndexOf(const QObject* button) const;

  private:
    std::array<std::unique_ptr<QToolButton>, 7> buttons_;
};
