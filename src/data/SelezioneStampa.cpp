#include "data/SelezioneStampa.h"

namespace cartigo {

namespace {

class RecordsetDati : public RecordsetStampa {
public:
    RecordsetDati(std::unique_ptr<Recordset> rs, const modCartigo::FormatoTesto& f, MotoreDati* m)
        : rs_(std::move(rs)), f_(f), motore_(m)
    {
    }
    ~RecordsetDati() override
    {
        rs_.reset();
        if (motore_) motore_->ImpostaInterruzione({});
    }
    bool Eof() const override { return rs_->Eof(); }
    void MoveNext() override { rs_->MoveNext(); }
    int RecordCount() override { return rs_->RecordCount(); }
    QString TestoCampo(const QString& campo) override
    {
        return modCartigo::NzCampo(rs_->Valore(campo), rs_->TipoCampo(campo), f_);
    }
    bool HaCampo(const QString& campo) const override { return rs_->IndiceCampo(campo) >= 0; }

private:
    std::unique_ptr<Recordset> rs_;
    modCartigo::FormatoTesto f_;
    MotoreDati* motore_;  // its interruption is the record set's
};

}  // namespace

std::unique_ptr<RecordsetStampa> ApriSelezioneStampa(clsDatabase& db, CollegamentoDati& c,
                                                     const modCartigo::FormatoTesto& formato, Interruzione interruzione)
{
    MotoreDati* m = interruzione ? db.Motore() : nullptr;
    if (m) m->ImpostaInterruzione(std::move(interruzione));
    std::unique_ptr<Recordset> rs;
    try {
        db.ConnettiRecordset(rs, c.NomeTabella, c.CampoSelezione, c.TipoSelezione, c.ValoreSelezione1,
                             c.ValoreSelezione2, c.ValoreSelezione3);
    } catch (...) {
        if (m) m->ImpostaInterruzione({});
        throw;
    }
    return std::make_unique<RecordsetDati>(std::move(rs), formato, m);
}

}  // namespace cartigo
