// The save command: writes the canvas image into the picture folder under the
// picture name, as JPEG or bitmap, never overwriting.
#pragma once

#include <QString>

namespace commands {

class CommandHost;

// Shown when a picture file could not be written.
inline const QString kNotSavedMessage = QStringLiteral("Das Bild konnte nicht gespeichert werden.");
// Shown when the picture name holds a folder separator or a control character.
inline const QString kBadNameMessage = QStringLiteral(
    "Der Bildname darf keinen Schrägstrich (/ oder \\), keinen Zeilenumbruch und kein "
    "Tabulator- oder anderes Steuerzeichen enthalten.");

// True when `name` can be a file name in the picture folder as it is: no
// folder separator and no control character (line breaks, tabs and the
// like pasted into the name box), so a save never lands anywhere else.
bool IsPlainPictureName(const QString& name);

void SavePicture(CommandHost& host);

}  // namespace commands
