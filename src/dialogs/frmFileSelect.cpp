#include "dialogs/frmFileSelect.h"

frmFileSelect::frmFileSelect(dialogs::PickerHandOver& handOver, QWidget* owner)
    // A fixed border with a title and no window buttons.
    : PickerWindow(handOver, owner,
                   Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setWindowTitle(QStringLiteral("Datei auswählen..."));
    setFixedSize(357, 337);
    File1.SetFilter(dialogs::FileListBox::Filter::Programs);
    setTabOrder(&Drive1, &Dir1);
    setTabOrder(&Dir1, &File1);
    setTabOrder(&File1, &Command1);
    setTabOrder(&Command1, &Command2);
    PlaceSharedControls();
    Form_Load();
}
