#include "designer/DescrizioneOggetto.h"

#include "barcode/ParametriBarcode.h"
#include "label/Colori.h"
#include "label/DocumentoEtichetta.h"
#include "label/Locale.h"
#include "shell/StringTable.h"

#include <QLocale>

namespace cartigo::DescrizioneOggetto {

QString NomeTipo(TipoOggetto tipo)
{
    switch (tipo) {
        case TipoOggetto::Testo:
            return LoadResString(1560);
        case TipoOggetto::Barcode:
            return LoadResString(1561);
        case TipoOggetto::Immagine:
            return LoadResString(1562);
        case TipoOggetto::Linea:
            return LoadResString(1567);
        case TipoOggetto::Ellisse:
            return LoadResString(1568);
        case TipoOggetto::Rettangolo:
            break;
    }
    return LoadResString(1563);
}

CorniceMm InMillimetri(const Cornice& c)
{
    const double mm = DocumentoEtichetta::TwipsPerMm;
    return {(c.Left - OrigineEtichettaX) / mm, (c.Top - OrigineEtichettaY) / mm, c.Width / mm, c.Height / mm};
}

Cornice DaMillimetri(const CorniceMm& m)
{
    const double mm = DocumentoEtichetta::TwipsPerMm;
    return {float(m.x * mm + OrigineEtichettaX), float(m.y * mm + OrigineEtichettaY), float(m.larghezza * mm),
            float(m.altezza * mm)};
}

namespace {
QString colore(qint32 vb)
{
    return ColoreDaVB(vb).name().toUpper();
}
}  // namespace

std::vector<Riga> Impostazioni(const OggettoEtichetta& o)
{
    std::vector<Riga> r;
    const QString campo = o.DataMember.isEmpty() ? QString() : QLatin1Char('[') + o.DataMember + QLatin1Char(']');
    switch (o.tipo) {
        case TipoOggetto::Testo: {
            QString font =
                o.FontName + QStringLiteral(", ") +
                QString::number(double(o.FontSize)).replace(QLatin1Char('.'), ImpostazioniLocali::correnti().decimale);
            if (o.FontBold) font += QStringLiteral(", ") + LoadResString(1564);
            if (o.FontItalic) font += QStringLiteral(", ") + LoadResString(1565);
            const int allineamento = o.Alignment == 1 ? 172 : o.Alignment == 2 ? 171 : 170;
            r.push_back({LoadResString(1560), campo.isEmpty() ? o.Caption : campo});
            r.push_back({LoadResString(1553), font});
            r.push_back({LoadResString(1554), colore(o.ForeColor)});
            r.push_back({LoadResString(143), LoadResString(allineamento)});
            r.push_back({LoadResString(136), o.BackStyle == 1 ? colore(o.BackColor) : LoadResString(135)});
            break;
        }
        case TipoOggetto::Barcode: {
            const ParametriBarcode p = ParametriBarcode::DaTag(o.Tag);
            const QString tipo = NomeTipoBarcode(p.tipo);
            r.push_back({LoadResString(1561), tipo.isEmpty() ? o.Tag : tipo});
            r.push_back({LoadResString(1556), campo.isEmpty() ? o.ToolTipText : campo});
            if (!BarcodeBidimensionale(p.tipo))
                r.push_back({LoadResString(1560), LoadResString(p.testo == 1 ? 214 : p.testo == 2 ? 135 : 215)});
            break;
        }
        case TipoOggetto::Immagine:
            r.push_back({LoadResString(208), campo.isEmpty() ? o.ToolTipText : campo});
            break;
        case TipoOggetto::Rettangolo:
            r.push_back({LoadResString(1557), QString::number(o.BorderWidth)});
            r.push_back({LoadResString(1558), colore(o.BorderColor)});
            r.push_back({LoadResString(1566), o.BackStyle == 1 ? colore(o.BackColor) : LoadResString(135)});
            break;
        case TipoOggetto::Linea:
        case TipoOggetto::Ellisse:
            r.push_back({LoadResString(1557), QLocale().toString(double(o.Contorno.Spessore), 'g', 3) +
                                                  QStringLiteral(" mm")});
            r.push_back({LoadResString(1558), colore(o.Contorno.Colore)});
            if (o.tipo == TipoOggetto::Ellisse)
                r.push_back({LoadResString(1566), o.Riempimento.Pieno ? colore(o.Riempimento.Colore) : LoadResString(135)});
            break;
    }
    return r;
}

}  // namespace cartigo::DescrizioneOggetto
