#pragma once
// What every window of the program shares: centring on the screen, the hourglass
// pointer and the user's locale settings.

#include <QString>

class QWidget;

namespace cartigo {

namespace modCartigo {
// Places a window in the middle of the screen.
void CentraForm(QWidget* finestra);
// Gives the activation (and so the keyboard) back to the window a dialog or a wait window
// came from, once that one has closed; nothing when the window is hidden or another
// modal window is still up.
void RidaiFuoco(QWidget* finestra);
// The hourglass for the whole application, and back.
void CursoreAttesa();
void CursoreNormale();
// Qt's own texts (file, colour, font and print dialogs, key names) in the program's
// language, from Qt's translations; installed once. False when they are not installed.
bool CaricaTraduzioniQt();
// The user's locale setting: 14 decimal separator, 15 thousands separator.
QString LeggiImpostazioneLocale(int locale, int item);
}  // namespace modCartigo

}  // namespace cartigo
