#include "shell/Finestre.h"

#include "shell/StringTable.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTimer>
#include <QTranslator>
#include <QWidget>
#include <algorithm>
#include <memory>

namespace cartigo {

namespace modCartigo {

namespace {
// Once a window is shown its frame is known: if the frame then leaves the screen's
// free area, the window is fitted and centred again.
class CentraAllaComparsa : public QObject {
public:
    explicit CentraAllaComparsa(QWidget* finestra) : QObject(finestra)
    {
        setObjectName(QStringLiteral("CentraAllaComparsa"));
        finestra->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override
    {
        if (evento->type() == QEvent::Show) {
            auto* finestra = static_cast<QWidget*>(oggetto);
            QTimer::singleShot(0, finestra, [finestra] {
                const QScreen* s = finestra->screen();
                if (s && !s->availableGeometry().contains(finestra->frameGeometry())) modCartigo::CentraForm(finestra);
            });
            finestra->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }
};
}  // namespace

void CentraForm(QWidget* finestra)
{
    const QScreen* schermo = finestra->screen() ? finestra->screen() : QGuiApplication::primaryScreen();
    if (!schermo) return;
    // The screen less its panels; a window larger than that (a small screen, a large
    // scale factor) is made to fit, so its title and menus stay within reach.
    const QRect area = schermo->availableGeometry();
    const QRect esterno = finestra->frameGeometry();
    const QSize cornice = esterno.size() - finestra->size();
    const QSize massimo = (area.size() - cornice).expandedTo(finestra->minimumSize());
    if (finestra->width() > massimo.width() || finestra->height() > massimo.height())
        finestra->resize(finestra->size().boundedTo(massimo));
    const QSize dim = finestra->size() + cornice;
    finestra->move(area.left() + std::max(0, (area.width() - dim.width()) / 2),
                   area.top() + std::max(0, (area.height() - dim.height()) / 2));
    if (!finestra->isVisible() &&
        !finestra->findChild<QObject*>(QStringLiteral("CentraAllaComparsa"), Qt::FindDirectChildrenOnly))
        new CentraAllaComparsa(finestra);
}

void RidaiFuoco(QWidget* finestra)
{
    if (!finestra) return;
    QWidget* w = finestra->window();
    if (!w->isVisible()) return;
    const QWidget* modale = QApplication::activeModalWidget();
    if (modale && modale != w) return;
    w->activateWindow();
}

bool CaricaTraduzioniQt()
{
    static QTranslator* installata = nullptr;
    if (installata) {
        QCoreApplication::removeTranslator(installata);
        delete installata;
        installata = nullptr;
    }
    // The program speaks Italian or English; Qt's own texts are English already.
    if (LinguaCorrente() != Lingua::Italiano) return true;
    auto t = std::make_unique<QTranslator>();
    if (!t->load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qt"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    installata = t.release();
    QCoreApplication::installTranslator(installata);
    return true;
}

void CursoreAttesa()
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

void CursoreNormale()
{
    while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
}

QString LeggiImpostazioneLocale(int /*locale*/, int item)
{
    const QLocale l = QLocale::system();
    switch (item) {
        case 14:
            return l.decimalPoint();
        case 15:
            return l.groupSeparator();
        default:
            return {};
    }
}

}  // namespace modCartigo

}  // namespace cartigo
