// The Command1 control array: tool-bar buttons addressed by index, with the
// gap at index 2 that the tool bar has always had.
#pragma once

#include <QToolButton>
#include <array>
#include <memory>

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
    // Index of a button of this array, or -1.
    int IndexOf(const QObject* button) const;

  private:
    std::array<std::unique_ptr<QToolButton>, 7> buttons_;
};
