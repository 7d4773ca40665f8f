#include "data/SelezioneStampa.h"

namespace cartigo {

namespace {

class RecordsetDati : public RecordsetStampa {
public:
    RecordsetDati(std::unique_ptr<Recordset> rs, const modCartigo::FormatoTesto& f, std::shared_ptr<bool> vivo)
        : rs_(std::move(rs)), f_(f), vivo_(std::move(vivo))
    {
    }
    ~RecordsetDati() override
    {
        rs_.reset();
        *vivo_ = false;
    }
    bool Eof() const override { return rs_->Eof(); }
    void MoveNext() override { rs_->MoveNext(); }
    int RecordCount() override { return rs_->RecordCount(); }
    bool ConteggioPronto() const override { return rs_->ConteggioPronto(); }
    QString TestoCampo(const QString& campo) override
    {
        return modCartigo::NzCampo(rs_->Valore(campo), rs_->TipoCampo(campo), f_);
    }
    bool HaCampo(const QString& campo) const override { return rs_->IndiceCampo(campo) >= 0; }

private:
    std::unique_ptr<Recordset> rs_;
    modCartigo::FormatoTesto f_;
    std::shared_ptr<bool> vivo_;  // the interruption given with it is asked while it lives
};

}  // namespace

std::unique_ptr<RecordsetStampa> ApriSelezioneStampa(clsDatabase& db, CollegamentoDati& c,
                                                     const modCartigo::FormatoTesto& formato, Interruzione interruzione)
{
    // The interruption is asked only while the record set lives: the engine outlives the
    // job that gave it, and a job may open its selection again before the old one goes.
    auto vivo = std::make_shared<bool>(true);
    if (MotoreDati* m = interruzione ? db.Motore() : nullptr)
        m->ImpostaInterruzione([vivo, i = std::move(interruzione)](qint64 ms) { return *vivo && i(ms); });
    std::unique_ptr<Recordset> rs;
    try {
        db.ConnettiRecordset(rs, c.NomeTabella, c.CampoSelezione, c.TipoSelezione, c.ValoreSelezione1,
                             c.ValoreSelezione2, c.ValoreSelezione3);
    } catch (...) {
        *vivo = false;
        throw;
    }
    return std::make_unique<RecordsetDati>(std::move(rs), formato, std::move(vivo));
}

}  // namespace cartigo
