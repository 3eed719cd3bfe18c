#include "dialogs/frmInfo.h"

#include <QPalette>
#include <QPointer>

#include "widgets/WindowHelpers.h"

namespace {

// The one notice on screen. Qt owns it: it is deleted when it closes
// (WA_DeleteOnClose), or with its owner window.
QPointer<frmInfo> g_notice;

}  // namespace

frmInfo::frmInfo(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
      Label2(this),
      Timer1(this) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusPolicy(Qt::NoFocus);
    setWindowTitle(QString());
    setFixedSize(259, 55);

    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    black.setColor(QPalette::WindowText, QColor(0, 255, 0));
    setPalette(black);
    setAutoFillBackground(true);

    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(14.25);
    font.setBold(true);
    Label2.setFont(font);
    Label2.setText(QStringLiteral("Bild gespeichert."));
    Label2.setAlignment(Qt::AlignCenter);
    Label2.setPalette(black);
    Label2.setAutoFillBackground(true);
    Label2.setGeometry(16, 14, 229, 25);
    Label2.setFocusPolicy(Qt::NoFocus);

    Timer1.setTimerType(Qt::PreciseTimer);
    Timer1.setInterval(kShowMilliseconds);
    Timer1.setSingleShot(false);
    connect(&Timer1, &QTimer::timeout, this, &frmInfo::Timer1_Timer);
    Form_Load();
}

void frmInfo::Form_Load() {
    app::CenterForm(*this);
    app::SetTopMost(*this);
}

void frmInfo::Timer1_Timer() {
    Timer1.stop();
    close();
}

namespace dialogs {

void ShowSavedNotice(QWidget* owner) {
    if (!g_notice) {
        g_notice = new frmInfo(owner);  // Qt-owned: deleted on close or with its owner
    }
    frmInfo& notice = *g_notice;
    notice.show();
    notice.raise();
    notice.Timer1.start();  // (re)starts the full 2000 ms
}

frmInfo* SavedNotice() {
    return g_notice.data();
}

}  // namespace dialogs
