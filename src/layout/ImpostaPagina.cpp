#include "layout/ImpostaPagina.h"

#include "label/Conversioni.h"
#include "layout/CampoNumerico.h"
#include "shell/StringTable.h"

namespace cartigo {

const std::array<ValoriImpostaPagina::Campo, ValoriImpostaPagina::NumeroCampi> ValoriImpostaPagina::Campi = {{
    {"txtEtichetteOrizzontali", 197, false},
    {"txtEtichetteVerticali", 198, false},
    {"txtMargineSinistro", 199, true},
    {"txtMargineSuperiore", 200, true},
    {"txtLarghezzaEtichetta", 201, true},
    {"txtAltezzaEtichetta", 202, true},
    {"txtSpazioOrizzontale", 203, true},
    {"txtSpazioVerticale", 204, true},
    {"txtOrigineX", 206, true},
    {"txtOrigineY", 207, true},
}};

const std::array<int, 4> ValoriImpostaPagina::CampiObbligatori = {0, 1, 4, 5};

void ValoriImpostaPagina::CaricaLayout(const LayoutEtichetta& layout, const ImpostazioniLocali& loc)
{
    for (int i = 0; i < NumeroCampi; ++i) testi[size_t(i)] = modCartigo::FormattaNumero(layout.valore(i), 3, loc);
}

int ValoriImpostaPagina::Verifica_campi_obbligatori(Interazione& ui, const QString& titolo,
                                                    const ImpostazioniLocali& loc) const
{
    for (int i : CampiObbligatori) {
        if (modCartigo::ConvertiDouble(testi[size_t(i)], loc) <= 0) {
            ui.beep();
            ui.messaggio(LoadResString(1408), titolo, Pulsanti::Ok, Icona::Esclamazione);
            return i;
        }
    }
    return -1;
}

void ValoriImpostaPagina::SalvaLayout(LayoutEtichetta& layout, const ImpostazioniLocali& loc) const
{
    for (int i = 0; i < NumeroCampi; ++i) layout.valore(i) = modCartigo::ConvertiDouble(testi[size_t(i)], loc);
}

}  // namespace cartigo
