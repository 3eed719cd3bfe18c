// The colour pop-up under the colours button: six colour fields in a panel.
// Sliding over a field makes its colour current at once and swaps the tool
// icons to the matching colour variant.
#pragma once

#include <QLabel>
#include <QObject>
#include <QWidget>
#include <array>

#include "tools/ToolCatalogue.h"
#include "widgets/ColorRef.h"

class QKeyEvent;
class QToolButton;

namespace canvas {
class CanvasView;
class EditorState;
}  // namespace canvas

namespace tools {

struct ToolControls;

// Colours of the fields, index 0 to 5: red, green, yellow, cyan, black, white.
inline constexpr std::array<COLORREF, 6> kPaletteColors{0x000000FF, 0x0000FF00, 0x0000FFFF,
                                                        0x00FFFF00, 0x00000000, 0x00FFFFFF};
// Their names, as a screen reader says them (UTF-8).
inline constexpr std::array<const char*, 6> kPaletteColorNames{"Rot",  "Grün",    "Gelb",
                                                               "Cyan", "Schwarz", "Weiß"};

class ColorPalette : public QObject {
  public:
    ColorPalette(canvas::EditorState& state, const ToolControls& controls, const ToolList& tools);
    ~ColorPalette() override;

    // Makes colour i current (the colours button's background, intColorIndex,
    // the icons).
    void ChooseColor(int i);

    void Show();
    void Hide();
    bool Showing() const { return panel_.isVisible(); }
    // Opened from the keyboard: the current colour's field takes the focus.
    // The arrow keys move it, Enter or Space choose as a release over the
    // field does, Escape closes without a change; the keyboard then goes
    // back to `returnTo`.
    void ShowForKeyboard(QWidget& returnTo);
    // Whether `widget` is the pop-up or one of its fields.
    bool Holds(const QWidget* widget) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // A release over field i.
    void FieldReleased(int i);
    int IndexOf(const QObject* label) const;
    bool FieldKey(int i, const QKeyEvent& key);
    void GiveKeyboardBack();
    void MarkFocus(int i, bool focused);

    QWidget panel_;
    std::array<QLabel, kPaletteColors.size()> fields_;
    QWidget* returnTo_ = nullptr;
    canvas::EditorState& state_;
    QToolButton& toolsButton_;
    canvas::CanvasView& view_;
    const ToolList& tools_;
};

}  // namespace tools
