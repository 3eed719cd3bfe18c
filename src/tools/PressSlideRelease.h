// Press-slide-release behaviour of a pop-up button. A press on the button opens
// its pop-up; while the mouse button is still held, Qt would keep delivering
// every move and the release to the pressed button (its implicit mouse grab).
// This filter takes those events off the button and hands each one to the
// control under the pointer instead, so sliding over the pop-up's fields
// reaches them exactly as a hover does, and the release lands where the
// pointer is.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QMouseEvent;
class QWidget;

namespace tools {

class PressSlideRelease : public QObject {
  public:
    struct Handlers {
        std::function<void()> press;     // any button pressed on the source
        std::function<void()> moveOver;  // the pointer moves over the source
        std::function<void()> release;   // a button released over the source
        // Whether a control under the pointer receives the moves and the release
        // of a slide; others get nothing.
        std::function<bool(QWidget*)> acceptsTarget;
        // A release of a slide over a control that does not receive it.
        std::function<void(QWidget*)> releasedElsewhere;
    };

    // `root` is the window whose controls are hit-tested.
    PressSlideRelease(QWidget& source, QWidget& root, Handlers handlers);
    ~PressSlideRelease() override;

    bool Sliding() const { return sliding_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* ControlAt(const QMouseEvent& event) const;
    void Forward(QWidget& target, const QMouseEvent& event);

    QPointer<QWidget> source_;
    QWidget& root_;
    Handlers handlers_;
    bool sliding_ = false;
};

}  // namespace tools
