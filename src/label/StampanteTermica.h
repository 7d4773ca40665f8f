#pragma once
// The settings of a thermal label printer that a label carries (darkness, speed, media,
// position), which a job in the printer's own language sends before the first label.

#include <optional>

namespace cartigo {

// What a thermal label printer is told at the start of a job that prints the label in its
// own language (ZPL). Each setting is the printer's own until it is set; a label that sets
// none stores nothing of them.
struct StampanteTermica {
    enum class Supporto { Stampante, TrasferimentoTermico, TermicoDiretto };
    enum class Rilevamento { Stampante, Intervallo, Tacca, Continuo };
    static constexpr int ScurezzaMassima = 30;     // darkness 0 to 30
    static constexpr int VelocitaMassima = 14;     // inches a second, 1 to 14
    // A shift's millimetres either way: the top one as far as ZPL's 120 dot rows go at
    // 203 dpi (fewer millimetres at higher resolutions, where the writer stops at 120).
    static constexpr double SpostamentoAltoMassimo = 15;
    static constexpr double SpostamentoSinistraMassimo = 100;

    int Scurezza = -1;  // -1: the printer's own
    int Velocita = 0;   // 0: the printer's own
    Supporto TipoSupporto = Supporto::Stampante;
    Rilevamento TipoRilevamento = Rilevamento::Stampante;
    // Millimetres the whole label is moved: down (negative: up), and to the left
    // (negative: to the right). Nothing: the printer's own.
    std::optional<double> SpostamentoAlto;
    std::optional<double> SpostamentoSinistra;

    bool Impostata() const { return *this != StampanteTermica(); }
    bool operator==(const StampanteTermica&) const = default;
};

}  // namespace cartigo
