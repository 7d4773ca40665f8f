#pragma once
// Merge fields in a text's caption or a barcode's data: "${Field name}" stands for the
// record's value of that field, "$${" writes a literal "${". A text without "${" is
// printed as it is.

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace cartigo {

class ModelloUnione {
public:
    explicit ModelloUnione(const QString& testo = {});

    // True when the text holds a merge field or a literal "$${".
    bool Unione() const { return unione_; }
    // The field names, in order of appearance (a name used twice comes twice).
    QStringList Campi() const;
    // The text with each field replaced by `valore(name)`; a field for which it gives
    // nothing stays as typed.
    QString Componi(const std::function<std::optional<QString>(const QString&)>& valore) const;

    // The text that inserts the field `nome`.
    static QString Segnaposto(const QString& nome);

private:
    struct Pezzo {
        QString testo;  // the literal text, or the field as typed ("${Name}")
        QString campo;  // the field's name; empty for literal text
    };
    QList<Pezzo> pezzi_;
    bool unione_ = false;
};

}  // namespace cartigo
