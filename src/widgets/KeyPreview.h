// The window sees its key presses before its controls do, as a form with key
// preview would: every key press delivered to a control of the window (or to
// the window itself) while it is the active window is reported once, with the
// modifiers held at that moment. Nothing runs between key presses: there is
// no polling, and a key pressed earlier and released never counts later.
#pragma once

#include <QObject>
#include <functional>

class QWidget;

class KeyPreview : public QObject {
    Q_OBJECT
  public:
    // `onKeyDown(key, modifiers)` receives the Qt::Key and the modifiers of
    // each press meant for `window`. The window outlives this object.
    KeyPreview(QWidget& window, std::function<void(int, Qt::KeyboardModifiers)> onKeyDown);
    ~KeyPreview() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget& window_;
    std::function<void(int, Qt::KeyboardModifiers)> onKeyDown_;
};
