#pragma once
// File names as the system gives them (command-line arguments are bytes).

#include <QByteArray>
#include <QString>

namespace cartigo::modCartigo {

// A path from the system, decoded with QFile::decodeName. Bytes that are not valid
// UTF-8 (a name written under another character set, such as "citt\xe0.eti") have no
// QString that names them; such a file is then reached through an open descriptor:
// "/proc/self/fd/N/name" through its folder when only the folder cannot be decoded,
// "/proc/self/fd/N" when the name itself cannot. A path that does not exist comes back
// decoded as well as it can be, for the message that says so.
QString PercorsoDaSistema(const QByteArray& percorso);

// The folder of a file, for what a label names beside itself: the file's absolute
// folder, or for a file reached through its own descriptor, its real folder.
QString CartellaDi(const QString& file);

// True for a file reached through its own descriptor: it can be read, but its name
// cannot be written back.
bool SoloDescrittore(const QString& file);

}  // namespace cartigo::modCartigo

namespace cartigo {

// Where a file dialog opens: the folder of `fileEtichetta` (the label's own file) when
// there is one, else the folder of the file last chosen or opened, else the user's Documents.
QString CartellaDialogo(const QString& fileEtichetta = {});
// Remembers the folder of a file chosen in a dialog or opened, for CartellaDialogo.
void RicordaCartellaDialogo(const QString& file);

}  // namespace cartigo
