#pragma once
// What every window of the program shares: centring on the screen, the hourglass
// pointer and the user's locale settings.

#include <QString>

class QWidget;

namespace cartigo {

namespace modCartigo {
// Places a window in the middle of the screen.
void CentraForm(QWidget* finestra);
// The hourglass for the whole application, and back.
void CursoreAttesa();
void CursoreNormale();
// The user's locale setting: 14 decimal separator, 15 thousands separator.
QString LeggiImpostazioneLocale(int locale, int item);
}  // namespace modCartigo

}  // namespace cartigo
