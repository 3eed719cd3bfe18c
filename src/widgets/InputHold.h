// Holds the user's input to one window while the window's state is being
// changed by work it waits for (a picture coming in), and hands it on
// afterwards in the order it came: every click, key, wheel turn and close
// request acts on the state after the change, never on a state half changed,
// and none is dropped. Waits that let events run (a large picture decoding
// while the window repaints) may let input through at any depth; the hold
// sees each event at the control it was meant for, whatever let it through.
#pragma once

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <deque>
#include <functional>
#include <memory>

class QWidget;

class InputHold : public QObject {
    Q_OBJECT
  public:
    // `busy` tells whether input must wait now. Installed after the window's
    // other application-wide filters (the key preview), it sees input first.
    InputHold(QWidget& window, std::function<bool()> busy);
    ~InputHold() override;
    InputHold(const InputHold&) = delete;
    InputHold& operator=(const InputHold&) = delete;

    // Hands on what was held, in order, from the event loop, once `busy` is
    // false; input held meanwhile keeps its place behind.
    void ReleaseWhenIdle();
    // How many events wait now.
    std::size_t Waiting() const { return held_.size(); }

  protected:
    bool eventFilter(QObject* receiver, QEvent* event) override;

  private:
    struct HeldEvent {
        QPointer<QObject> receiver;
        std::unique_ptr<QEvent> event;  // null: the window's close request
    };
    void Release();

    QWidget& window_;
    std::function<bool()> busy_;
    std::deque<HeldEvent> held_;
    QPointer<QObject> replayReceiver_;
    QEvent::Type replayType_ = QEvent::None;
    bool releasing_ = false;
    bool releasePosted_ = false;
};
