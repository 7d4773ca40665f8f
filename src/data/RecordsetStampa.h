#pragma once
// The records a label print reads: one label per record, each field as printed text.

#include <QString>

namespace cartigo {

// The records of the label's selection, as the job reads them.
class RecordsetStampa {
public:
    virtual ~RecordsetStampa() = default;
    virtual bool Eof() const = 0;
    virtual void MoveNext() = 0;
    virtual int RecordCount() = 0;
    // False when RecordCount would first read the rest of the selection.
    virtual bool ConteggioPronto() const { return true; }
    // The field's value as printed text (Null gives empty text). Throws ErroreCartigo
    // naming the field when the selection has no such field.
    virtual QString TestoCampo(const QString& campo) = 0;
    // True when the selection has the field (names compare without regard to case).
    virtual bool HaCampo(const QString& campo) const = 0;
};

}  // namespace cartigo
