#include "label/ImpaginazioneTesto.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>
#include <cmath>

namespace cartigo {

namespace {

// The paragraphs of a text: it breaks at CR LF, CR and LF.
QStringList paragrafi(const QString& testo)
{
    QString t = testo;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t.split(QLatin1Char('\n'));
}

// The room a width or height may pass its box by and still fit: rounding, not text.
constexpr double kMargine = 1e-3;

}  // namespace

TestoImpaginato ImpaginaTesto(const QString& testo, const QFont& font, const QRectF& box,
                              const OpzioniImpaginazione& opzioni)
{
    TestoImpaginato r;
    const QFontMetricsF fm(font);
    const double larghezzaBox = std::max(0.0, box.width());
    for (const QString& paragrafo : paragrafi(testo)) {
        if (!opzioni.aCapo || paragrafo.isEmpty()) {
            r.righe.push_back({paragrafo, {}, fm.horizontalAdvance(paragrafo)});
            continue;
        }
        QTextLayout layout(paragrafo, font);
        QTextOption opzione;
        opzione.setWrapMode(QTextOption::WordWrap);
        layout.setTextOption(opzione);
        layout.beginLayout();
        for (QTextLine riga = layout.createLine(); riga.isValid(); riga = layout.createLine()) {
            riga.setLineWidth(larghezzaBox);
            const QString parte = paragrafo.mid(riga.textStart(), riga.textLength());
            // The width without the spaces at its end, which stand past the box's edge.
            qsizetype fine = parte.size();
            while (fine > 0 && parte.at(fine - 1).isSpace()) --fine;
            r.righe.push_back({parte.left(fine), {}, fm.horizontalAdvance(parte.left(fine))});
        }
        layout.endLayout();
    }
    const double passo = fm.lineSpacing();
    const double altezza = r.righe.empty() ? 0 : (double(r.righe.size()) - 1) * passo + fm.height();
    double y = box.top();
    if (opzioni.verticale == AllineamentoVerticale::Centro)
        y += (box.height() - altezza) / 2;
    else if (opzioni.verticale == AllineamentoVerticale::Basso)
        y += box.height() - altezza;
    double sinistra = box.right(), destra = box.left();
    for (RigaImpaginata& riga : r.righe) {
        double x = box.left();
        if (opzioni.orizzontale & Qt::AlignHCenter)
            x += (box.width() - riga.larghezza) / 2;
        else if (opzioni.orizzontale & Qt::AlignRight)
            x += box.width() - riga.larghezza;
        riga.base = QPointF(x, y + fm.ascent());
        sinistra = std::min(sinistra, x);
        destra = std::max(destra, x + riga.larghezza);
        if (riga.larghezza > larghezzaBox + kMargine) r.entra = false;
        y += passo;
    }
    if (altezza > box.height() + kMargine) r.entra = false;
    const double cima = r.righe.empty() ? box.top() : r.righe.front().base.y() - fm.ascent();
    r.ingombro = QRectF(QPointF(std::min(sinistra, destra), cima), QSizeF(std::max(0.0, destra - sinistra), altezza));
    return r;
}

void DisegnaTestoImpaginato(QPainter& p, const TestoImpaginato& t, const QFont& font, const QRectF& box)
{
    p.save();
    p.setClipRect(box, Qt::IntersectClip);
    p.setFont(font);
    for (const RigaImpaginata& riga : t.righe)
        if (!riga.testo.isEmpty()) p.drawText(riga.base, riga.testo);
    p.restore();
}

float DimensioneCheEntra(const QString& testo, const std::function<QFont(float punti)>& font, const QRectF& box,
                         const OpzioniImpaginazione& opzioni, float massimo, float minimo, bool* entra)
{
    // Whole half points from the largest down.
    for (float punti = massimo; punti >= minimo - 1e-4f; punti -= 0.5f) {
        if (ImpaginaTesto(testo, font(punti), box, opzioni).entra) {
            if (entra) *entra = true;
            return punti;
        }
    }
    if (entra) *entra = false;
    return minimo;
}

}  // namespace cartigo
