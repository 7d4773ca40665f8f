#include "data/SelezioneStampa.h"

namespace cartigo {

namespace {

class RecordsetDati : public RecordsetStampa {
public:
    RecordsetDati(std::unique_ptr<Recordset> rs, const modCartigo::FormatoTesto& f) : rs_(std::move(rs)), f_(f) {}
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
};

}  // namespace

std::unique_ptr<RecordsetStampa> ApriSelezioneStampa(clsDatabase& db, CollegamentoDati& c,
                                                     const modCartigo::FormatoTesto& formato)
{
    std::unique_ptr<Recordset> rs;
    db.ConnettiRecordset(rs, c.NomeTabella, c.CampoSelezione, c.TipoSelezione, c.ValoreSelezione1, c.ValoreSelezione2,
                         c.ValoreSelezione3);
    return std::make_unique<RecordsetDati>(std::move(rs), formato);
}

}  // namespace cartigo
