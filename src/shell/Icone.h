#pragma once
// Icons of the toolbar buttons: the desktop theme's where it has one, else drawn here.

#include <QIcon>
#include <QString>

namespace cartigo {

// The icon of a toolbar button key ("nuovo", "apri", ...); the program's own icon for "cartigo".
QIcon IconaComando(const QString& chiave);

}  // namespace cartigo
