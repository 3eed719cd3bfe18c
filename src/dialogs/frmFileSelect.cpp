#include "dialogs/frmFileSelect.h"

frmFileSelect::frmFileSelect(dialogs::PickerHandOver& handOver, QWidget* owner)
    // A fixed border with a title and no window buttons.
    : PickerWindow(handOver, owner,
                   Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setWindowTitle(QStringLiteral("Datei auswählen..."));
    setFixedSize(357, 337);
    Files().SetFilter(dialogs::FileListBox::Filter::Programs);
    setTabOrder(&Drives(), &Folders());
    setTabOrder(&Folders(), &Files());
    setTabOrder(&Files(), &AcceptButton());
    setTabOrder(&AcceptButton(), &CancelButton());
    PlaceSharedControls();
    Form_Load();
}
