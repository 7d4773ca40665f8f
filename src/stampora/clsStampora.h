#pragma once
// The print engine: a printer-like drawing vocabulary in user units on top of the
// output document. A print job creates one, asks for a destination, draws, and ends
// the document, which is then printed once per copy, previewed, or saved to a file.
// Margins persist in "Stampora.ini" between runs.

#include "barcode/DisegnoBarcode.h"
#include "shell/Interazione.h"
#include "stampora/DocumentoStampa.h"
#include "stampora/FileStampa.h"
#include "stampora/ScrittoreZpl.h"

#include <QImage>
#include <QSet>
#include <QTemporaryDir>
#include <functional>
#include <QString>
#include <memory>
#include <optional>

namespace cartigo {

class clsStampora {
public:
    // Reads the margins from "Stampora.ini" and starts a document.
    explicit clsStampora(Interazione& ui);
    // Writes the margins back to "Stampora.ini".
    ~clsStampora();
    clsStampora(const clsStampora&) = delete;
    clsStampora& operator=(const clsStampora&) = delete;

    // The output document everything is drawn into.
    DocumentoStampa& Output() { return *output_; }
    const DocumentoStampa& Output() const { return *output_; }
    std::shared_ptr<DocumentoStampa> OutputCondiviso() const { return output_; }
    Interazione& Ui() { return ui_; }

    // ---- properties ----
    const QString& FileName() const { return fileName_; }
    void SetFileName(const QString& f) { fileName_ = f; }
    // The format of the print file (by default by its name).
    void SetFormatoFile(FormatoFileStampa f) { formatoFile_ = f; }
    // The files printed from (the label, its database), which no print file may replace.
    void SetFileProtetti(const QStringList& f) { fileProtetti_ = f; }
    // Where the print file dialog opens when no file was chosen before in this session.
    void SetCartellaFile(const QString& c) { cartellaFile_ = c; }
    // Told the name of each print file written, once it is complete.
    std::function<void(const QString& file)> FileScritto;
    // The resolution ZPL is made for that the destination dialog starts with (the job's,
    // else 203 dpi); once ZPL is chosen, the one chosen.
    void SetRisoluzioneZpl(double dpi) { risoluzioneZpl_ = dpi; }
    // The resolution the chosen destination fixes: a ZPL output's; 0 for the others.
    double RisoluzioneDestinazione() const;
    // Seconds a printer's raw port has to take the connection and each part of a ZPL job.
    void SetTempoInvio(int secondi) { tempoInvio_ = secondi; }
    // Told, every few tens of milliseconds while a ZPL job goes to a printer, what is
    // happening ("Sending to ..."): the print job keeps its wait window up with it.
    std::function<void(const QString& testo)> InAttesa;
    // Told where a ZPL job went (the printer's address or queue) once the printer has it.
    std::function<void(const QString& dove)> Inviato;
    int DrawStyle() const;
    void SetDrawStyle(int v);
    double DrawWidth() const;  // the output's pen width (twips)
    void SetDrawWidth(double pixel);
    int FillStyle() const;
    void SetFillStyle(int v);
    int BrushStyle() const;
    void SetBrushStyle(int v);
    qint32 BrushColor() const;
    void SetBrushColor(qint32 c);
    qint32 TextColor() const;
    void SetTextColor(qint32 c);
    int TextAlign() const;  // 0 left, 1 right, 2 centre
    void SetTextAlign(int v);
    int Orientation() const;  // 1 portrait, 2 landscape
    void SetOrientation(int v);
    double Width() const;  // page width in twips as oriented
    double Height() const;
    int Page() const;
    int Pages() const;
    qint16 Copies() const { return copies_; }
    // True when the device makes the copies from one drawing of each label: a printer, or
    // ZPL (^PQ); a job whose copies differ must draw each copy itself there.
    bool CopieDalDispositivo() const { return destinazione_ == 2 || RisoluzioneDestinazione() > 0; }
    void SetCopies(qint16 c) { copies_ = c; }
    int ScaleMode() const { return scaleMode_; }
    void SetScaleMode(int v);
    int PrintDestination() const { return destinazione_; }
    // True when the destination gets a PDF (a PDF file, or a printer: its print server
    // takes one) and the page is longer than a PDF page may be.
    bool PaginaOltrePdf() const;
    void SetPrintDestination(int v) { destinazione_ = v; }
    QString FontName() const;
    void SetFontName(const QString& nome);
    float FontSize() const { return fontSize_; }
    void SetFontSize(float punti);  // below 4 becomes 4
    bool FontBold() const;
    void SetFontBold(bool b);
    bool FontItalic() const;
    void SetFontItalic(bool b);
    float CurrentX() const { return currentX_; }
    void SetCurrentX(float v);
    float CurrentY() const { return currentY_; }
    void SetCurrentY(float v);
    double OffsetX() const { return offsetX_; }
    void SetOffsetX(double v);
    double OffsetY() const { return offsetY_; }
    void SetOffsetY(double v);
    // The rows of labels of a sheet, in user units before the offsets, for the output
    // (DocumentoStampa::FasceEtichette); none for a roll.
    void SetFasceEtichette(const std::vector<QRectF>& fasce);

    // The unit name coordinates travel with ("mm" by default) and its twips per unit
    // (0 for a scale mode outside the table).
    QString UnitName() const { return NomeUnita(unita_); }
    Unita UnitaCorrente() const { return unita_; }
    double TwipsPerUnit() const;
    // A value in user units as a measurement for the output.
    Misura InUnita(double v) const { return Misura(v, unita_); }

    // ---- methods ----
    // Shows the destination dialog (with the page and printer set-up loop) and returns
    // 0 cancelled, 1 preview, 2 printer or 3 file. ZPL sent to a printer (its raw port,
    // or its queue as a raw job) is a ZPL file, 3, written into a temporary folder and
    // sent by EndDoc. A print file that is one of the files
    // printed from is refused with a message, and cancels.
    int SelectPrintDestination();
    // Starts the document. Once the destination is a PDF file, the pages go to the file
    // as they are finished rather than staying in the document.
    void StartDoc();
    // For the preview, the window opens as soon as the first page is finished and shows
    // the pages as they are finished.
    void NewPage();
    // True once the user closed the preview opened while the job records: the job stops.
    bool AnteprimaChiusa() const { return anteprimaChiusa_ && *anteprimaChiusa_; }
    // Ends the document and delivers it to the destination. False when printing or
    // saving failed (the user has been told).
    bool EndDoc();
    void KillDoc();

    void DrawLine(double X1, double Y1, double X2, double Y2, std::optional<qint32> Color = std::nullopt,
                  std::optional<QString> TipoLinea = std::nullopt, std::optional<qint32> PenColor = std::nullopt,
                  std::optional<int> PenWidth = std::nullopt);
    void DrawCircle(double X1, double Y1, double Radius);
    // A line from (X1, Y1) to (X2, Y2), or with `ellisse` the ellipse in the box of those
    // corners filled with `riempimento` when given: the outline in `colore`, `spessoreMm`
    // thick (0 for the thinnest line the device draws), solid, dashed or dotted (`tratto`
    // 0, 1, 2). The drawing state is the same afterwards.
    void DrawForma(bool ellisse, double X1, double Y1, double X2, double Y2, qint32 colore, double spessoreMm,
                   int tratto, std::optional<qint32> riempimento = std::nullopt);
    // What is drawn next turns `gradi` clockwise (90, 180, 270) about (X, Y); 0 ends the turn.
    void Ruota(double X, double Y, int gradi);
    // The text boxes' layout bits (ImpaginazioneCasella in DocumentoStampa.h).
    void SetImpaginazioneTesto(int bit) { output_->SetImpaginazioneTesto(bit); }
    void DrawText(const std::optional<QString>& TextToPrint = std::nullopt);
    void DrawTextBox(const QString& TextToPrint, float x, float Y, float Width, float Height, bool Shade);
    void PaintPicture(const QImage& Picture, double X1, double Y1, std::optional<double> Width = std::nullopt,
                      std::optional<double> Height = std::nullopt);

    // Barcodes into a box in user units (millimetres in the print job), with the
    // human-readable line below, above or hidden. The drawing state is the same
    // afterwards. A rejected EAN code shows its message once per document.
    void DrawEANBarCode(const QString& strEANCode, double x, double Y, double Width, double Height,
                        PosizioneTestoBarcode posizione = PosizioneTestoBarcode::Sotto);
    void Draw39Barcode(const QString& strBarcode, double x, double Y, double Width, double Height,
                       PosizioneTestoBarcode posizione = PosizioneTestoBarcode::Sotto);
    // A barcode object's symbol, of any kind its settings name (ParametriBarcode.h), as
    // rectangles; data its kind refuses draw nothing and show their message once per
    // document.
    void DrawBarcode(const ParametriBarcode& parametri, const QString& codice, double x, double Y, double Width,
                     double Height);
    // Where the next codes come from (such as the record that feeds them), added under a
    // rejected code's message; empty for none.
    void SetRiferimentoBarcode(const QString& riferimento) { riferimentoBarcode_ = riferimento; }

private:
    Interazione& ui_;
    std::shared_ptr<DocumentoStampa> output_;
    Unita unita_ = Unita::Millimetro;
    int scaleMode_ = 6;
    float currentX_ = 0, currentY_ = 0;
    double offsetX_ = 0, offsetY_ = 0;
    double drawWidth_ = 0;
    int drawStyle_ = 0, fillStyle_ = 0, brushStyle_ = 0, textAlign_ = 0;
    qint32 brushColor_ = 0, textColor_ = 0;
    QString fontName_;
    float fontSize_ = 10;
    bool fontBold_ = false, fontItalic_ = false;
    qint16 copies_ = 1;
    int destinazione_ = 0;
    QString riferimentoBarcode_;
    QString fileName_;
    FormatoFileStampa formatoFile_ = FormatoFileStampa::DalNome;
    QStringList fileProtetti_;
    QString cartellaFile_;
    QSet<QString> messaggiBarcode_;  // barcode messages already shown in this document
    double risoluzioneZpl_ = 0;
    int tempoInvio_ = 30;
    int invioZpl_ = 0;  // 0, or the destination that sends the ZPL file (kDestinazionePortaZpl, ...)
    QString destinatarioZpl_;  // the printer's address, or its queue
    std::unique_ptr<QTemporaryDir> cartellaInvio_;
    // Sends the ZPL file to its printer (the time limit bounds it); false, after telling
    // the user, on failure.
    bool inviaZpl();
    // A document started for a PDF file goes to it page by page as it is drawn.
    std::unique_ptr<FilePdfProgressivo> pdf_;
    std::unique_ptr<FileZplProgressivo> zpl_;
    // Set once the preview was opened on the document being recorded.
    std::shared_ptr<bool> anteprimaChiusa_;

    // Lays a barcode out with `disegna` (given the box and the text measure) and draws it.
    using Disegnatore = std::function<DisegnoBarcode(const RiquadroBarcode&, const MisuraTestoBarcode&)>;
    void disegnaBarcode(const Disegnatore& disegna, double x, double y, double w, double h);
};

}  // namespace cartigo
