#pragma once
// The fonts of text objects on a Linux desktop. Labels name the Windows families
// they were made with ("Microsoft Sans Serif", "Arial", ...); where such a family is
// not installed, text is drawn, on the surface and on paper, with the Liberation
// face of the same metrics, and the name is accepted as available. The label keeps
// the name the user chose.

#include <QFont>
#include <QString>
#include <QStringList>

namespace cartigo::Caratteri {

// The metric-compatible face of a Windows family ("Arial" -> "Liberation Sans"),
// or an empty text for any other family.
QString FacciaCompatibile(const QString& famiglia);
// The font that draws text in `famiglia`: the family itself when it is installed,
// else its compatible face, else whatever fontconfig chooses for the name.
QFont CarattereTesto(const QString& famiglia);
// "Name [Foundry]", as Qt lists a family installed by two foundries, as "Name".
QString SenzaFonderia(const QString& famiglia);
// The installed families under their plain names, each once, in the font database's order.
QStringList FamiglieInstallate();
// True when text in `famiglia` can be drawn as it is meant: the family is one of
// `installate`, or a Windows family whose compatible face is.
bool Disponibile(const QString& famiglia, const QStringList& installate);
// The font new text starts with: Microsoft Sans Serif where it is installed, else
// Liberation Sans, else fontconfig's sans-serif.
QString CarattereIniziale(const QStringList& installate);
// The font the font dialog opens on for text in `famiglia`: the face it is drawn
// with, in the style the font database names for these settings (an upright style
// may be "Book" or "Roman" rather than "Regular").
QFont CarattereDialogo(const QString& famiglia, double punti, bool grassetto, bool corsivo);

}  // namespace cartigo::Caratteri
