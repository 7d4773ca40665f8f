#include "designer/PannelloOggetto.h"

#include "designer/ComandiEtichetta.h"
#include "label/Colori.h"
#include "shell/StringTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

namespace cartigo {

using DescrizioneOggetto::Controllo;
using DescrizioneOggetto::Proprieta;
using DescrizioneOggetto::Stato;

namespace {

// The names the editors go by (tests and accessibility find them).
const char* const kNomiEditori[] = {
    "testo",    "carattere",      "dimensione", "grassetto",  "corsivo",       "coloreTesto",   "allineamento",
    "aCapo",    "verticale",      "riduci",     "minimo",     "tipoBarcode",   "dati",          "posizioneTesto",
    "correzione", "formaMatrice", "file",       "coloreContorno", "spessoreBordo", "spessoreLinea", "tratto",
    "sfondo",   "coloreSfondo",   "rotazione",  "campo"};
static_assert(std::size(kNomiEditori) == size_t(DescrizioneOggetto::kNumeroProprieta));

// A number box shows a mixed value as the step below its range, captioned "(mixed)".
template <typename Casella, typename Valore>
void riempiNumero(Casella* c, const DescrizioneOggetto::Intervallo& iv, const Stato& s)
{
    c->setMinimum(Valore(s.misto ? iv.minimo - iv.passo : iv.minimo));
    c->setSpecialValueText(s.misto ? LoadResString(1764) : QString());
    c->setValue(s.misto ? c->minimum() : s.valore.value<Valore>());
}

}  // namespace

PannelloOggetto::PannelloOggetto(DocumentoEtichetta& doc, Interazione& ui, QWidget* parent)
    : QWidget(parent), doc_(doc), ui_(ui), modello_(doc)
{
    setObjectName(QStringLiteral("PannelloOggetto"));
    auto* esterno = new QVBoxLayout(this);
    esterno->setContentsMargins(0, 0, 0, 0);
    // Many settings: they scroll, down only; the panel's width never follows its content.
    auto* scorrimento = new QScrollArea(this);
    scorrimento->setObjectName(QStringLiteral("scorrimento"));
    scorrimento->setWidgetResizable(true);
    scorrimento->setFrameShape(QFrame::NoFrame);
    scorrimento->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    esterno->addWidget(scorrimento);
    auto* contenuto = new QWidget(scorrimento);
    contenuto->setMinimumWidth(0);
    scorrimento->setWidget(contenuto);
    auto* colonna = new QVBoxLayout(contenuto);

    titolo_ = new QLabel(contenuto);
    titolo_->setObjectName(QStringLiteral("titolo"));
    QFont grassetto = titolo_->font();
    grassetto.setBold(true);
    titolo_->setFont(grassetto);
    titolo_->setWordWrap(true);
    colonna->addWidget(titolo_);
    gruppo_ = new QGroupBox(contenuto);
    auto* griglia = new QFormLayout(gruppo_);
    static const char* const nomi[] = {"x", "y", "larghezza", "altezza"};
    for (int i = 0; i < 4; ++i) {
        auto* c = new QDoubleSpinBox(gruppo_);
        c->setObjectName(QString::fromLatin1(nomi[i]));
        c->setDecimals(2);
        c->setSingleStep(0.1);
        c->setRange(i < 2 ? -1000 : 0, 1000);
        c->setKeyboardTracking(false);  // one step when the value is entered, not per digit
        connect(c, &QDoubleSpinBox::valueChanged, this, &PannelloOggetto::modificato);
        campi_[size_t(i)] = c;
        nomi_[size_t(i)] = new QLabel(gruppo_);
        griglia->addRow(nomi_[size_t(i)], c);
    }
    colonna->addWidget(gruppo_);

    form_ = new QFormLayout;
    form_->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form_->setRowWrapPolicy(QFormLayout::WrapLongRows);
    for (int i = 0; i < DescrizioneOggetto::kNumeroProprieta; ++i) {
        Riga& r = righe_[size_t(i)];
        r.titolo = new QLabel(contenuto);
        r.titolo->setWordWrap(true);
        creaEditore(Proprieta(i));
        r.editore->setObjectName(QString::fromLatin1(kNomiEditori[i]));
        r.titolo->setBuddy(r.editore);
        form_->addRow(r.titolo, r.editore);
    }
    colonna->addLayout(form_);
    colonna->addStretch(1);
    Internazionalizza();
}

void PannelloOggetto::creaEditore(Proprieta p)
{
    Riga& r = righe_[size_t(p)];
    QWidget* genitore = titolo_->parentWidget();
    const auto iv = DescrizioneOggetto::IntervalloDi(p);
    switch (DescrizioneOggetto::ControlloDi(p)) {
        case Controllo::Riga: {
            auto* e = new QLineEdit(genitore);
            connect(e, &QLineEdit::editingFinished, this, [this, e, p] {
                const QVariant& mostrato = righe_[size_t(p)].mostrato;
                // Left as it shows (or empty where the values differ): nothing changes.
                if (e->text() == (mostrato.isValid() ? mostrato.toString() : QString())) return;
                imposta(p, e->text());
            });
            r.editore = e;
            break;
        }
        case Controllo::Scelta: {
            auto* c = new QComboBox(genitore);
            // Long names (fonts, fields) never widen the panel.
            c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
            c->setMinimumContentsLength(6);
            connect(c, &QComboBox::currentIndexChanged, this, [this, c, p](int i) {
                const QVariant v = c->itemData(i);
                if (!riempimento_ && v.isValid()) imposta(p, v);
            });
            r.editore = c;
            break;
        }
        case Controllo::Intero: {
            auto* c = new QSpinBox(genitore);
            c->setRange(int(iv.minimo), int(iv.massimo));
            c->setKeyboardTracking(false);
            connect(c, &QSpinBox::valueChanged, this, [this, p, iv](int v) {
                if (!riempimento_ && v >= iv.minimo) imposta(p, v);
            });
            r.editore = c;
            break;
        }
        case Controllo::Decimale: {
            auto* c = new QDoubleSpinBox(genitore);
            c->setDecimals(iv.passo < 0.5 ? 2 : 1);
            c->setSingleStep(iv.passo);
            c->setRange(iv.minimo, iv.massimo);
            c->setKeyboardTracking(false);
            connect(c, &QDoubleSpinBox::valueChanged, this, [this, p, iv](double v) {
                if (!riempimento_ && v >= iv.minimo - 1e-9) imposta(p, v);
            });
            r.editore = c;
            break;
        }
        case Controllo::Casella: {
            auto* c = new QCheckBox(genitore);
            // From mixed, a click checks.
            connect(c, &QCheckBox::clicked, this, [this, c, p] { imposta(p, c->checkState() == Qt::Checked); });
            r.editore = c;
            break;
        }
        case Controllo::Colore: {
            auto* b = new QPushButton(genitore);
            connect(b, &QPushButton::clicked, this, [this, p] { scegliColore(p); });
            r.editore = b;
            break;
        }
        case Controllo::File: {
            auto* scatola = new QWidget(genitore);
            auto* riga = new QHBoxLayout(scatola);
            riga->setContentsMargins(0, 0, 0, 0);
            auto* nome = new QLineEdit(scatola);
            nome->setObjectName(QStringLiteral("nomeFile"));
            nome->setReadOnly(true);
            auto* sfoglia = new QToolButton(scatola);
            sfoglia->setObjectName(QStringLiteral("sfogliaFile"));
            sfoglia->setText(QStringLiteral("..."));
            connect(sfoglia, &QToolButton::clicked, this, &PannelloOggetto::scegliFile);
            riga->addWidget(nome, 1);
            riga->addWidget(sfoglia);
            r.editore = scatola;
            break;
        }
    }
}

void PannelloOggetto::Internazionalizza()
{
    gruppo_->setTitle(LoadResString(1550));
    nomi_[0]->setText(QStringLiteral("X"));
    nomi_[1]->setText(QStringLiteral("Y"));
    nomi_[2]->setText(LoadResString(1551));
    nomi_[3]->setText(LoadResString(1552));
    for (int i = 0; i < DescrizioneOggetto::kNumeroProprieta; ++i)
        righe_[size_t(i)].titolo->setText(LoadResString(DescrizioneOggetto::TitoloDi(Proprieta(i))));
    Aggiorna();
}

void PannelloOggetto::Mostra(const std::vector<OggettoEtichetta*>& oggetti)
{
    modello_.ImpostaSelezione(oggetti);
    Aggiorna();
}

void PannelloOggetto::Aggiorna()
{
    const auto oggetti = modello_.Oggetti();
    riempimento_ = true;
    titolo_->setText(modello_.Titolo());
    // The frame of one object.
    gruppo_->setEnabled(oggetti.size() == 1);
    if (oggetti.size() == 1) {
        const auto mm = DescrizioneOggetto::InMillimetri(Cornice::Di(*oggetti.front()));
        const double valori[] = {mm.x, mm.y, mm.larghezza, mm.altezza};
        for (int i = 0; i < 4; ++i) campi_[size_t(i)]->setValue(valori[i]);
    } else {
        for (QDoubleSpinBox* c : campi_) c->clear();
    }
    for (int i = 0; i < DescrizioneOggetto::kNumeroProprieta; ++i) {
        const Stato s = modello_.Valore(Proprieta(i));
        form_->setRowVisible(righe_[size_t(i)].editore, s.presente);
        if (s.presente) riempi(Proprieta(i), s);
    }
    // The smallest size matters to texts that shrink.
    const Stato riduci = modello_.Valore(Proprieta::Riduci);
    righe_[size_t(Proprieta::Minimo)].editore->setEnabled(riduci.misto || riduci.valore.toBool());
    riempimento_ = false;
}

bool PannelloOggetto::Mostrata(Proprieta p) const
{
    return form_->isRowVisible(righe_[size_t(p)].editore);
}

void PannelloOggetto::riempi(Proprieta p, const Stato& s)
{
    Riga& r = righe_[size_t(p)];
    r.mostrato = s.misto ? QVariant() : s.valore;
    const QString misto = LoadResString(1764);
    const auto iv = DescrizioneOggetto::IntervalloDi(p);
    switch (DescrizioneOggetto::ControlloDi(p)) {
        case Controllo::Riga: {
            auto* e = static_cast<QLineEdit*>(r.editore);
            const QString t = s.misto ? QString() : s.valore.toString();
            if (e->text() != t) {
                e->setText(t);
                e->setCursorPosition(0);
            }
            e->setPlaceholderText(s.misto ? misto : QString());
            break;
        }
        case Controllo::Scelta: {
            auto* c = static_cast<QComboBox*>(r.editore);
            auto scelte = modello_.Scelte(p);
            if (s.misto) scelte.insert(scelte.begin(), {misto, QVariant()});
            bool uguali = c->count() == int(scelte.size());
            for (int i = 0; uguali && i < c->count(); ++i)
                uguali = c->itemText(i) == scelte[size_t(i)].testo && c->itemData(i) == scelte[size_t(i)].valore;
            if (!uguali) {
                c->clear();
                for (const auto& x : scelte) c->addItem(x.testo, x.valore);
            }
            int corrente = s.misto ? 0 : -1;  // a value that is no item (a kind's digit that is none): no item
            for (int i = 0; !s.misto && i < c->count(); ++i)
                if (c->itemData(i) == s.valore) corrente = i;
            c->setCurrentIndex(corrente);
            break;
        }
        case Controllo::Intero:
            riempiNumero<QSpinBox, int>(static_cast<QSpinBox*>(r.editore), iv, s);
            break;
        case Controllo::Decimale:
            riempiNumero<QDoubleSpinBox, double>(static_cast<QDoubleSpinBox*>(r.editore), iv, s);
            break;
        case Controllo::Casella: {
            auto* c = static_cast<QCheckBox*>(r.editore);
            c->setTristate(s.misto);
            c->setCheckState(s.misto ? Qt::PartiallyChecked : s.valore.toBool() ? Qt::Checked : Qt::Unchecked);
            break;
        }
        case Controllo::Colore: {
            auto* b = static_cast<QPushButton*>(r.editore);
            if (s.misto) {
                b->setIcon(QIcon());
                b->setText(misto);
            } else {
                const QColor colore = ColoreDaVB(qint32(s.valore.toInt()));
                QPixmap campione(16, 16);
                campione.fill(colore);
                b->setIcon(campione);
                b->setText(colore.name().toUpper());
            }
            break;
        }
        case Controllo::File: {
            auto* e = r.editore->findChild<QLineEdit*>(QStringLiteral("nomeFile"));
            const QString nome = s.misto ? QString() : s.valore.toString();
            e->setText(nome);
            e->setToolTip(nome);
            e->setPlaceholderText(s.misto ? misto : QString());
            e->setCursorPosition(int(nome.size()));  // the file's own name shows
            break;
        }
    }
}

void PannelloOggetto::imposta(Proprieta p, const QVariant& valore)
{
    modello_.Imposta(p, valore);
    // The values as the label now has them (also when nothing changed: a mixed value back).
    Aggiorna();
}

void PannelloOggetto::scegliColore(Proprieta p)
{
    const Stato s = modello_.Valore(p);
    const QColor iniziale = s.misto ? QColor(Qt::white) : ColoreDaVB(qint32(s.valore.toInt()));
    if (const auto c = ui_.scegliColore(iniziale, LoadResString(DescrizioneOggetto::TitoloDi(p))))
        imposta(p, int(ColoreVB(*c)));
}

void PannelloOggetto::scegliFile()
{
    const Stato s = modello_.Valore(Proprieta::File);
    const QString attuale = s.misto ? QString() : s.valore.toString();
    const QString cartella = attuale.isEmpty() ? doc_.CartellaEtichetta() : QFileInfo(attuale).absolutePath();
    const auto scelto = RichiestaModificaImmagine::Sfoglia(ui_, cartella);
    if (!scelto) return;
    RichiestaModificaImmagine verifica;
    verifica.cartellaEtichetta = doc_.CartellaEtichetta();
    if (!verifica.Verifica(*scelto, ui_, LoadResString(208))) return;
    imposta(Proprieta::File, *scelto);
}

void PannelloOggetto::modificato()
{
    const auto oggetti = modello_.Oggetti();
    if (riempimento_ || oggetti.size() != 1) return;
    const Cornice prima = Cornice::Di(*oggetti.front());
    const auto mm = DescrizioneOggetto::InMillimetri(prima);
    const auto nuova = DescrizioneOggetto::DaMillimetri(
        {campi_[0]->value(), campi_[1]->value(), campi_[2]->value(), campi_[3]->value()});
    // A field left as it shows keeps the object's own value, unrounded.
    Cornice c = prima;
    const double mostrati[] = {mm.x, mm.y, mm.larghezza, mm.altezza};
    float* destinazioni[] = {&c.Left, &c.Top, &c.Width, &c.Height};
    const float nuovi[] = {nuova.Left, nuova.Top, nuova.Width, nuova.Height};
    for (size_t i = 0; i < 4; ++i)
        if (std::abs(campi_[i]->value() - mostrati[i]) >= 0.005) *destinazioni[i] = nuovi[i];
    if (c != prima) Q_EMIT corniceScelta(c);
}

QSize PannelloOggetto::sizeHint() const
{
    // As wide whatever it shows.
    return {220, QWidget::sizeHint().height()};
}

}  // namespace cartigo
