#pragma once
// The object panel: the kind of the selected objects, the frame of one in millimetres
// (editable, two decimals) and an editor for every setting they share (ProprietaSelezione
// decides which and with what value; a setting whose values differ shows as mixed). A
// setting edited here is one step of the label's history, for every selected object that
// has it; a frame typed is reported with `corniceScelta` and the window makes it a step.
// Long values never widen the panel: the surface beside it keeps its place.

#include "designer/DescrizioneOggetto.h"
#include "shell/Interazione.h"

#include <QWidget>
#include <array>

class QDoubleSpinBox;
class QFormLayout;
class QGroupBox;
class QLabel;

namespace cartigo {

class PannelloOggetto : public QWidget {
    Q_OBJECT
public:
    PannelloOggetto(DocumentoEtichetta& doc, Interazione& ui, QWidget* parent = nullptr);

    // Shows the selected objects, the last selected last; none: "No object selected".
    void Mostra(const std::vector<OggettoEtichetta*>& oggetti);
    // The selection again, as the label now has it.
    void Aggiorna();
    // The captions again, in the current language.
    void Internazionalizza();

    DescrizioneOggetto::ProprietaSelezione& Modello() { return modello_; }
    QDoubleSpinBox* Campo(int i) const { return campi_[size_t(i)]; }  // X, Y, width, height
    // The editor of a setting (a line edit, combo box, spin box, check box, colour button;
    // for a picture's file, the box holding its name and the browse button).
    QWidget* Editore(DescrizioneOggetto::Proprieta p) const { return righe_[size_t(p)].editore; }
    // Whether the panel shows the setting's row.
    bool Mostrata(DescrizioneOggetto::Proprieta p) const;

    QSize sizeHint() const override;

Q_SIGNALS:
    void corniceScelta(const cartigo::Cornice& cornice);

private:
    struct Riga {
        QLabel* titolo = nullptr;
        QWidget* editore = nullptr;
        QVariant mostrato;  // the value shown (invalid: mixed)
    };
    void modificato();
    void creaEditore(DescrizioneOggetto::Proprieta p);
    void riempi(DescrizioneOggetto::Proprieta p, const DescrizioneOggetto::Stato& s);
    void imposta(DescrizioneOggetto::Proprieta p, const QVariant& valore);
    void scegliColore(DescrizioneOggetto::Proprieta p);
    void scegliFile();

    DocumentoEtichetta& doc_;
    Interazione& ui_;
    DescrizioneOggetto::ProprietaSelezione modello_;
    QLabel* titolo_;
    QGroupBox* gruppo_;
    std::array<QDoubleSpinBox*, 4> campi_{};
    std::array<QLabel*, 4> nomi_{};
    QFormLayout* form_;
    std::array<Riga, DescrizioneOggetto::kNumeroProprieta> righe_{};
    bool riempimento_ = false;
};

}  // namespace cartigo
