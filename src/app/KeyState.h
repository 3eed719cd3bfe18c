// The program's own keyboard state for polling: which keys are down and which
// were pressed since the last query. Kept by an application-wide event filter,
// so only keys pressed while this program is the active application count.
#pragma once

#include <QObject>
#include <unordered_map>

class KeyState : public QObject {
    Q_OBJECT
  public:
    KeyState();
    ~KeyState() override;

    // Like the classic asynchronous key query: non-zero when the key is down
    // now (bit 0x8000) or was pressed since the previous query (bit 1). The
    // query clears the "pressed since" bit. `key` is a Qt::Key value.
    int Query(int key);
    // Forgets every key (the program lost the keyboard).
    void Clear();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Entry {
        bool down = false;
        bool pressedSinceQuery = false;
    };
    std::unordered_map<int, Entry> keys_;
};
