#pragma once
// The interface's string table: texts by numeric id, in Italian or English.

#include <QString>

namespace cartigo {

enum class Lingua { Italiano, Inglese };

// The language of the user's interface (LANGUAGE, LC_ALL, LC_MESSAGES, LANG):
// Italian for an Italian user, English for everyone else.
Lingua LinguaUtente();
// The language the string table answers in (the user's, unless set).
Lingua LinguaCorrente();
void ImpostaLingua(Lingua lingua);

// The entry `id` in the current language; an empty text for an unknown id.
QString LoadResString(int id);
QString LoadResString(int id, Lingua lingua);

}  // namespace cartigo
