// The saved notice: "Bild gespeichert." in green on black, above all windows,
// closing itself 2000 ms after it was shown. It never takes the keyboard
// focus, so the user keeps working while it shows.
#pragma once

#include <QLabel>
#include <QTimer>
#include <QWidget>

class frmInfo : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kShowMilliseconds = 2000;

    explicit frmInfo(QWidget* parent = nullptr);

    void Form_Load();
    // Shows the notice, (re)starts the full 2000 ms and has a screen reader
    // announce it; the keyboard stays where it was.
    void ShowAndRestart();

  private:
    void OnNoticeTimer();

    QLabel message_;      // "Bild gespeichert." (object name "Label2")
    QTimer noticeTimer_;  // 2000 ms; started when the notice is shown (object name "Timer1")
};

namespace dialogs {

// Shows the notice modeless and starts its timer. A call while it still shows
// restarts the 2000 ms. `owner` (the editor window, when there is one) owns
// the notice window; without one the notice deletes itself when it closes.
void ShowSavedNotice(QWidget* owner = nullptr);

// The notice currently on screen, or nullptr.
frmInfo* SavedNotice();

}  // namespace dialogs
