// Merge fields in captions and barcode data: what each way of writing them prints.
#include "label/CampiUnione.h"

#include <gtest/gtest.h>

using namespace cartigo;

TEST(CampiUnione, WhatEachWayOfWritingPrints)
{
    // Values of a record: "Nome" and "Città" exist, anything else does not.
    const auto valore = [](const QString& campo) -> std::optional<QString> {
        if (campo == QLatin1String("Nome")) return QStringLiteral("Anna");
        if (campo == QStringLiteral("Città")) return QStringLiteral("Milano");
        if (campo == QLatin1String("Vuoto")) return QString();
        return std::nullopt;
    };
    struct Caso {
        const char* testo;
        const char* stampato;
        bool unione;
    };
    const Caso casi[] = {
        {"Gentile ${Nome}", "Gentile Anna", true},
        {"${Nome}${Città}", "AnnaMilano", true},          // side by side
        {"${ Nome } - ${Città}", "Anna - Milano", true},  // blanks around the name
        {"${Manca} e ${Nome}", "${Manca} e Anna", true},  // a missing name stays as typed
        {"[${Vuoto}]", "[]", true},                       // an empty value
        {"$${Nome} costa $5", "${Nome} costa $5", true},  // a literal "${"
        {"$$${Nome}", "$${Nome}", true},                  // read from the left: "$", then "$${"
        {"prezzo ${", "prezzo ${", false},                // not closed
        {"${} e {Nome} e $Nome", "${} e {Nome} e $Nome", false},
        {"senza campi", "senza campi", false},
        {"", "", false},
    };
    for (const Caso& c : casi) {
        const ModelloUnione m(QString::fromUtf8(c.testo));
        EXPECT_EQ(m.Componi(valore), QString::fromUtf8(c.stampato)) << c.testo;
        EXPECT_EQ(m.Unione(), c.unione) << c.testo;
    }
    EXPECT_EQ(ModelloUnione(QStringLiteral("${a} ${b} ${a}")).Campi(), (QStringList{"a", "b", "a"}));
    EXPECT_EQ(ModelloUnione::Segnaposto(QStringLiteral("First name")), QStringLiteral("${First name}"));
}
