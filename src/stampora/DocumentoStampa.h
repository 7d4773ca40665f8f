#pragma once
// The output document: the surface the print engine draws on. It holds the state a
// printer-like drawing vocabulary needs (font, pen, brush, colours, margins, current
// position, paper) and records every page of one document as a compact display list
// in twips, measured from the paper's top-left corner. One renderer draws those
// pages on the screen, the printer, PDF and images (RenderizzatorePagina.h).
//
// A page is a stream of 32-bit words: per operation a header word (kind, flags and a
// 24-bit index into the document's style table), four floats, and for pictures and
// texts one more word (the picture's index in the document, the text's index on the
// page). Styles, fonts and pictures are stored once per document, so a filled box costs
// 20 bytes whatever pen, brush and colours it is drawn with.
//
// Finished pages stay in memory up to two megabytes; past that the oldest go to a
// temporary file of the document and are read back, a few at a time, when they are asked
// for. So every consumer of a long document (the preview, a print file, a printer job)
// holds a bounded amount whatever the number of pages.
// A barcode stays a symbol (SimboloBarcode.h) until the device: its operation carries the
// box and the symbol's index on the page, and each consumer lays it out for its own
// resolution (the renderer on whole dots of the target resolution, a printer language
// as its own barcode command).

#include "barcode/SimboloBarcode.h"
#include "label/StampanteTermica.h"
#include "stampora/DispositivoStampa.h"
#include "stampora/Misura.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QHashFunctions>
#include <QImage>
#include <QRectF>
#include <QString>
#include <bit>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QTemporaryFile;

namespace cartigo {

enum class TipoOperazione : quint8 {
    Linea = 1,         // (x1, y1) to (x2, y2)
    Rettangolo = 2,    // corners (x1, y1), (x2, y2), outlined with the pen, filled with the brush
    Cerchio = 3,       // centre (x1, y1), radius x2
    Immagine = 4,      // picture `dato` into the box (x1, y1)-(x2, y2)
    CasellaTesto = 5,  // text `dato` inside the box (x1, y1)-(x2, y2); `ombra`: box filled
    Testo = 6,         // one line of flowing text `dato`, top-left (x1, y1), width x2, height y2
    Simbolo = 7,       // barcode symbol `dato` of the page in the box (x1, y1)-(x2, y2); bars in
                       // the style's brush colour, its human-readable line in its font and text colour
    // From print file version 3:
    Ellisse = 8,       // inside the box (x1, y1)-(x2, y2), outlined with the pen, filled with the brush
    Rotazione = 9,     // the operations after it turn x2 degrees clockwise (90, 180 or 270) about
                       // (x1, y1), until the next one; 0 ends the turn
};
constexpr TipoOperazione kUltimaOperazione = TipoOperazione::Rotazione;

// A text box's layout beyond its horizontal alignment, in the upper bits of the style's
// alignment (from print file version 3): vertical alignment and no line breaks at words.
// A text box without them is laid out as always (lines broken at words, from the top).
namespace ImpaginazioneCasella {
constexpr quint8 Orizzontale = 0x03;  // 0 left, 1 centre, 2 right
constexpr quint8 Centro = 0x04;       // vertically centred
constexpr quint8 Basso = 0x08;        // at the bottom
constexpr quint8 SenzaACapo = 0x10;   // a line per line of the text, cut at the box
constexpr quint8 Propria = 0x20;      // laid out by ImpaginaTesto (label/ImpaginazioneTesto.h), which
                                      // the others imply
constexpr quint8 Tutti = 0x3F;
}  // namespace ImpaginazioneCasella

struct CarattereStampa {
    QString nome;
    float dimensione = 10;  // points
    bool grassetto = false;
    bool corsivo = false;
    bool operator==(const CarattereStampa&) const = default;
};

struct StileStampa {
    quint32 colorePenna = 0;  // colours as 0x00BBGGRR
    quint32 colorePennello = 0;
    quint32 coloreTesto = 0;
    float spessorePenna = 0;   // twips; 0 draws the thinnest line the device can
    quint32 carattere = 0;     // index into the font table
    quint8 stilePenna = 0;     // 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 none, 6 inside solid
    quint8 stilePennello = 0;  // 0 solid, 1 transparent, 2-7 hatches
    quint8 allineamento = 0;   // 0 left, 1 centre, 2 right
    bool operator==(const StileStampa&) const = default;
};

inline size_t qHash(const StileStampa& s, size_t seme = 0)
{
    return qHashMulti(seme, s.colorePenna, s.colorePennello, s.coloreTesto, std::bit_cast<quint32>(s.spessorePenna),
                      s.carattere, s.stilePenna, s.stilePennello, s.allineamento);
}

// One operation as the renderer reads it back.
struct Operazione {
    TipoOperazione tipo = TipoOperazione::Linea;
    bool ombra = false;
    quint32 stile = 0;
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    quint32 dato = 0;
};

class PaginaStampa {
public:
    // Calls f(const Operazione&) for each operation, in drawing order.
    template <class F>
    void PerOgni(F&& f) const
    {
        std::size_t i = 0;
        const std::size_t n = dati_.size();
        Operazione op;
        while (i + 5 <= n) {
            const quint32 h = dati_[i];
            op.tipo = static_cast<TipoOperazione>((h >> 24) & 0x7F);
            op.ombra = (h & 0x80000000u) != 0;
            op.stile = h & 0xFFFFFFu;
            op.x1 = std::bit_cast<float>(dati_[i + 1]);
            op.y1 = std::bit_cast<float>(dati_[i + 2]);
            op.x2 = std::bit_cast<float>(dati_[i + 3]);
            op.y2 = std::bit_cast<float>(dati_[i + 4]);
            i += 5;
            if (HaDato(op.tipo)) {
                if (i >= n) return;
                op.dato = dati_[i++];
            } else {
                op.dato = 0;
            }
            f(static_cast<const Operazione&>(op));
        }
    }

    std::size_t NumeroOperazioni() const { return conteggio_; }
    const std::vector<QString>& Testi() const { return testi_; }
    const std::vector<SimboloBarcode>& Simboli() const { return simboli_; }
    const std::vector<quint32>& Dati() const { return dati_; }
    std::size_t Memoria() const;

    static bool HaDato(TipoOperazione t)
    {
        return t == TipoOperazione::Immagine || t == TipoOperazione::CasellaTesto || t == TipoOperazione::Testo ||
               t == TipoOperazione::Simbolo;
    }

private:
    friend class DocumentoStampa;
    friend struct AccessoDocumentoStampa;
    void Aggiungi(const Operazione& op);
    void Compatta();

    std::vector<quint32> dati_;
    std::vector<QString> testi_;
    std::vector<SimboloBarcode> simboli_;
    std::size_t conteggio_ = 0;
};

// The drawing state a caller can save and put back around its own drawing (the
// barcodes do): position, pen, brush, text colour, font and alignment.
struct StatoOutput {
    double x = 0, y = 0;
    int stilePenna = 0;
    quint32 colorePenna = 0;
    double spessorePenna = 0;
    int stilePennello = 0;
    quint32 colorePennello = 0;
    quint32 coloreTesto = 0;
    CarattereStampa carattere;
    int allineamento = 0;
};

class DocumentoStampa {
public:
    // Paper, orientation and device of the installed printer (DispositivoStampa.h).
    DocumentoStampa();
    explicit DocumentoStampa(const InfoStampante& stampante);
    ~DocumentoStampa();
    DocumentoStampa(const DocumentoStampa&) = delete;
    DocumentoStampa& operator=(const DocumentoStampa&) = delete;

    // Font.
    const QString& FontName() const { return carattere_.nome; }
    void SetFontName(const QString& nome);
    float FontSize() const { return carattere_.dimensione; }
    void SetFontSize(float punti);  // sizes of 0 or less, or not finite, are ignored
    bool FontBold() const { return carattere_.grassetto; }
    void SetFontBold(bool b);
    bool FontItalic() const { return carattere_.corsivo; }
    void SetFontItalic(bool b);

    // Paper and device. Paper sizes are the portrait ones; the page is turned by the orientation.
    int Orientation() const { return orientamento_; }  // 0 portrait, 1 landscape
    void SetOrientation(int o);                        // other values are ignored
    const QString& Device() const { return stampante_.nome; }
    const QString& Port() const { return stampante_.porta; }
    double PaperWidth() const { return stampante_.larghezzaCarta; }
    double PaperHeight() const { return stampante_.altezzaCarta; }
    void SetPaperSize(double larghezza, double altezza);  // positive twips, else ignored
    double PageWidth() const { return orientamento_ == 1 ? PaperHeight() : PaperWidth(); }
    double PageHeight() const { return orientamento_ == 1 ? PaperWidth() : PaperHeight(); }
    InfoStampante Stampante() const;
    void SetStampante(const InfoStampante& info);

    // Colours, 0x00BBGGRR.
    quint32 BrushColor() const { return stile_.colorePennello; }
    void SetBrushColor(quint32 c);
    quint32 PenColor() const { return stile_.colorePenna; }
    void SetPenColor(quint32 c);
    quint32 TextColor() const { return stile_.coloreTesto; }
    void SetTextColor(quint32 c);

    // Margins in twips.
    double MarginLeft() const { return margini_[0]; }
    double MarginTop() const { return margini_[1]; }
    double MarginRight() const { return margini_[2]; }
    double MarginBottom() const { return margini_[3]; }
    void SetMarginLeft(const Misura& m) { impostaMargine(0, m); }
    void SetMarginTop(const Misura& m) { impostaMargine(1, m); }
    void SetMarginRight(const Misura& m) { impostaMargine(2, m); }
    void SetMarginBottom(const Misura& m) { impostaMargine(3, m); }

    // Pen and brush.
    int BrushStyle() const { return stile_.stilePennello; }
    void SetBrushStyle(int s);  // 0 to 7, else ignored
    int PenStyle() const { return stile_.stilePenna; }
    void SetPenStyle(int s);                                  // 0 to 6, else ignored
    double PenWidth() const { return stile_.spessorePenna; }  // twips
    void SetPenWidth(const Misura& m);                        // negative or not finite: ignored

    // Position, alignment.
    double CurrentX() const { return x_; }
    double CurrentY() const { return y_; }
    void SetCurrentX(const Misura& m);
    void SetCurrentY(const Misura& m);
    int TextAlign() const { return stile_.allineamento & ImpaginazioneCasella::Orizzontale; }  // 0 left, 1 centre, 2 right
    void SetTextAlign(int a);                              // other values are ignored
    // The text boxes' layout bits (ImpaginazioneCasella: vertical alignment, no line breaks).
    int ImpaginazioneTesto() const { return stile_.allineamento & ~ImpaginazioneCasella::Orizzontale; }
    void SetImpaginazioneTesto(int bit);
    double TwipsPerPixel() const { return twipsPerPixel_; }

    // The resolution the document is meant for, in dots per inch (0: none, symbols are
    // drawn as vectors), and how much of every bar is taken off on such a device. A
    // printer that knows its own resolution lays the symbols out for that one instead.
    double Risoluzione() const { return risoluzione_; }
    void SetRisoluzione(double dpi);  // 0 or more, else ignored
    const RiduzioneBarre& Riduzione() const { return riduzione_; }
    void SetRiduzione(const RiduzioneBarre& r) { riduzione_ = r; }
    // What a thermal printer is told at the start of a job in its own language (ZPL).
    const StampanteTermica& Termica() const { return termica_; }
    void SetTermica(const StampanteTermica& t) { termica_ = t; }
    // The rows of labels of a sheet of several labels, in twips on the page (each across
    // all its columns): a printer that prints a row at a time (ZPL) takes each as a label.
    // Empty: each page is one label.
    const std::vector<QRectF>& FasceEtichette() const { return fasce_; }
    void SetFasceEtichette(std::vector<QRectF> fasce) { fasce_ = std::move(fasce); }

    // Document life: a document is open from StartDoc to EndDoc; drawing outside one is ignored.
    void StartDoc();
    void EndDoc();
    void KillDoc();
    void NewPage();
    bool InDocumento() const { return aperto_; }
    // While set, each page NewPage or EndDoc finishes is handed to `ricevi` (with its
    // index, from 0) and then emptied, so the document holds only the page being drawn;
    // the pages keep their numbers. KillDoc and StartDoc unset it.
    using RicevitorePagine = std::function<void(const DocumentoStampa&, int)>;
    void InoltraPagine(RicevitorePagine ricevi) { ricevitore_ = std::move(ricevi); }
    int PageCount() const { return static_cast<int>(base_ + pagine_.size()); }
    // The pages that can be shown: while the document is open, all but the one being drawn.
    int PagineFinite() const { return aperto_ ? PageCount() - 1 : PageCount(); }
    int CurrentPage() const { return PageCount(); }

    // Drawing, in measurements.
    void DrawLine(const Misura& x1, const Misura& y1, const Misura& x2, const Misura& y2);
    void DrawRectangle(const Misura& x1, const Misura& y1, const Misura& x2, const Misura& y2);
    void DrawCircle(const Misura& x, const Misura& y, const Misura& raggio);
    // The ellipse inside the box of the two corners, outlined with the pen, filled with the brush.
    void DrawEllipse(const Misura& x1, const Misura& y1, const Misura& x2, const Misura& y2);
    // What is drawn next turns `gradi` clockwise (90, 180 or 270; other values are ignored)
    // about (x, y), until Ruota(…, 0) or the end of the page.
    void Ruota(const Misura& x, const Misura& y, int gradi);
    // The print file format the document needs: 3 once it holds an ellipse, a turn or a
    // text box laid out with the layout bits, else 2.
    quint16 VersioneFormato() const { return formatoEsteso_ ? 3 : 2; }
    // A missing size takes the picture's own (1 pixel = the output's twips per pixel unless
    // the picture records its resolution); a single missing one keeps the proportions.
    void DrawPicture(const QImage& immagine, const Misura& x, const Misura& y,
                     const std::optional<Misura>& larghezza = std::nullopt,
                     const std::optional<Misura>& altezza = std::nullopt);
    // Text inside a box with the font, text colour and alignment; a border with the pen
    // unless the pen style is 5; with `ombra` the box is first filled with the brush.
    void TextBox(const QString& testo, const Misura& x, const Misura& y, const Misura& larghezza, const Misura& altezza,
                 bool ombra);
    // Text at the current position, wrapping at the right margin and coming back to the
    // left margin; a carriage return (or line feed) ends a line. The current position
    // moves past the text.
    void Text(const QString& testo);
    // A barcode symbol, its coordinates in twips on the page, drawn with the current brush
    // colour and its human-readable line in the current font and text colour.
    void DrawSymbol(const SimboloBarcode& simbolo);
    // Width and line height of a text in the current font, in twips.
    double TextWidth(const QString& testo) const;
    double TextHeight(const QString& testo) const;

    StatoOutput Stato() const;
    void RipristinaStato(const StatoOutput& s);

    // Texts of the printing-progress dialog: "%s" printer and port, "%d" page.
    QString TestoStampaInCorso;
    QString TestoStampante;
    QString TestoPagina;
    // The title of its print jobs (the label's file name); empty for "Cartigo".
    QString TitoloLavoro;

    // The recorded document. A page kept on disk is read back into a small cache: the
    // reference holds until a few other pages have been asked for. A page handed over
    // (InoltraPagine) is empty.
    const PaginaStampa& Pagina(int indice) const
    {
        const auto i = static_cast<std::size_t>(indice);
        return i >= base_ ? pagine_.at(i - base_) : paginaArchiviata(i);
    }
    const std::vector<StileStampa>& Stili() const { return stili_; }
    const std::vector<CarattereStampa>& Caratteri() const { return caratteri_; }
    const std::vector<QImage>& Immagini() const { return immagini_; }
    // Bytes held in memory by the display lists, styles, texts and pictures.
    std::size_t Memoria() const;
    // The finished pages past which the oldest go to disk, in bytes of display lists and texts.
    static constexpr std::size_t kMemoriaPagine = 2 * 1024 * 1024;

    // The font a recorded font is drawn and measured with: its pixel size is in twips,
    // so it is drawn on a painter whose unit is the twip.
    static QFont FontTwips(const CarattereStampa& c);

private:
    friend struct AccessoDocumentoStampa;
    void impostaMargine(int i, const Misura& m);
    bool twips(const Misura& m, double* v) const;
    quint32 stileCorrente();
    quint32 indiceImmagine(const QImage& img);
    PaginaStampa* paginaCorrente();
    void aggiungi(Operazione op);
    void paginaFinita();
    // A finished page read from a file, at the end of the document.
    void aggiungiPaginaFinita(PaginaStampa&& p);
    // Moves the first `n` pages held in memory to disk (or, when they were handed over,
    // lets them go); false when the disk refuses, and they stay.
    bool archivia(std::size_t n, bool consegnate = false);
    const PaginaStampa& paginaArchiviata(std::size_t indice) const;
    // The metrics of the current font (null without a font database), kept per font.
    const QFontMetricsF* metricheCarattere() const;

    InfoStampante stampante_;
    int orientamento_ = 0;
    double margini_[4] = {0, 0, 0, 0};
    double x_ = 0, y_ = 0;
    double twipsPerPixel_ = 15;
    double risoluzione_ = 0;
    RiduzioneBarre riduzione_;
    StampanteTermica termica_;
    std::vector<QRectF> fasce_;
    bool aperto_ = false;
    bool formatoEsteso_ = false;  // an operation or style of print file version 3 was recorded
    bool ruotata_ = false;        // the page being drawn is turning what is drawn

    CarattereStampa carattere_;
    StileStampa stile_;  // its `carattere` is resolved when a style is recorded
    bool stileValido_ = false;
    quint32 indiceStile_ = 0;

    // Pages from `base_` on are in memory; before it, on disk at `posizioni_` (-1: handed over).
    std::deque<PaginaStampa> pagine_;
    std::size_t base_ = 0;
    std::size_t memoriaPagine_ = 0;  // of the finished pages in memory
    std::vector<qint64> posizioni_;
    std::unique_ptr<QTemporaryFile> archivio_;
    bool archivioGuasto_ = false;  // the disk refused: pages stay in memory
    mutable std::deque<std::pair<std::size_t, PaginaStampa>> letture_;
    RicevitorePagine ricevitore_;
    std::vector<StileStampa> stili_;
    std::vector<CarattereStampa> caratteri_;
    std::vector<QImage> immagini_;
    QHash<StileStampa, quint32> indiceStili_;
    bool carattereValido_ = false;
    quint32 indiceCarattere_ = 0;
    mutable std::vector<std::pair<CarattereStampa, QFontMetricsF>> metriche_;
    QHash<qint64, quint32> immaginiPerChiave_;
    QMultiHash<size_t, quint32> immaginiPerContenuto_;
};

}  // namespace cartigo
