#pragma once
// The catalogue of label products: the sheets and rolls sold in shops, by maker and
// product code. Read at run time from template files in the XML format of gLabels'
// template database: Debian's glabels-data package installs them in
// /usr/share/libglabels-3.0/templates, and the user's own go in
// $XDG_DATA_HOME/cartigo/templates (written by "Save as template").

#include "label/DocumentoEtichetta.h"

#include <QHash>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace cartigo {

struct ProdottoEtichetta {
    QString marca;
    QString codice;
    QString descrizione;
    QString equivalenteDi;    // the code of the product (same maker) this one is a copy of
    QString pagina;           // the paper's name in the file ("A4", "US-Letter", "Other")
    QSizeF dimensionePagina;  // mm; empty when the paper is unknown
    FormaEtichetta forma = FormaEtichetta::Rettangolo;
    bool tonda = false;    // a round label (an ellipse of equal sides)
    double larghezza = 0;  // mm, the box around a round label
    double altezza = 0;
    double diametroEsterno = 0;  // a CD's outer diameter
    double diametroForo = 0;
    int colonne = 0, righe = 0;
    double x0 = 0, y0 = 0;          // the first label from the page's top-left corner (mm)
    double passoX = 0, passoY = 0;  // from one label to the next (mm)
    int disposizioni = 0;           // groups of labels on the sheet; only the first is used
    bool utente = false;            // from the user's folder
    QString file;

    // "Maker code", as the label file stores it.
    QString Nome() const { return marca + QLatin1Char(' ') + codice; }
    // One label on a page of its own size: a roll or tape.
    bool Rotolo() const;
    // The layout this product gives: counts, size, gaps, margins, page; the X origin
    // compensates the print job's shift on a sheet (a roll has none).
    LayoutEtichetta Layout() const;
    // True when the layout's geometry (all but the origin) is still this product's.
    bool Corrisponde(const LayoutEtichetta& l) const;
};

class CatalogoEtichette {
public:
    struct Errore {
        QString file;
        qint64 riga = 0;
        QString testo;
    };

    // The folders of the installed template files (each "libglabels-3.0/templates" of the
    // system's data folders), and the user's own.
    static QStringList CartelleSistema();
    static QString CartellaUtente();

    // The catalogue of CartelleSistema() and CartellaUtente(), read once per run in a
    // thread of its own: the first AvviaLettura() starts it, Letto() gives it once it
    // is read (null before), Rileggi() starts a new reading (after a template is saved).
    static void AvviaLettura();
    static std::shared_ptr<const CatalogoEtichette> Letto();
    static void Rileggi();

    // What one file may be: its size, and attributes on one element (reading them
    // takes time growing with their square).
    static constexpr qint64 kDimensioneMassimaFile = 8 * 1024 * 1024;
    static constexpr int kAttributiMassimi = 64;

    // Reads the system folders and then the user's folder (a product of the user's
    // replaces one with the same maker and code).
    void Carica(const QStringList& cartelleSistema, const QString& cartellaUtente);
    void Carica() { Carica(CartelleSistema(), CartellaUtente()); }
    // Reads one folder's *.xml files, in name order.
    void CaricaCartella(const QString& cartella, bool utente);
    // Reads one file; a file of another kind (paper sizes, makers) is passed over.
    void CaricaFile(const QString& percorso, bool utente);

    // Sorted by maker, then product code (numbers in codes by their value).
    const std::vector<ProdottoEtichetta>& Prodotti() const { return prodotti_; }
    const std::vector<Errore>& Errori() const { return errori_; }
    bool Vuoto() const { return prodotti_.empty(); }
    // The product by "Maker code" (as ProdottoEtichetta::Nome), or null.
    const ProdottoEtichetta* Trova(const QString& nome) const;

    // The products matching every word of `testo`: a word is found in the maker, the code,
    // the description or the paper's name, or is a size "70x37" (the label's, in mm; a
    // whole number matches within half a millimetre) or a count "3x7" (across x down).
    std::vector<const ProdottoEtichetta*> Cerca(const QString& testo) const;

    // The known paper sizes (mm) by name: paper-sizes.xml of the system folders, and A4
    // and US-Letter without it.
    QSizeF Carta(const QString& nome) const;

private:
    void caricaCarte(const QString& percorso);
    void aggiungi(ProdottoEtichetta p);
    void ordina();

    std::vector<ProdottoEtichetta> prodotti_;
    std::vector<Errore> errori_;
    QHash<QString, qsizetype> indice_;  // by case-folded maker and code
    QHash<QString, QSizeF> carte_;
};

// True when the two layouts describe the same sheet: all but the origin, to the three
// decimals the layout dialog shows, and both on a roll or both on sheets.
bool StessoFoglio(const LayoutEtichetta& a, const LayoutEtichetta& b);

// The XML of one template for `layout` (in the catalogue's format), named by maker, code
// and description.
QByteArray XmlModello(const LayoutEtichetta& layout, const QString& marca, const QString& codice,
                      const QString& descrizione);
// The file a template of `marca` and `codice` is saved in, in `cartella`.
QString FileModello(const QString& cartella, const QString& marca, const QString& codice);

// The label's size as the catalogue lists it: "63.5 x 38.1" with one decimal and
// `decimale` as the decimal separator.
QString TestoMisura(double larghezza, double altezza, QChar decimale = QLatin1Char('.'));

}  // namespace cartigo
