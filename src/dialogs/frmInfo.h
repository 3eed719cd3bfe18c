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

    QLabel Label2;
    QTimer Timer1;  // 2000 ms; enabled by whoever shows the notice

    void Form_Load();
    void Timer1_Timer();
};

namespace dialogs {

// Shows the notice modeless and starts its timer. A call while it still shows
// restarts the 2000 ms. `owner` (the editor window, when there is one) owns
// the notice window; without one the notice deletes itself when it closes.
void ShowSavedNotice(QWidget* owner = nullptr);

// The notice currently on screen, or nullptr.
frmInfo* SavedNotice();

}  // namespace dialogs
