#include "designer/PannelloOggetto.h"

#include "designer/DescrizioneOggetto.h"
#include "shell/StringTable.h"

#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>
#include <cmath>

namespace cartigo {

PannelloOggetto::PannelloOggetto(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PannelloOggetto"));
    auto* colonna = new QVBoxLayout(this);
    titolo_ = new QLabel(this);
    titolo_->setObjectName(QStringLiteral("titolo"));
    QFont grassetto = titolo_->font();
    grassetto.setBold(true);
    titolo_->setFont(grassetto);
    colonna->addWidget(titolo_);
    gruppo_ = new QGroupBox(this);
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
    righe_ = new QFormLayout;
    righe_->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    colonna->addLayout(righe_);
    colonna->addStretch(1);
    Internazionalizza();
    Mostra(nullptr);
}

void PannelloOggetto::Internazionalizza()
{
    gruppo_->setTitle(LoadResString(1550));
    nomi_[0]->setText(QStringLiteral("X"));
    nomi_[1]->setText(QStringLiteral("Y"));
    nomi_[2]->setText(LoadResString(1551));
    nomi_[3]->setText(LoadResString(1552));
    Mostra(mostrato_);
}

void PannelloOggetto::Mostra(const OggettoEtichetta* o)
{
    mostrato_ = o;
    while (righe_->rowCount() > 0) righe_->removeRow(0);
    gruppo_->setEnabled(o != nullptr);
    riempimento_ = true;
    if (!o) {
        titolo_->setText(LoadResString(1549));
        for (QDoubleSpinBox* c : campi_) c->clear();
        riempimento_ = false;
        return;
    }
    titolo_->setText(DescrizioneOggetto::NomeTipo(o->tipo) + QLatin1Char(' ') + QString::number(o->Index));
    const auto mm = DescrizioneOggetto::InMillimetri(Cornice::Di(*o));
    const double valori[] = {mm.x, mm.y, mm.larghezza, mm.altezza};
    for (int i = 0; i < 4; ++i) campi_[size_t(i)]->setValue(valori[i]);
    riempimento_ = false;
    for (const auto& r : DescrizioneOggetto::Impostazioni(*o)) {
        auto* valore = new QLabel(r.valore, this);
        valore->setWordWrap(true);
        valore->setTextInteractionFlags(Qt::TextSelectableByMouse);
        righe_->addRow(r.titolo, valore);
    }
}

void PannelloOggetto::modificato()
{
    if (riempimento_ || !mostrato_) return;
    const Cornice prima = Cornice::Di(*mostrato_);
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

}  // namespace cartigo
