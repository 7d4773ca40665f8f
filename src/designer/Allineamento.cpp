#include "designer/Allineamento.h"

#include <algorithm>
#include <numeric>

namespace cartigo {

const std::vector<ComandoDisposizione>& ComandiDisposizione()
{
    using T = ComandoDisposizione::Tipo;
    static const std::vector<ComandoDisposizione> voci = {
        {T::Allinea, int(Allinea::Sinistra), "mnuAllineaSinistra", "allinea_sinistra", 1536, false},
        {T::Allinea, int(Allinea::Centro), "mnuAllineaCentro", "allinea_centro", 1537, false},
        {T::Allinea, int(Allinea::Destra), "mnuAllineaDestra", "allinea_destra", 1538, false},
        {T::Allinea, int(Allinea::Alto), "mnuAllineaAlto", "allinea_alto", 1539, true},
        {T::Allinea, int(Allinea::Mezzo), "mnuAllineaMezzo", "allinea_mezzo", 1540, false},
        {T::Allinea, int(Allinea::Basso), "mnuAllineaBasso", "allinea_basso", 1541, false},
        {T::Distribuisci, int(Distribuisci::Orizzontale), "mnuDistribuisciOrizzontale", "distribuisci_orizzontale",
         1542, true},
        {T::Distribuisci, int(Distribuisci::Verticale), "mnuDistribuisciVerticale", "distribuisci_verticale", 1543,
         false},
        {T::Dimensione, int(Dimensione::Larghezza), "mnuStessaLarghezza", "stessa_larghezza", 1544, true},
        {T::Dimensione, int(Dimensione::Altezza), "mnuStessaAltezza", "stessa_altezza", 1545, false},
    };
    return voci;
}

const ComandoDisposizione* ComandoDisposizione::DaPulsante(const QString& chiave)
{
    for (const ComandoDisposizione& c : ComandiDisposizione())
        if (chiave == QLatin1String(c.pulsante)) return &c;
    return nullptr;
}

}  // namespace cartigo

namespace cartigo::Allineamento {

std::vector<Cornice> Allinea(const std::vector<Cornice>& cornici, cartigo::Allinea come, const QRectF& etichetta)
{
    std::vector<Cornice> r = cornici;
    if (r.empty()) return r;
    QRectF ancora = etichetta;
    if (r.size() > 1) {
        const Cornice& a = r.back();
        ancora = QRectF(a.Left, a.Top, a.Width, a.Height);
    }
    for (Cornice& c : r) {
        switch (come) {
            case cartigo::Allinea::Sinistra:
                c.Left = float(ancora.left());
                break;
            case cartigo::Allinea::Centro:
                c.Left = float(ancora.left() + (ancora.width() - c.Width) / 2);
                break;
            case cartigo::Allinea::Destra:
                c.Left = float(ancora.left() + ancora.width() - c.Width);
                break;
            case cartigo::Allinea::Alto:
                c.Top = float(ancora.top());
                break;
            case cartigo::Allinea::Mezzo:
                c.Top = float(ancora.top() + (ancora.height() - c.Height) / 2);
                break;
            case cartigo::Allinea::Basso:
                c.Top = float(ancora.top() + ancora.height() - c.Height);
                break;
        }
    }
    return r;
}

std::vector<Cornice> Distribuisci(const std::vector<Cornice>& cornici, cartigo::Distribuisci come)
{
    std::vector<Cornice> r = cornici;
    if (r.size() < 3) return r;
    const bool oriz = come == cartigo::Distribuisci::Orizzontale;
    auto inizio = [oriz](const Cornice& c) { return double(oriz ? c.Left : c.Top); };
    auto lato = [oriz](const Cornice& c) { return double(oriz ? c.Width : c.Height); };
    // By position; equal positions keep the selection's order.
    std::vector<size_t> ordine(r.size());
    std::iota(ordine.begin(), ordine.end(), size_t(0));
    std::stable_sort(ordine.begin(), ordine.end(), [&](size_t a, size_t b) { return inizio(r[a]) < inizio(r[b]); });
    const Cornice& primo = r[ordine.front()];
    const Cornice& ultimo = r[ordine.back()];
    const double fine = inizio(ultimo) + lato(ultimo);
    double occupato = 0;
    for (const Cornice& c : r) occupato += lato(c);
    const double spazio = (fine - inizio(primo) - occupato) / double(r.size() - 1);
    double pos = inizio(primo);
    for (size_t k = 0; k + 1 < ordine.size(); ++k) {
        Cornice& c = r[ordine[k]];
        (oriz ? c.Left : c.Top) = float(pos);
        pos += lato(c) + spazio;
    }
    return r;
}

std::vector<Cornice> StessaDimensione(const std::vector<Cornice>& cornici, cartigo::Dimensione quale)
{
    std::vector<Cornice> r = cornici;
    if (r.size() < 2) return r;
    const Cornice ancora = r.back();
    for (Cornice& c : r) {
        if (quale == cartigo::Dimensione::Larghezza)
            c.Width = ancora.Width;
        else
            c.Height = ancora.Height;
    }
    return r;
}

}  // namespace cartigo::Allineamento
