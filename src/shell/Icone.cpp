#include "shell/Icone.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace cartigo {

namespace {

const QColor inchiostro(40, 44, 52);
const QColor accento(30, 110, 200);

QFont fontIcona(int px, bool bold = false, bool italic = false)
{
    QFont f(QStringLiteral("Liberation Serif"));
    f.setPixelSize(px);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

void lettera(QPainter& p, const QString& t, bool bold, bool italic, const QRect& r = QRect(0, 0, 32, 32))
{
    p.setFont(fontIcona(24, bold, italic));
    p.setPen(inchiostro);
    p.drawText(r, Qt::AlignCenter, t);
}

void barre(QPainter& p, const QRect& r)
{
    const int larghezze[] = {2, 1, 1, 3, 1, 2, 1, 1, 3, 2, 1, 1, 2};
    int x = r.left();
    bool nera = true;
    for (int w : larghezze) {
        if (nera)
            p.fillRect(QRect(x, r.top(), w, r.height()), inchiostro);
        x += w;
        nera = !nera;
        if (x > r.right())
            break;
    }
}

void righe(QPainter& p, Qt::Alignment a)
{
    p.setPen(QPen(inchiostro, 2));
    const int lunghe[] = {24, 16, 22, 12};
    for (int i = 0; i < 4; ++i) {
        const int w = lunghe[i];
        int x = 4;
        if (a & Qt::AlignHCenter)
            x = (32 - w) / 2;
        else if (a & Qt::AlignRight)
            x = 28 - w;
        p.drawLine(x, 7 + i * 6, x + w, 7 + i * 6);
    }
}

void disegna(const QString& k, QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    const QPen penna(inchiostro, 2);
    p.setPen(penna);
    if (k == QLatin1String("nuovo")) {
        QPainterPath path;
        path.moveTo(7, 3); path.lineTo(19, 3); path.lineTo(25, 9); path.lineTo(25, 29); path.lineTo(7, 29); path.closeSubpath();
        p.fillPath(path, Qt::white);
        p.drawPath(path);
        p.drawLine(19, 3, 19, 9); p.drawLine(19, 9, 25, 9);
    } else if (k == QLatin1String("apri")) {
        p.setBrush(QColor(240, 200, 90));
        p.drawRect(3, 9, 24, 18);
        p.setBrush(QColor(250, 220, 120));
        p.drawPolygon(QPolygon({QPoint(3, 27), QPoint(8, 14), QPoint(30, 14), QPoint(27, 27)}));
    } else if (k == QLatin1String("salva")) {
        p.setBrush(accento);
        p.drawRoundedRect(4, 4, 24, 24, 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(9, 4, 14, 9);
        p.drawRect(8, 18, 16, 10);
    } else if (k == QLatin1String("imposta")) {
        p.setBrush(Qt::white);
        p.drawRect(5, 2, 22, 28);
        p.setBrush(QColor(200, 220, 245));
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 2; ++c)
                p.drawRect(8 + c * 9, 5 + r * 8, 7, 6);
    } else if (k == QLatin1String("stampa")) {
        p.setBrush(Qt::white);
        p.drawRect(9, 3, 14, 10);
        p.setBrush(QColor(180, 185, 195));
        p.drawRoundedRect(3, 12, 26, 11, 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(9, 19, 14, 10);
    } else if (k == QLatin1String("connettidb") || k == QLatin1String("disconnettidb")) {
        p.setBrush(QColor(200, 220, 245));
        p.drawRect(6, 8, 18, 18);
        p.drawEllipse(6, 4, 18, 8);
        p.drawArc(6, 22, 18, 8, 180 * 16, 180 * 16);
        if (k == QLatin1String("disconnettidb")) {
            p.setPen(QPen(QColor(200, 40, 40), 3));
            p.drawLine(18, 18, 29, 29); p.drawLine(29, 18, 18, 29);
        } else {
            p.setPen(QPen(QColor(30, 150, 60), 3));
            p.drawLine(18, 24, 22, 28); p.drawLine(22, 28, 30, 17);
        }
    } else if (k == QLatin1String("seleziona")) {
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygon({QPoint(9, 3), QPoint(9, 25), QPoint(14, 20), QPoint(18, 29), QPoint(21, 27),
                                QPoint(17, 19), QPoint(24, 19)}));
    } else if (k == QLatin1String("testo")) {
        lettera(p, QStringLiteral("A"), true, false);
    } else if (k == QLatin1String("immagine")) {
        p.setBrush(Qt::white);
        p.drawRect(3, 5, 26, 22);
        p.setBrush(QColor(90, 170, 90));
        p.drawPolygon(QPolygon({QPoint(4, 26), QPoint(13, 14), QPoint(19, 21), QPoint(23, 17), QPoint(28, 26)}));
        p.setBrush(QColor(240, 190, 40));
        p.drawEllipse(20, 8, 5, 5);
    } else if (k == QLatin1String("barcode")) {
        barre(p, QRect(5, 5, 22, 22));
    } else if (k == QLatin1String("rettangolo")) {
        p.setBrush(Qt::NoBrush);
        p.drawRect(4, 8, 24, 16);
    } else if (k == QLatin1String("linea")) {
        p.setPen(QPen(inchiostro, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(5, 26, 27, 6);
    } else if (k == QLatin1String("ellisse")) {
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(3, 7, 26, 18);
    } else if (k == QLatin1String("ruotasx") || k == QLatin1String("ruotadx")) {
        // Three quarters of a circle and the arrow at its end, turning as the command does.
        const bool destra = k == QLatin1String("ruotadx");
        p.setBrush(Qt::NoBrush);
        p.drawArc(6, 6, 20, 20, 90 * 16, destra ? 270 * 16 : -270 * 16);
        p.setBrush(inchiostro);
        p.drawPolygon(destra ? QPolygon({QPoint(16, 1), QPoint(22, 6), QPoint(16, 11)})
                             : QPolygon({QPoint(16, 1), QPoint(10, 6), QPoint(16, 11)}));
    } else if (k == QLatin1String("modifica")) {
        p.setBrush(QColor(240, 200, 90));
        p.drawPolygon(QPolygon({QPoint(6, 26), QPoint(8, 20), QPoint(23, 5), QPoint(27, 9), QPoint(12, 24)}));
    } else if (k == QLatin1String("collega")) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(inchiostro, 3));
        p.drawRoundedRect(3, 11, 15, 10, 5, 5);
        p.drawRoundedRect(14, 11, 15, 10, 5, 5);
    } else if (k == QLatin1String("parbarcode")) {
        barre(p, QRect(3, 3, 18, 18));
        p.setBrush(accento);
        p.drawEllipse(17, 17, 12, 12);
        p.setBrush(Qt::white);
        p.drawEllipse(21, 21, 4, 4);
    } else if (k == QLatin1String("griglia")) {
        p.setBrush(inchiostro);
        for (int i = 0; i < 5; ++i)
            for (int j = 0; j < 5; ++j)
                p.drawEllipse(QPointF(6 + i * 5, 6 + j * 5), 1, 1);
    } else if (k == QLatin1String("snap")) {
        p.setPen(QPen(QColor(200, 40, 40), 5, Qt::SolidLine, Qt::FlatCap));
        p.drawArc(7, 6, 18, 18, 0, 180 * 16);
        p.drawLine(7, 15, 7, 24); p.drawLine(25, 15, 25, 24);
        p.setPen(QPen(QColor(180, 185, 195), 5, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(7, 24, 7, 28); p.drawLine(25, 24, 25, 28);
    } else if (k == QLatin1String("carattere")) {
        lettera(p, QStringLiteral("F"), false, false, QRect(0, 0, 20, 32));
        p.setFont(fontIcona(14));
        p.drawText(QRect(14, 10, 18, 22), Qt::AlignCenter, QStringLiteral("a"));
    } else if (k == QLatin1String("grassetto")) {
        lettera(p, QStringLiteral("B"), true, false);
    } else if (k == QLatin1String("corsivo")) {
        lettera(p, QStringLiteral("I"), false, true);
    } else if (k == QLatin1String("allineasx")) {
        righe(p, Qt::AlignLeft);
    } else if (k == QLatin1String("allineac")) {
        righe(p, Qt::AlignHCenter);
    } else if (k == QLatin1String("allineadx")) {
        righe(p, Qt::AlignRight);
    } else if (k == QLatin1String("coloreogg")) {
        lettera(p, QStringLiteral("A"), true, false, QRect(0, 0, 32, 26));
        p.fillRect(4, 25, 24, 5, QColor(200, 40, 40));
    } else if (k == QLatin1String("coloresfo")) {
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygon({QPoint(6, 14), QPoint(15, 5), QPoint(24, 14), QPoint(15, 23)}));
        p.fillRect(4, 25, 24, 5, QColor(240, 200, 40));
    } else if (k == QLatin1String("avanti") || k == QLatin1String("indietro")) {
        const bool avanti = k == QLatin1String("avanti");
        p.setBrush(avanti ? QColor(200, 205, 215) : accento);
        p.drawRect(3, 3, 16, 16);
        p.setBrush(avanti ? accento : QColor(200, 205, 215));
        if (avanti)
            p.drawRect(13, 13, 16, 16);
        else {
            p.drawRect(13, 13, 16, 16);
            p.setBrush(accento);
            p.drawRect(3, 3, 16, 16);
        }
    } else if (k.startsWith(QLatin1String("spessore"))) {
        const int n = k.right(1).toInt();
        p.setPen(QPen(inchiostro, n * 2, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(4, 16, 28, 16);
    } else if (k == QLatin1String("opaco")) {
        p.setBrush(accento);
        p.drawRect(5, 5, 22, 22);
    } else if (k == QLatin1String("trasparente")) {
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                if ((i + j) % 2 == 0)
                    p.fillRect(5 + i * 5, 5 + j * 5, 5, 5, QColor(210, 210, 210));
        p.setBrush(Qt::NoBrush);
        p.drawRect(5, 5, 20, 20);
    } else if (k == QLatin1String("annulla") || k == QLatin1String("ripeti")) {
        // A curved arrow turning back (left for undo, right for redo).
        if (k == QLatin1String("ripeti")) {
            p.translate(32, 0);
            p.scale(-1, 1);
        }
        p.setPen(QPen(accento, 3, Qt::SolidLine, Qt::RoundCap));
        QPainterPath arco;
        arco.moveTo(9, 13);
        arco.cubicTo(16, 6, 29, 9, 27, 20);
        arco.cubicTo(26, 25, 22, 27, 17, 27);
        p.drawPath(arco);
        p.setPen(Qt::NoPen);
        p.setBrush(accento);
        p.drawPolygon(QPolygon({QPoint(3, 8), QPoint(13, 7), QPoint(8, 17)}));
    } else if (k.startsWith(QLatin1String("allinea_"))) {
        // An edge or centre line and two boxes on it.
        const QString c = k.mid(8);
        const bool verticale = c == QLatin1String("alto") || c == QLatin1String("mezzo") || c == QLatin1String("basso");
        if (verticale) {
            p.translate(0, 32);
            p.rotate(-90);
        }
        const bool sx = c == QLatin1String("sinistra") || c == QLatin1String("alto");
        const bool dx = c == QLatin1String("destra") || c == QLatin1String("basso");
        const int x = sx ? 5 : dx ? 27 : 16;
        p.setBrush(QColor(200, 205, 215));
        const int lunghi[] = {20, 12};
        for (int i = 0; i < 2; ++i) {
            const int w = lunghi[i];
            const int left = sx ? x : dx ? x - w : x - w / 2;
            p.drawRect(left, 6 + i * 12, w, 8);
        }
        p.setPen(QPen(accento, 2));
        p.drawLine(x, 2, x, 30);
    } else if (k.startsWith(QLatin1String("distribuisci_")) || k.startsWith(QLatin1String("stessa_"))) {
        const bool altezza = k.endsWith(QLatin1String("verticale")) || k.endsWith(QLatin1String("altezza"));
        if (altezza) {
            p.translate(0, 32);
            p.rotate(-90);
        }
        p.setBrush(QColor(200, 205, 215));
        if (k.startsWith(QLatin1String("distribuisci_"))) {
            for (int i = 0; i < 3; ++i) p.drawRect(3 + i * 10, 8, 6, 16);
        } else {
            p.drawRect(6, 5, 20, 8);
            p.drawRect(6, 19, 20, 8);
            p.setPen(QPen(accento, 2));
            p.drawLine(6, 16, 26, 16);
        }
    } else if (k.startsWith(QLatin1String("zoom"))) {
        // A magnifying glass, with + or - or a frame inside.
        p.setBrush(Qt::white);
        p.drawEllipse(4, 4, 18, 18);
        p.setPen(QPen(inchiostro, 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(20, 20, 28, 28);
        p.setPen(QPen(accento, 2));
        if (k != QLatin1String("zoomadatta")) p.drawLine(9, 13, 17, 13);
        if (k == QLatin1String("zoompiu")) p.drawLine(13, 9, 13, 17);
        if (k == QLatin1String("zoomadatta")) {
            p.setBrush(Qt::NoBrush);
            p.drawRect(9, 10, 8, 6);
        }
    } else if (k == QLatin1String("cartigo")) {
        p.setBrush(Qt::white);
        p.drawRoundedRect(2, 6, 28, 20, 4, 4);
        barre(p, QRect(6, 10, 14, 12));
        p.setBrush(accento);
        p.setPen(Qt::NoPen);
        p.drawEllipse(23, 13, 5, 5);
    }
}

// Names of the freedesktop theme icons that fit a key.
QString nomeTema(const QString& k)
{
    static const QHash<QString, QString> nomi = {
        {QStringLiteral("nuovo"), QStringLiteral("document-new")},
        {QStringLiteral("apri"), QStringLiteral("document-open")},
        {QStringLiteral("salva"), QStringLiteral("document-save")},
        {QStringLiteral("imposta"), QStringLiteral("document-page-setup")},
        {QStringLiteral("stampa"), QStringLiteral("document-print")},
        {QStringLiteral("grassetto"), QStringLiteral("format-text-bold")},
        {QStringLiteral("corsivo"), QStringLiteral("format-text-italic")},
        {QStringLiteral("allineasx"), QStringLiteral("format-justify-left")},
        {QStringLiteral("allineac"), QStringLiteral("format-justify-center")},
        {QStringLiteral("allineadx"), QStringLiteral("format-justify-right")},
        {QStringLiteral("carattere"), QStringLiteral("preferences-desktop-font")},
        {QStringLiteral("annulla"), QStringLiteral("edit-undo")},
        {QStringLiteral("ripeti"), QStringLiteral("edit-redo")},
        {QStringLiteral("zoompiu"), QStringLiteral("zoom-in")},
        {QStringLiteral("zoommeno"), QStringLiteral("zoom-out")},
        {QStringLiteral("zoomadatta"), QStringLiteral("zoom-fit-best")},
        {QStringLiteral("ruotasx"), QStringLiteral("object-rotate-left")},
        {QStringLiteral("ruotadx"), QStringLiteral("object-rotate-right")},
    };
    return nomi.value(k);
}

}  // namespace

QIcon IconaComando(const QString& chiave)
{
    const QString tema = nomeTema(chiave);
    if (!tema.isEmpty() && QIcon::hasThemeIcon(tema))
        return QIcon::fromTheme(tema);
    QIcon icona;
    for (int lato : {16, 24, 32, 48}) {
        QPixmap pm(32, 32);
        pm.fill(Qt::transparent);
        {
            QPainter p(&pm);
            disegna(chiave, p);
        }
        icona.addPixmap(lato == 32 ? pm : pm.scaled(lato, lato, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
    return icona;
}

}  // namespace cartigo
