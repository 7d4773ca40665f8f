#include "label/Colori.h"

namespace cartigo {

namespace {
// The classic default values of the system colours, by index.
constexpr QRgb sistema[] = {
    qRgb(212, 208, 200),  //  0 scroll bars
    qRgb(58, 110, 165),   //  1 desktop
    qRgb(10, 36, 106),    //  2 active title bar
    qRgb(128, 128, 128),  //  3 inactive title bar
    qRgb(212, 208, 200),  //  4 menu bar
    qRgb(255, 255, 255),  //  5 window background
    qRgb(0, 0, 0),        //  6 window frame
    qRgb(0, 0, 0),        //  7 menu text
    qRgb(0, 0, 0),        //  8 window text
    qRgb(255, 255, 255),  //  9 active title text
    qRgb(212, 208, 200),  // 10 active border
    qRgb(212, 208, 200),  // 11 inactive border
    qRgb(128, 128, 128),  // 12 application workspace
    qRgb(10, 36, 106),    // 13 highlight
    qRgb(255, 255, 255),  // 14 highlight text
    qRgb(212, 208, 200),  // 15 button face
    qRgb(128, 128, 128),  // 16 button shadow
    qRgb(128, 128, 128),  // 17 disabled text
    qRgb(0, 0, 0),        // 18 button text
    qRgb(212, 208, 200),  // 19 inactive title text
    qRgb(255, 255, 255),  // 20 button highlight
    qRgb(64, 64, 64),     // 21 3D dark shadow
    qRgb(212, 208, 200),  // 22 3D light
    qRgb(0, 0, 0),        // 23 tooltip text
    qRgb(255, 255, 225),  // 24 tooltip background
};
}  // namespace

QColor ColoreDaVB(qint32 valore)
{
    const quint32 v = quint32(valore);
    if (v & 0x80000000u) {
        const quint32 indice = v & 0xFFu;
        if (indice < sizeof(sistema) / sizeof(sistema[0]))
            return QColor::fromRgb(sistema[indice]);
        return QColor(Qt::black);
    }
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

qint32 ColoreVB(const QColor& colore)
{
    const QColor c = colore.toRgb();
    return qint32(quint32(c.red()) | (quint32(c.green()) << 8) | (quint32(c.blue()) << 16));
}

}  // namespace cartigo
