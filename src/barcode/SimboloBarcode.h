#pragma once
// A barcode as the output document keeps it until the device: its kind and data, the
// widths of its bars and spaces (a linear kind) or its module matrix (a two-dimensional
// one), the box it was given, the strip its bars take and its human-readable line. Each
// device lays it out for itself: without a known resolution as the vector layout the
// design surface shows (the symbol stretched to its box), with one on whole dots of that
// resolution (TracciaAPunti), or, for a printer language, as the printer's own barcode
// command (the kind, the data, the module in dots, the wide-to-narrow ratio, the height).

#include <QList>
#include <QRectF>
#include <QString>
#include <QTransform>
#include <QtGlobal>
#include <optional>
#include <vector>

namespace cartigo {

// Code 39's wide-to-narrow ratio: 2 for modules of at least 0.508 mm, 2.5 below.
inline constexpr double kModuloMinimoRapporto2Mm = 0.508;
inline constexpr double kRapportoCode39Stretto = 2.5;

struct SimboloBarcode {
    qint8 tipo = -1;  // TipoBarcode
    QString dati;     // the data encoded (Code 39 upper-cased, EAN with its check digit)

    // A linear kind: the widths of its elements left to right, alternately light and dark,
    // the first one light (0 when the symbol starts with a bar). In modules; with
    // `dueLarghezze` (Code 39) 1 is a narrow and 2 a wide element, whose ratio the
    // layout chooses (2, or 2.5 under 0.508 mm).
    std::vector<quint8> elementi;
    bool dueLarghezze = false;
    // Light modules kept inside the box on either side of the elements.
    quint16 quieteSinistra = 0;
    quint16 quieteDestra = 0;
    // The light elements are painted white, covering what lies under the symbol.
    bool coprente = false;
    // ITF-14's bearer bars along the top and the bottom of its bars.
    bool barreSostegno = false;

    // A two-dimensional kind: the modules row by row, 1 for a dark one; each row
    // `altezzaRiga` modules high; `quieteVerticale` light modules above and below
    // (the linear quiet zones above stand left and right).
    quint16 righe = 0;
    quint16 colonne = 0;
    std::vector<quint8> moduli;
    float altezzaRiga = 1;
    quint16 quieteVerticale = 0;

    // Twips on the page, offsets included: the box, and the top and bottom of a linear
    // kind's bars.
    double x = 0, y = 0, larghezza = 0, altezza = 0;
    double cima = 0, fondo = 0;

    // The human-readable line: shown unless `posizioneTesto` is 2 (0 below, 1 above),
    // top-left corner in twips on the page.
    quint8 posizioneTesto = 2;
    QString testo;
    double testoX = 0, testoY = 0;
    // EAN and UPC with the line below: the digits in the standard layout (GruppiCifre),
    // the guard bars reaching down among them.
    bool cifreStandard = false;

    bool bidimensionale() const { return righe > 0; }
    bool conTesto() const { return posizioneTesto != 2 && !testo.isEmpty(); }
    bool operator==(const SimboloBarcode&) const = default;
};

// A group of the digits of the standard layout: its text and the modules it stands under,
// counted from the left edge of the first bar (negative: in the left quiet zone), and
// whether it is one of UPC's outside digits, printed smaller.
struct GruppoCifre {
    QString testo;
    int da = 0, a = 0;
    bool piccolo = false;
};
// The standard layout of a symbol's digits, and the modules of the bars that reach down
// among them ([da, a) from the first bar's edge): EAN-13 (the first digit left of the
// bars, then 6 and 6 between the guards), EAN-8 (4 and 4), UPC-A (the first and the last
// digit outside, smaller, 5 and 5 inside, the outside digits' bars long like the guards)
// and UPC-E (6 digits, the number system and the check digit outside). Nothing unless
// the symbol asks for it, its line is below and its digits and modules are of the kind.
std::vector<GruppoCifre> GruppiCifre(const SimboloBarcode& s);
std::vector<std::pair<int, int>> BarreLunghe(const SimboloBarcode& s);
// How far the long bars reach below the others: 5 modules, at most half the room the
// line below has.
inline constexpr double kModuliProlungamento = 5;

// Elements, modules and widths counted the way a layout needs them.
struct MisureSimbolo {
    int stretti = 0;  // narrow elements (module-based kinds: modules of the elements)
    int larghi = 0;   // wide elements (two-width kinds only)
    // The symbol's width in narrow modules for a ratio, quiet zones included.
    double Moduli(double rapporto) const;
};
MisureSimbolo Misure(const SimboloBarcode& s);

// What a device draws of a symbol: the painted light area (covering kinds) and the dark
// rectangles, in the units of the layout; the narrow module and the wide-to-narrow ratio
// it chose (for the checks).
struct TracciatoSimbolo {
    QRectF chiaro;
    std::vector<QRectF> scuri;
    double modulo = 0;
    double rapporto = 1;
    // The digits of the standard layout where this layout puts them, in twips on the page
    // whatever the layout's units: each group centred on `centro` over `ampiezza`.
    struct Cifre {
        QString testo;
        double centro = 0, ampiezza = 0;
        bool piccolo = false;
    };
    std::vector<Cifre> cifre;
};

// The vector layout, in twips on the page: the symbol stretched to its box (a linear
// kind to the box's width, a two-dimensional one to the largest square module that
// fits, centred).
TracciatoSimbolo TracciaVettoriale(const SimboloBarcode& s);

// How much is taken off every bar and given to its spaces, as the label sets it:
// automatic (1 dot at 300 dpi or less, none above), in dots, or in millimetres.
struct RiduzioneBarre {
    enum class Modo : quint8 { Automatica = 0, Punti = 1, Millimetri = 2 };
    Modo modo = Modo::Automatica;
    double valore = 0;
    // Whole dots at `dpi` (none when `dpi` is 0 or less).
    int Punti(double dpi) const;
    // "" automatic, "2 dot", "0.08 mm" (a plain number is dots); nothing for other text.
    static std::optional<RiduzioneBarre> DaTesto(const QString& testo);
    QString Testo() const;
    bool operator==(const RiduzioneBarre&) const = default;
};

// The layout on whole dots of a device at `dpi`: `mappa` takes twips on the page to the
// device's units (a painter's combined transform), the dots' grid starts at the paper's
// corner. Every element is a whole number of dots (the largest module that fits the box,
// the symbol centred in it), bars and their top and bottom on dot boundaries (a sixteenth
// of a dot past them, see the source), each bar
// `riduzione` dots narrower and its spaces as much wider. The rectangles are in the
// device's units. Nothing when the transform turns or mirrors the page or the box has not
// one dot per module: the vector layout serves then.
std::optional<TracciatoSimbolo> TracciaAPunti(const SimboloBarcode& s, const QTransform& mappa, double dpi,
                                              int riduzione);

}  // namespace cartigo
