#pragma once
// What every fuzz target needs before its first input: a Qt application on the offscreen
// platform (fonts and pictures for the renderer), the program's folder in a temporary
// folder of its own (the print engine keeps its settings there) and the English texts.

#include <QByteArray>
#include <cstddef>
#include <cstdint>

namespace cartigo::fuzz {

void Prepara();

inline QByteArray Dati(const uint8_t* dati, size_t dimensione)
{
    return QByteArray(reinterpret_cast<const char*>(dati), qsizetype(dimensione));
}

}  // namespace cartigo::fuzz
