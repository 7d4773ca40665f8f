#pragma once
// One object of the label: a text, a barcode, a picture or a rectangle.
// Element 0 of each kind is that kind's hidden template.

#include <QImage>
#include <QString>
#include <QtGlobal>

namespace cartigo {

enum class TipoOggetto { Testo, Barcode, Immagine, Rettangolo };

// The array name of a kind: "oggTesto", "oggImmagine" (barcode), "oggPicture", "oggRettangolo".
QString NomeArray(TipoOggetto tipo);
// The kind of an array name, or false when the name is none of the four.
bool TipoDaNome(const QString& nome, TipoOggetto* tipo);

// The largest font size, in points, a text object takes (from the size box and from a file).
constexpr int DimensioneCarattereMassima = 2160;

// Surface position of the label's top-left corner, in twips.
constexpr float OrigineEtichettaX = 567.0f;
constexpr float OrigineEtichettaY = 1440.0f;

// Character `i` of a settings text as a whole number, read leniently: missing or not a
// number gives 0.
int CifraImpostazioni(const QString& impostazioni, int i);

struct OggettoEtichetta {
    TipoOggetto tipo = TipoOggetto::Testo;
    int Index = 0;
    quint64 id = 0;  // unique for the run; survives renumbering, never reused
    bool Visible = false;

    // Twips on the design surface.
    float Left = 0, Top = 0, Width = 0, Height = 0;

    // text
    QString Caption;
    QString FontName;
    float FontSize = 10;
    bool FontBold = false;
    bool FontItalic = false;
    int Alignment = 0;  // 0 left, 1 right, 2 centre
    qint32 ForeColor = 0;

    // text and rectangle
    int BackStyle = 0;  // 0 transparent, 1 opaque
    qint32 BackColor = 0x00FFFFFF;

    // rectangle
    qint32 BorderColor = 0;
    int BorderWidth = 1;

    // text, barcode, picture
    QString DataMember;
    // barcode, picture, rectangle
    QString Tag;
    // barcode: fixed data; picture: the picture file's path
    QString ToolTipText;
    // picture: the picture loaded from ToolTipText (null while none is loaded)
    QImage Picture;

    QString Name() const { return NomeArray(tipo); }
    // `Name` followed by `Index`, e.g. "oggTesto3".
    QString Chiave() const { return Name() + QString::number(Index); }
    bool Collegato() const { return !DataMember.isEmpty(); }
    // Character `i` of the barcode settings in `Tag` as a whole number, read leniently:
    // missing or not a number gives 0 (first: the kind, second: the text position).
    int CifraTag(int i) const { return CifraImpostazioni(Tag, i); }
};

}  // namespace cartigo
