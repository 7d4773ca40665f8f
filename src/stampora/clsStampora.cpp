#include "stampora/clsStampora.h"

#include <algorithm>
#include <QFile>
#include <QThread>

#include "label/Colori.h"
#include "label/Conversioni.h"
#include "label/Locale.h"
#include "shell/StringTable.h"
#include "stampora/AzioniOutput.h"
#include "stampora/FileIni.h"
#include "stampora/FileStampa.h"
#include "stampora/PortaGrezza.h"
#include "stampora/RichiesteStampora.h"

namespace cartigo {

namespace {

constexpr double kMargineDefault = 170.1;  // twips, 0.3 cm
constexpr double kTwipsPerCm = 567.0;

// Margin keys of "Stampora.ini", in the order they are read and written.
const char* const kChiaviMargini[4] = {"Margine superiore", "Margine inferiore", "Margine destro", "Margine sinistro"};

double leggiMargine(const QString& file, const char* chiave)
{
    const QString testo = modCartigo::GetKeyIni(file, QString::fromLatin1(chiave));
    double v = 0;
    try {
        // Written with the decimal separator of whoever ran last, never grouped.
        v = modCartigo::ConvertiDouble(testo, ImpostazioniLocali::correnti(), modCartigo::Lettura::File);
    } catch (...) {
        v = 0;
    }
    if (!std::isfinite(v) || v <= 0) return kMargineDefault;
    return v * kTwipsPerCm;
}

// The printer's raw port last sent to in this session, which the dialog offers again.
QString& ultimoIndirizzoZpl()
{
    static QString indirizzo;
    return indirizzo;
}

}  // namespace

clsStampora::clsStampora(Interazione& ui) : ui_(ui), output_(std::make_shared<DocumentoStampa>())
{
    SetScaleMode(6);
    drawWidth_ = 0;
    output_->SetPenWidth(0);
    copies_ = 1;
    offsetX_ = offsetY_ = 0;

    const QString ini = modCartigo::FileIniStampora();
    output_->SetMarginTop(leggiMargine(ini, kChiaviMargini[0]));
    output_->SetMarginBottom(leggiMargine(ini, kChiaviMargini[1]));
    output_->SetMarginRight(leggiMargine(ini, kChiaviMargini[2]));
    output_->SetMarginLeft(leggiMargine(ini, kChiaviMargini[3]));

    fontName_ = output_->FontName();
    fontSize_ = output_->FontSize();
    output_->StartDoc();
}

clsStampora::~clsStampora()
{
    output_->InoltraPagine(nullptr);  // the document may outlive the engine
    const QString ini = modCartigo::FileIniStampora();
    const QChar dec = ImpostazioniLocali::correnti().decimale;
    const double margini[4] = {output_->MarginTop(), output_->MarginBottom(), output_->MarginRight(),
                               output_->MarginLeft()};
    // An unwritable settings file only means the margins are not remembered.
    QList<QPair<QString, QString>> valori;
    for (int i = 0; i < 4; ++i)
        valori.append({QString::fromLatin1(kChiaviMargini[i]), modCartigo::FormatoDueDecimali(margini[i] / kTwipsPerCm, dec)});
    modCartigo::SetKeysIni(ini, valori);
}

// ---- properties ----

int clsStampora::DrawStyle() const
{
    return output_->PenStyle();
}

void clsStampora::SetDrawStyle(int v)
{
    drawStyle_ = v;
    output_->SetPenWidth(0);
    output_->SetPenStyle(v);
}

double clsStampora::DrawWidth() const
{
    return output_->PenWidth();
}

void clsStampora::SetDrawWidth(double pixel)
{
    drawWidth_ = pixel;
    output_->SetPenWidth(Misura(pixel, Unita::Pixel));
}

int clsStampora::FillStyle() const
{
    const int b = output_->BrushStyle();
    return (b == 0 || b == 1) ? b : fillStyle_;
}

void clsStampora::SetFillStyle(int v)
{
    fillStyle_ = v;
    if (v == 0 || v == 1) output_->SetBrushStyle(v);
}

int clsStampora::BrushStyle() const
{
    return output_->BrushStyle();
}

void clsStampora::SetBrushStyle(int v)
{
    brushStyle_ = v;
    output_->SetBrushStyle(v);
}

qint32 clsStampora::BrushColor() const
{
    return static_cast<qint32>(output_->BrushColor());
}

void clsStampora::SetBrushColor(qint32 c)
{
    brushColor_ = c;
    output_->SetBrushColor(static_cast<quint32>(c));
}

qint32 clsStampora::TextColor() const
{
    return static_cast<qint32>(output_->TextColor());
}

void clsStampora::SetTextColor(qint32 c)
{
    textColor_ = c;
    output_->SetTextColor(static_cast<quint32>(c));
}

// The engine's alignment is 0 left, 1 right, 2 centre; the output's 0 left, 1 centre, 2 right.
int clsStampora::TextAlign() const
{
    switch (output_->TextAlign()) {
        case 1:
            return 2;
        case 2:
            return 1;
        default:
            return 0;
    }
}

void clsStampora::SetTextAlign(int v)
{
    textAlign_ = v;
    switch (v) {
        case 0:
            output_->SetTextAlign(0);
            break;
        case 1:
            output_->SetTextAlign(2);
            break;
        case 2:
            output_->SetTextAlign(1);
            break;
        default:
            break;
    }
}

int clsStampora::Orientation() const
{
    return output_->Orientation() == 1 ? 2 : 1;
}

void clsStampora::SetOrientation(int v)
{
    if (v == 1)
        output_->SetOrientation(0);
    else if (v == 2)
        output_->SetOrientation(1);
}

double clsStampora::Width() const
{
    return output_->PageWidth();
}
double clsStampora::Height() const
{
    return output_->PageHeight();
}
int clsStampora::Page() const
{
    return output_->CurrentPage();
}
int clsStampora::Pages() const
{
    return output_->PageCount();
}

void clsStampora::SetScaleMode(int v)
{
    scaleMode_ = v;
    switch (v) {
        case 1:
            unita_ = Unita::Twip;
            break;
        case 2:
            unita_ = Unita::Punto;
            break;
        case 3:
            unita_ = Unita::Pixel;
            break;
        case 5:
            unita_ = Unita::Pollice;
            break;
        case 6:
            unita_ = Unita::Millimetro;
            break;
        case 7:
            unita_ = Unita::Centimetro;
            break;
        default:
            break;  // the unit name stays
    }
}

double clsStampora::TwipsPerUnit() const
{
    switch (scaleMode_) {
        case 1:
            return 1;
        case 2:
            return 20;
        case 3:
            return output_->TwipsPerPixel();
        case 5:
            return 1440;
        case 6:
            return 56.7;
        case 7:
            return 567;
        default:
            return 0;
    }
}

QString clsStampora::FontName() const
{
    return output_->FontName();
}

void clsStampora::SetFontName(const QString& nome)
{
    fontName_ = nome;
    output_->SetFontName(nome);
}

void clsStampora::SetFontSize(float punti)
{
    if (!(punti >= 4))  // also a value that is not a number
        punti = 4;
    fontSize_ = punti;
    output_->SetFontSize(punti);
}

bool clsStampora::FontBold() const
{
    return output_->FontBold();
}

void clsStampora::SetFontBold(bool b)
{
    fontBold_ = b;
    output_->SetFontBold(b);
}

bool clsStampora::FontItalic() const
{
    return output_->FontItalic();
}

void clsStampora::SetFontItalic(bool b)
{
    fontItalic_ = b;
    output_->SetFontItalic(b);
}

void clsStampora::SetCurrentX(float v)
{
    currentX_ = v;
    output_->SetCurrentX(InUnita(static_cast<double>(v) + offsetX_));
}

void clsStampora::SetCurrentY(float v)
{
    currentY_ = v;
    output_->SetCurrentY(InUnita(static_cast<double>(v) + offsetY_));
}

// The output's position becomes the stored position plus the new offset, both in user units.
void clsStampora::SetOffsetX(double v)
{
    offsetX_ = v;
    output_->SetCurrentX(InUnita(static_cast<double>(currentX_) + offsetX_));
}

void clsStampora::SetFasceEtichette(const std::vector<QRectF>& fasce)
{
    const double tpp = output_->TwipsPerPixel();
    std::vector<QRectF> twips;
    for (const QRectF& r : fasce)
        twips.emplace_back(QPointF(InUnita(r.left() + offsetX_).Twips(tpp), InUnita(r.top() + offsetY_).Twips(tpp)),
                           QPointF(InUnita(r.right() + offsetX_).Twips(tpp), InUnita(r.bottom() + offsetY_).Twips(tpp)));
    output_->SetFasceEtichette(std::move(twips));
}

void clsStampora::SetOffsetY(double v)
{
    offsetY_ = v;
    output_->SetCurrentY(InUnita(static_cast<double>(currentY_) + offsetY_));
}

// ---- methods ----

int clsStampora::SelectPrintDestination()
{
    ui_.cursoreNormale();
    RichiestaDestinazioneStampa dlg;
    // A failure while asking (a printer that cannot be queried, a dialog that fails)
    // leaves the dialog's values as they stand.
    auto senzaErrori = [](auto&& f) {
        try {
            f();
        } catch (...) {
        }
    };
    for (;;) {
        dlg.Copies = copies_;
        dlg.CurrentPrinter = output_->Device();
        dlg.Port = output_->Port();
        dlg.FileProtetti = fileProtetti_;
        dlg.CartellaFile = cartellaFile_;
        dlg.RisoluzioneZpl = risoluzioneZpl_ > 0 ? risoluzioneZpl_ : kRisoluzioneZplPredefinita;
        if (dlg.IndirizzoZpl.isEmpty()) dlg.IndirizzoZpl = ultimoIndirizzoZpl();
        // Closing the dialog any other way than with its buttons cancels.
        dlg.DestinazioneStampa = 0;
        senzaErrori([&] { ui_.dialogo(dlg); });
        if (dlg.Copies >= 1 && dlg.Copies <= kCopieMassime) copies_ = static_cast<qint16>(dlg.Copies);
        if (dlg.DestinazioneStampa == -2) {
            senzaErrori([&] { AzioneOutput(*output_, 2, ui_); });
            continue;
        }
        if (dlg.DestinazioneStampa == -1) {
            senzaErrori([&] { AzioneOutput(*output_, 13, ui_); });
            continue;
        }
        break;
    }
    const int d = dlg.DestinazioneStampa;
    int risultato = (d >= 0 && d <= 3) ? d : 0;
    // The dialog refuses these itself; an answer that comes another way is checked here.
    if (risultato == 3 && FileStampaProtetto(dlg.FileName, fileProtetti_, ui_)) risultato = 0;
    if (risultato == 3) fileName_ = dlg.FileName;
    if (risultato == 3 && dlg.FormatoFile != FormatoFileStampa::DalNome) formatoFile_ = dlg.FormatoFile;
    invioZpl_ = 0;
    cartellaInvio_.reset();
    if (d == kDestinazionePortaZpl) ultimoIndirizzoZpl() = dlg.IndirizzoZpl;
    if (d == kDestinazionePortaZpl || d == kDestinazioneCodaZpl) {
        // The job goes into a file of its own first, then to the printer.
        cartellaInvio_ = std::make_unique<QTemporaryDir>();
        if (cartellaInvio_->isValid()) {
            invioZpl_ = d;
            destinatarioZpl_ = d == kDestinazionePortaZpl ? dlg.IndirizzoZpl : dlg.CurrentPrinter;
            fileName_ = cartellaInvio_->filePath(QStringLiteral("lavoro.zpl"));
            formatoFile_ = FormatoFileStampa::Zpl;
            risultato = 3;
        } else {
            SegnalaErroreSalvataggio(cartellaInvio_->path(), cartellaInvio_->errorString(), ui_);
        }
    }
    if (risultato == 3 && dlg.RisoluzioneZpl > 0 && FormatoEffettivo(fileName_, formatoFile_) == FormatoFileStampa::Zpl)
        risoluzioneZpl_ = dlg.RisoluzioneZpl;
    destinazione_ = risultato;
    return risultato;
}

double clsStampora::RisoluzioneDestinazione() const
{
    const bool zpl = destinazione_ == 3 && !fileName_.isEmpty() &&
                     FormatoEffettivo(fileName_, formatoFile_) == FormatoFileStampa::Zpl;
    return zpl ? risoluzioneZpl_ : 0;
}

bool clsStampora::inviaZpl()
{
    const QString dove = destinatarioZpl_;
    const QString file = fileName_;
    const QString titolo = output_->TitoloLavoro;
    const int secondi = tempoInvio_;
    const bool porta = invioZpl_ == kDestinazionePortaZpl;
    QString errore;
    bool ok = false;
    // The printer is spoken to on a thread of its own, so the windows keep answering.
    std::unique_ptr<QThread> invio(QThread::create([&] {
        if (porta) {
            QFile dati(file);
            const auto indirizzo = LeggiIndirizzoPorta(dove);
            if (!indirizzo)
                errore = LoadResString(1914);
            else if (!dati.open(QIODevice::ReadOnly))
                errore = dati.errorString();
            else
                ok = InviaPortaGrezza(*indirizzo, dati, secondi, &errore);
        } else if (DispositivoStampa* d = DispositivoCorrente()) {
            ok = d->StampaGrezza(dove, file, titolo, &errore);
        } else {
            errore = LoadResString(1432);
        }
    }));
    invio->start();
    const QString testo = LoadResString(3195).arg(dove);
    while (!invio->wait(50))
        if (InAttesa) InAttesa(testo);
    if (!ok) {
        ui_.cursoreNormale();
        ui_.messaggio(LoadResString(1441).arg(dove, errore), TitoloStampora(), Pulsanti::Ok, Icona::Esclamazione);
    } else if (Inviato) {
        Inviato(dove);
    }
    return ok;
}

bool clsStampora::PaginaOltrePdf() const
{
    const bool pdf = destinazione_ == 2 || (destinazione_ == 3 && !fileName_.isEmpty() &&
                                            FormatoEffettivo(fileName_, formatoFile_) == FormatoFileStampa::Pdf);
    return pdf && !(output_->PageWidth() <= kLatoMassimoPdf && output_->PageHeight() <= kLatoMassimoPdf);
}

void clsStampora::StartDoc()
{
    output_->StartDoc();
    pdf_.reset();
    zpl_.reset();
    anteprimaChiusa_.reset();
    if (destinazione_ == 3 && !fileName_.isEmpty() &&
        FormatoEffettivo(fileName_, formatoFile_) == FormatoFileStampa::Pdf) {
        pdf_ = std::make_unique<FilePdfProgressivo>(fileName_);
        output_->InoltraPagine([pdf = pdf_.get()](const DocumentoStampa& d, int i) { pdf->Pagina(d, i); });
    } else if (destinazione_ == 3 && !fileName_.isEmpty() &&
               FormatoEffettivo(fileName_, formatoFile_) == FormatoFileStampa::Zpl) {
        // Each label goes to the file as it is finished, that many times (^PQ).
        zpl_ = std::make_unique<FileZplProgressivo>(fileName_, 0, copies_);
        output_->InoltraPagine([zpl = zpl_.get()](const DocumentoStampa& d, int i) { zpl->Pagina(d, i); });
    }
}

void clsStampora::NewPage()
{
    output_->NewPage();
    if (destinazione_ == 1 && !anteprimaChiusa_ && output_->InDocumento()) {
        anteprimaChiusa_ = std::make_shared<bool>(false);
        RichiestaAnteprima r;
        r.Documento = output_;
        r.InCorso = true;
        r.Chiusa = anteprimaChiusa_;
        ui_.dialogo(r);
    }
}

bool clsStampora::EndDoc()
{
    messaggiBarcode_.clear();
    output_->EndDoc();
    switch (destinazione_) {
        case 0:
            output_->KillDoc();
            return true;
        case 1: {
            ui_.cursoreNormale();
            if (AnteprimaChiusa()) return true;  // closed before the last page came
            RichiestaAnteprima r;
            r.Documento = output_;
            ui_.dialogo(r);
            return true;
        }
        case 2:
            // One job: the printer makes the copies.
            return StampaOutput(*output_, 1, output_->PageCount(), ui_, copies_);
        case 3: {
            ui_.cursoreAttesa();
            bool ok = true;
            if (pdf_) {
                QString errore;
                ok = pdf_->Conferma(*output_, &errore);
                output_->InoltraPagine(nullptr);
                pdf_.reset();
                if (!ok) SegnalaErroreSalvataggio(fileName_, errore, ui_);
            } else if (zpl_) {
                QString errore;
                ok = zpl_->Conferma(*output_, &errore);
                output_->InoltraPagine(nullptr);
                zpl_.reset();
                if (!ok) SegnalaErroreSalvataggio(fileName_, errore, ui_);
                if (ok && invioZpl_) {
                    ok = inviaZpl();
                    ui_.cursoreNormale();
                    return ok;
                }
            } else {
                ok = SalvaOutput(*output_, fileName_, ui_, formatoFile_);
            }
            ui_.cursoreNormale();
            if (ok && FileScritto) FileScritto(fileName_);
            return ok;
        }
        default:
            return true;
    }
}

void clsStampora::KillDoc()
{
    messaggiBarcode_.clear();
    output_->KillDoc();
    pdf_.reset();  // the file is abandoned: an old one stays as it was
    zpl_.reset();
    anteprimaChiusa_.reset();
}

void clsStampora::DrawEANBarCode(const QString& strEANCode, double x, double Y, double Width, double Height,
                                 PosizioneTestoBarcode posizione)
{
    disegnaBarcode(
        [&](const RiquadroBarcode& r, const MisuraTestoBarcode& m) { return DisegnoEAN(strEANCode, r, m, posizione); },
        x, Y, Width, Height);
}

void clsStampora::Draw39Barcode(const QString& strBarcode, double x, double Y, double Width, double Height,
                                PosizioneTestoBarcode posizione)
{
    disegnaBarcode(
        [&](const RiquadroBarcode& r, const MisuraTestoBarcode& m) { return Disegno39(strBarcode, r, m, posizione); },
        x, Y, Width, Height);
}

void clsStampora::DrawBarcode(const ParametriBarcode& parametri, const QString& codice, double x, double Y,
                              double Width, double Height)
{
    // No data draws nothing: said once a document, like data the symbol refuses.
    if (codice.isEmpty()) {
        const QString titolo = NomeTipoBarcode(parametri.tipo);
        if (!messaggiBarcode_.contains(QStringLiteral("\n"))) {
            messaggiBarcode_.insert(QStringLiteral("\n"));
            QString testo = LoadResString(1607);
            if (!riferimentoBarcode_.isEmpty()) testo += QStringLiteral("\r\r") + riferimentoBarcode_;
            ui_.messaggio(testo, titolo, Pulsanti::Ok, Icona::Esclamazione);
        }
        return;
    }
    disegnaBarcode(
        [&](const RiquadroBarcode& r, const MisuraTestoBarcode& m) { return DisegnoSimbolo(parametri, codice, r, m); },
        x, Y, Width, Height);
}

void clsStampora::disegnaBarcode(const Disegnatore& disegna, double x, double y, double w, double h)
{
    DocumentoStampa& o = *output_;
    const StatoOutput stato = o.Stato();
    // The human-readable line's font is in force while the layout measures it.
    o.SetFontName(QString::fromLatin1(kFontBarcode));
    o.SetFontSize(float(kPuntiFontBarcode));
    o.SetFontBold(kGrassettoFontBarcode);
    o.SetFontItalic(false);
    o.SetTextAlign(kAllineamentoTestoBarcode);
    const MisuraTestoBarcode misura = [&o](const QString& t) { return QSizeF(o.TextWidth(t), o.TextHeight(t)); };
    const DisegnoBarcode d = disegna(RiquadroBarcode{x, y, w, h, offsetX_, offsetY_}, misura);
    // One message per kind and reason in a document, naming where the first one came from.
    const QString chiave = d.titolo + QLatin1Char('\n') + d.messaggio;
    if (!d.messaggio.isEmpty() && !messaggiBarcode_.contains(chiave)) {
        messaggiBarcode_.insert(chiave);
        QString testo = d.messaggio;
        if (!d.dettaglio.isEmpty()) testo += QLatin1Char('\r') + d.dettaglio;
        if (!riferimentoBarcode_.isEmpty()) testo += QStringLiteral("\r\r") + riferimentoBarcode_;
        ui_.messaggio(testo, d.titolo, Pulsanti::Ok, Icona::Esclamazione);
    }
    // The symbol goes to the document as it is: each device lays it out for itself.
    if (d.simbolo.tipo >= 0) {
        o.SetPenStyle(d.stilePenna);
        o.SetPenColor(quint32(ColoreVB(d.colorePenna)));
        o.SetPenWidth(Misura(0));
        o.SetBrushStyle(d.stilePennello);
        o.SetBrushColor(quint32(ColoreVB(QColor(Qt::black))));
        o.SetTextColor(quint32(ColoreVB(d.coloreTesto)));
        o.DrawSymbol(d.simbolo);
    }
    o.RipristinaStato(stato);
}

void clsStampora::DrawLine(double X1, double Y1, double X2, double Y2, std::optional<qint32> Color,
                           std::optional<QString> TipoLinea, std::optional<qint32> PenColor,
                           std::optional<int> PenWidth)
{
    DocumentoStampa& o = *output_;
    const quint32 colorePenna = o.PenColor();
    const double spessore = o.PenWidth();
    o.SetPenStyle(0);
    if (Color) o.SetBrushColor(static_cast<quint32>(*Color));
    if (PenColor) o.SetPenColor(static_cast<quint32>(*PenColor));
    if (PenWidth) {
        switch (*PenWidth) {
            case 1:
                o.SetPenWidth(0);
                break;
            case 2:
                o.SetPenWidth(Misura(.4, Unita::Millimetro));
                break;
            case 3:
                o.SetPenWidth(Misura(.8, Unita::Millimetro));
                break;
            default:
                break;
        }
    }
    const Misura x1 = InUnita(X1 + offsetX_), y1 = InUnita(Y1 + offsetY_);
    const Misura x2 = InUnita(X2 + offsetX_), y2 = InUnita(Y2 + offsetY_);
    if (!TipoLinea) {
        o.DrawLine(x1, y1, x2, y2);
    } else if (*TipoLinea == QLatin1String("B")) {
        o.SetBrushStyle(1);
        o.DrawRectangle(x1, y1, x2, y2);
    } else if (*TipoLinea == QLatin1String("BF")) {
        o.SetBrushStyle(0);
        o.DrawRectangle(x1, y1, x2, y2);
    }
    o.SetPenColor(colorePenna);
    o.SetPenWidth(spessore);
}

void clsStampora::DrawCircle(double X1, double Y1, double Radius)
{
    output_->SetBrushStyle(1);
    output_->DrawCircle(InUnita(X1 + offsetX_), InUnita(Y1 + offsetY_), InUnita(Radius));
}

void clsStampora::DrawForma(bool ellisse, double X1, double Y1, double X2, double Y2, qint32 colore,
                            double spessoreMm, int tratto, std::optional<qint32> riempimento)
{
    DocumentoStampa& o = *output_;
    const StatoOutput stato = o.Stato();
    o.SetPenStyle(tratto == 1 ? 1 : tratto == 2 ? 2 : 0);
    o.SetPenColor(static_cast<quint32>(colore));
    o.SetPenWidth(Misura(std::max(0.0, spessoreMm), Unita::Millimetro));
    o.SetBrushStyle(riempimento ? 0 : 1);
    if (riempimento) o.SetBrushColor(static_cast<quint32>(*riempimento));
    const Misura x1 = InUnita(X1 + offsetX_), y1 = InUnita(Y1 + offsetY_);
    const Misura x2 = InUnita(X2 + offsetX_), y2 = InUnita(Y2 + offsetY_);
    if (ellisse)
        o.DrawEllipse(x1, y1, x2, y2);
    else
        o.DrawLine(x1, y1, x2, y2);
    o.RipristinaStato(stato);
}

void clsStampora::Ruota(double X, double Y, int gradi)
{
    output_->Ruota(InUnita(X + offsetX_), InUnita(Y + offsetY_), gradi);
}

void clsStampora::DrawText(const std::optional<QString>& TextToPrint)
{
    DocumentoStampa& o = *output_;
    const double sinistro = o.MarginLeft();
    const double superiore = o.MarginTop();
    o.SetMarginLeft(o.CurrentX());
    if (o.CurrentY() < superiore && o.CurrentY() < o.PaperHeight() - o.MarginBottom()) o.SetMarginTop(o.CurrentY());
    o.Text(TextToPrint.value_or(QString()) + QLatin1Char('\r'));
    o.SetMarginLeft(sinistro);
    o.SetMarginTop(superiore);
}

void clsStampora::DrawTextBox(const QString& TextToPrint, float x, float Y, float Width, float Height, bool Shade)
{
    output_->SetPenStyle(5);
    output_->TextBox(TextToPrint, InUnita(static_cast<double>(x) + offsetX_),
                     InUnita(static_cast<double>(Y) + offsetY_), InUnita(Width), InUnita(Height), Shade);
}

void clsStampora::PaintPicture(const QImage& Picture, double X1, double Y1, std::optional<double> Width,
                               std::optional<double> Height)
{
    std::optional<Misura> w, h;
    if (Width) w = InUnita(*Width);
    if (Height) h = InUnita(*Height);
    output_->DrawPicture(Picture, InUnita(X1 + offsetX_), InUnita(Y1 + offsetY_), w, h);
}

}  // namespace cartigo
