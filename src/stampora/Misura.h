#pragma once
// Measurements handed to the output document: a number with a unit, or a plain
// number of twips. As text they read "12.5mm", ".4mm", "3pix", "1440".

#include <QString>
#include <optional>

namespace cartigo {

enum class Unita { Twip, Punto, Pixel, Pollice, Millimetro, Centimetro };

struct Misura {
    double valore = 0;
    Unita unita = Unita::Twip;

    constexpr Misura() = default;
    constexpr Misura(double v, Unita u = Unita::Twip) : valore(v), unita(u) {}  // NOLINT: a number is twips

    // Twips, given the twips per pixel of the output for "pix".
    double Twips(double twipsPerPixel) const;

    // Reads measurement text: an optional sign, a plain decimal number with "." as
    // separator ("12", "12.5", ".4", "5."), then directly one of "twip", "point",
    // "pix", "in", "mm", "cm" (any case) or nothing for twips. Blanks around the whole
    // text are allowed. Nothing for anything else (unknown unit, no digits, exponent).
    static std::optional<Misura> Analizza(const QString& testo);

    // The measurement as text: the number in plain decimal notation with "." and no
    // leading blanks, directly followed by the unit name (none for twips).
    QString Testo() const;
};

// The unit name of a unit: "twip", "point", "pix", "in", "mm", "cm".
QString NomeUnita(Unita u);
// A number in plain decimal notation: "." separator, no exponent, no trailing zeros.
QString NumeroPiano(double v);

}  // namespace cartigo
