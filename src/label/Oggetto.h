#pragma once
// One object of the label: a text, a barcode, a picture, a rectangle, a line or an ellipse.
// Element 0 of each kind is that kind's hidden template.

#include <QImage>
#include <QString>
#include <QtGlobal>
#include <iterator>

namespace cartigo {

enum class TipoOggetto { Testo, Barcode, Immagine, Rettangolo, Linea, Ellisse };
// Every kind, in the order of the templates.
inline constexpr TipoOggetto kTipiOggetto[] = {TipoOggetto::Testo,      TipoOggetto::Barcode, TipoOggetto::Immagine,
                                               TipoOggetto::Rettangolo, TipoOggetto::Linea,   TipoOggetto::Ellisse};
inline constexpr int kNumeroTipiOggetto = int(std::size(kTipiOggetto));

// The array name of a kind: "oggTesto", "oggImmagine" (barcode), "oggPicture", "oggRettangolo",
// "oggLinea", "oggEllisse".
QString NomeArray(TipoOggetto tipo);
// The kind of an array name, or false when the name is none of them.
bool TipoDaNome(const QString& nome, TipoOggetto* tipo);

// The largest font size, in points, a text object takes (from the size box and from a file).
constexpr int DimensioneCarattereMassima = 2160;

// Surface position of the label's top-left corner, in twips.
constexpr float OrigineEtichettaX = 567.0f;
constexpr float OrigineEtichettaY = 1440.0f;

// Character `i` of a settings text as a whole number, read leniently: missing or not a
// number gives 0.
int CifraImpostazioni(const QString& impostazioni, int i);

// How a line or an outline is drawn.
enum class TrattoLinea : quint8 { Continuo, Tratteggiato, Punteggiato };

// The outline of a line or an ellipse. (A rectangle keeps BorderColor and BorderWidth.)
struct ContornoForma {
    qint32 Colore = 0;       // 0x00BBGGRR
    float Spessore = 0.3f;   // millimetres; 0 for the thinnest line the device draws
    TrattoLinea Tratto = TrattoLinea::Continuo;
    bool operator==(const ContornoForma&) const = default;
};

// The inside of an ellipse. (A rectangle keeps BackStyle and BackColor.)
struct RiempimentoForma {
    bool Pieno = false;  // false: transparent
    qint32 Colore = 0x00FFFFFF;
    bool operator==(const RiempimentoForma&) const = default;
};

// Where a text's lines stand in its box, top to bottom.
enum class AllineamentoVerticale : quint8 { Alto, Centro, Basso };

// How a text fills its box. The default is how texts have always printed: lines broken at
// words that pass the box's right edge, from the top, in the font's own size. So a text that
// has none of these settings keeps printing as it did.
struct AdattamentoTesto {
    bool ACapo = true;  // false: lines break only where the text breaks, each cut at the box
    AllineamentoVerticale Verticale = AllineamentoVerticale::Alto;
    // Shrink to fit: the size is lowered in steps of half a point, down to `Minimo`, until the
    // text (merged with each label's values) fits the box.
    bool Riduci = false;
    float Minimo = 4;  // points, 4 or more (the print engine draws no text smaller)
    bool Predefinito() const { return *this == AdattamentoTesto{}; }
    bool operator==(const AdattamentoTesto&) const = default;
};

// A text, barcode, picture, rectangle or ellipse turned clockwise about the centre of its box,
// by 0, 90, 180 or 270 degrees.
struct RotazioneOggetto {
    int Gradi = 0;
    // A quarter or three quarters: the content lies across the box, its width along the box's height.
    bool Traversa() const { return Gradi == 90 || Gradi == 270; }
    // Turned by `passi` quarters clockwise (negative: anticlockwise).
    RotazioneOggetto Girata(int passi) const { return {((Gradi / 90 + passi) % 4 + 4) % 4 * 90}; }
    bool operator==(const RotazioneOggetto&) const = default;
};

struct OggettoEtichetta {
    TipoOggetto tipo = TipoOggetto::Testo;
    int Index = 0;
    quint64 id = 0;  // unique for the run; survives renumbering, never reused
    bool Visible = false;

    // Twips on the design surface: the box as it shows, whatever the rotation (never
    // negative sizes). A turned object's content is laid out in the box of the same centre
    // with width and height exchanged when it lies across (RotazioneOggetto::Traversa), then
    // turned into this one. A line runs between two opposite corners of the box (see
    // `Ascendente`), so a horizontal or vertical line has a height or width of 0.
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

    // text
    AdattamentoTesto Adattamento;
    // text, barcode, picture, rectangle, ellipse
    RotazioneOggetto Rotazione;
    // line, ellipse
    ContornoForma Contorno;
    // ellipse
    RiempimentoForma Riempimento;
    // line: from the bottom-left corner to the top-right one; false: top-left to bottom-right
    bool Ascendente = false;

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
    // The two ends of a line, in twips.
    float X1() const { return Left; }
    float Y1() const { return Ascendente ? Top + Height : Top; }
    float X2() const { return Left + Width; }
    float Y2() const { return Ascendente ? Top : Top + Height; }
    // Makes the line run from (x1, y1) to (x2, y2): the box that holds both ends and the diagonal.
    void ImpostaEstremi(float x1, float y1, float x2, float y2);
    // The width and height of the content before it is turned.
    float LarghezzaContenuto() const { return Rotazione.Traversa() ? Height : Width; }
    float AltezzaContenuto() const { return Rotazione.Traversa() ? Width : Height; }
};

// True for the kinds that turn (all but lines).
inline bool Ruotabile(TipoOggetto t) { return t != TipoOggetto::Linea; }

}  // namespace cartigo
