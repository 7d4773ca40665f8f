#include "data/JetSql.h"

#include "data/ValoriJet.h"

#include <QHash>
#include <QSet>

namespace cartigo {

QString NomeSqlite(const QString& nome)
{
    QString s = nome;
    s.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + s + QLatin1Char('"');
}

namespace {

QString letterale(const QString& testo)
{
    QString s = testo;
    s.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + s + QLatin1Char('\'');
}

enum class T { Fine, Nome, NomeQuadro, Testo, Data, Numero, Simbolo, Parametro };

struct Token {
    T tipo = T::Fine;
    QString testo;  // names without brackets, texts without quotes, symbols as written
    int pos = 0;
};

[[noreturn]] void errore(int numero, const QString& testo)
{
    throw ErroreDatabase(numero, testo);
}

QList<Token> tokenizza(const QString& s)
{
    QList<Token> out;
    int i = 0;
    const int n = int(s.size());
    while (i < n) {
        const QChar c = s.at(i);
        if (c.isSpace()) {
            ++i;
            continue;
        }
        Token t;
        t.pos = i;
        if (c == QLatin1Char('[')) {
            const int fine = int(s.indexOf(QLatin1Char(']'), i + 1));
            if (fine < 0) errore(ErroreJet::SintassiEspressione, QStringLiteral("Missing ] in '%1'.").arg(s));
            t.tipo = T::NomeQuadro;
            t.testo = s.mid(i + 1, fine - i - 1);
            i = fine + 1;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            QString v;
            int k = i + 1;
            bool chiuso = false;
            while (k < n) {
                if (s.at(k) == c) {
                    if (k + 1 < n && s.at(k + 1) == c) {
                        v += c;
                        k += 2;
                        continue;
                    }
                    chiuso = true;
                    break;
                }
                v += s.at(k++);
            }
            if (!chiuso)
                errore(ErroreJet::SintassiEspressione, QStringLiteral("Missing closing quote in '%1'.").arg(s));
            t.tipo = T::Testo;
            t.testo = v;
            i = k + 1;
        } else if (c == QLatin1Char('#')) {
            const int fine = int(s.indexOf(QLatin1Char('#'), i + 1));
            if (fine < 0)
                errore(ErroreJet::SintassiEspressione,
                       QStringLiteral("Syntax error in date in query expression '%1'.").arg(s.mid(i)));
            t.tipo = T::Data;
            t.testo = s.mid(i + 1, fine - i - 1);
            i = fine + 1;
        } else if (c == QLatin1Char('?') && i + 1 < n && s.at(i + 1).isDigit()) {
            // a value bound to the statement: ?1, ?2 ...
            int k = i + 1;
            while (k < n && s.at(k).isDigit()) ++k;
            t.tipo = T::Parametro;
            t.testo = s.mid(i, k - i);
            i = k;
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && s.at(i + 1).isDigit())) {
            int k = i;
            while (k < n && (s.at(k).isDigit() || s.at(k) == QLatin1Char('.'))) ++k;
            if (k < n && (s.at(k) == QLatin1Char('e') || s.at(k) == QLatin1Char('E')) && k + 1 < n &&
                (s.at(k + 1).isDigit() || s.at(k + 1) == QLatin1Char('-') || s.at(k + 1) == QLatin1Char('+'))) {
                k += 2;
                while (k < n && s.at(k).isDigit()) ++k;
            }
            t.tipo = T::Numero;
            t.testo = s.mid(i, k - i);
            i = k;
        } else if (c.isLetter() || c == QLatin1Char('_')) {
            int k = i;
            while (k < n && (s.at(k).isLetterOrNumber() || s.at(k) == QLatin1Char('_') || s.at(k) == QLatin1Char('$')))
                ++k;
            t.tipo = T::Nome;
            t.testo = s.mid(i, k - i);
            i = k;
        } else {
            static const QStringList doppi = {QStringLiteral("<>"), QStringLiteral("<="), QStringLiteral(">=")};
            const QString due = s.mid(i, 2);
            t.tipo = T::Simbolo;
            if (doppi.contains(due)) {
                t.testo = due;
                i += 2;
            } else {
                t.testo = c;
                ++i;
            }
        }
        out.append(t);
    }
    Token fine;
    fine.pos = n;
    out.append(fine);
    return out;
}

// Jet functions and the SQLite function each becomes.
const QHash<QString, QString>& funzioniScalari()
{
    static const QHash<QString, QString> f = [] {
        QHash<QString, QString> m;
        for (const char* nome :
             {"cstr",       "clng",      "cint",     "cbyte", "cdbl",   "csng",   "ccur",    "cbool",
              "cdate",      "datevalue", "cvar",     "str",   "left",   "right",  "mid",     "len",
              "trim",       "ltrim",     "rtrim",    "ucase", "lcase",  "space",  "instr",   "replace",
              "isnull",     "val",       "int",      "fix",   "abs",    "sgn",    "sqr",     "round",
              "year",       "month",     "day",      "hour",  "minute", "second", "weekday", "datepart",
              "dateserial", "dateadd",   "datediff", "date",  "now",    "format"})
            m.insert(QString::fromLatin1(nome), QStringLiteral("jet_") + QString::fromLatin1(nome));
        return m;
    }();
    return f;
}

const QHash<QString, QString>& funzioniAggregate()
{
    static const QHash<QString, QString> f = {
        {QStringLiteral("sum"), QStringLiteral("sum")},
        {QStringLiteral("avg"), QStringLiteral("avg")},
        {QStringLiteral("count"), QStringLiteral("count")},
        {QStringLiteral("min"), QStringLiteral("min")},
        {QStringLiteral("max"), QStringLiteral("max")},
        {QStringLiteral("first"), QStringLiteral("jet_first")},
        {QStringLiteral("last"), QStringLiteral("jet_last")},
        {QStringLiteral("stdev"), QStringLiteral("jet_stdev")},
        {QStringLiteral("stdevp"), QStringLiteral("jet_stdevp")},
        {QStringLiteral("var"), QStringLiteral("jet_var")},
        {QStringLiteral("varp"), QStringLiteral("jet_varp")},
    };
    return f;
}

bool eParolaChiave(const QString& n)
{
    static const QSet<QString> chiavi = {
        QStringLiteral("select"),    QStringLiteral("from"),        QStringLiteral("where"),
        QStringLiteral("group"),     QStringLiteral("having"),      QStringLiteral("order"),
        QStringLiteral("union"),     QStringLiteral("inner"),       QStringLiteral("left"),
        QStringLiteral("right"),     QStringLiteral("join"),        QStringLiteral("on"),
        QStringLiteral("as"),        QStringLiteral("and"),         QStringLiteral("or"),
        QStringLiteral("not"),       QStringLiteral("by"),          QStringLiteral("outer"),
        QStringLiteral("asc"),       QStringLiteral("desc"),        QStringLiteral("with"),
        QStringLiteral("into"),      QStringLiteral("in"),          QStringLiteral("between"),
        QStringLiteral("like"),      QStringLiteral("is"),          QStringLiteral("xor"),
        QStringLiteral("mod"),       QStringLiteral("eqv"),         QStringLiteral("imp"),
        QStringLiteral("distinct"),  QStringLiteral("distinctrow"), QStringLiteral("top"),
        QStringLiteral("all"),       QStringLiteral("transform"),   QStringLiteral("pivot"),
        QStringLiteral("parameters")};
    return chiavi.contains(n.toLower());
}

// A table of a FROM clause: its name (or alias) and whether it is a stored table or
// query rather than a subquery.
struct TabellaFrom {
    QString nome;
    bool base = false;
};

class Traduttore {
public:
    Traduttore(const QString& sorgente, const OpzioniTraduzione& o) : src_(sorgente), opz_(o), tok_(tokenizza(sorgente))
    {
        for (const QString& p : o.parametri) parametri_.insert(p.toLower());
    }

    QString istruzione()
    {
        if (parola(QStringLiteral("parameters")))
            errore(ErroreJet::ParametriMancanti, QStringLiteral("Too few parameters: the query asks for values."));
        if (parola(QStringLiteral("transform")))
            errore(ErroreJet::OperazioneNonSupportata, QStringLiteral("Crosstab queries are not supported."));
        QString s = unione();
        simbolo(QStringLiteral(";"));
        if (cur().tipo != T::Fine) erroreSintassi();
        return s;
    }

    QString espressioneIntera()
    {
        QString s = espressione();
        if (cur().tipo != T::Fine) erroreSintassi();
        return s;
    }

private:
    const Token& cur() const { return tok_.at(p_); }
    const Token& dopo(int k = 1) const { return tok_.at(qMin(p_ + k, int(tok_.size()) - 1)); }
    void avanza()
    {
        if (p_ < tok_.size() - 1) ++p_;
    }
    bool eParola(const QString& w, int k = 0) const
    {
        const Token& t = dopo(k);
        return t.tipo == T::Nome && t.testo.compare(w, Qt::CaseInsensitive) == 0;
    }
    bool parola(const QString& w)
    {
        if (eParola(w)) {
            avanza();
            return true;
        }
        return false;
    }
    bool eSimbolo(const QString& s, int k = 0) const
    {
        const Token& t = dopo(k);
        return t.tipo == T::Simbolo && t.testo == s;
    }
    bool simbolo(const QString& s)
    {
        if (eSimbolo(s)) {
            avanza();
            return true;
        }
        return false;
    }
    [[noreturn]] void erroreSintassi() const
    {
        const QString vicino = src_.mid(cur().pos, 40);
        errore(ErroreJet::SintassiSql, QStringLiteral("Syntax error in query near '%1'.").arg(vicino));
    }
    void atteso(const QString& w)
    {
        if (!parola(w)) erroreSintassi();
    }
    void attesoSimbolo(const QString& s)
    {
        if (!simbolo(s)) erroreSintassi();
    }

    // --- statements ---

    QString unione()
    {
        QString s = selezione();
        while (eParola(QStringLiteral("union"))) {
            avanza();
            const bool tutti = parola(QStringLiteral("all"));
            s += tutti ? QStringLiteral(" UNION ALL ") : QStringLiteral(" UNION ");
            s += selezione(true);
        }
        if (eParola(QStringLiteral("order"))) {
            avanza();
            atteso(QStringLiteral("by"));
            s += QStringLiteral(" ORDER BY ") + elencoOrdine();
        }
        return s;
    }

    QString selezione(bool inUnione = false)
    {
        if (eSimbolo(QStringLiteral("(")) && eParola(QStringLiteral("select"), 1)) {
            avanza();
            QString s = unione();
            attesoSimbolo(QStringLiteral(")"));
            return inUnione ? QStringLiteral("SELECT * FROM (") + s + QStringLiteral(")") : s;
        }
        if (parola(QStringLiteral("table"))) {
            return QStringLiteral("SELECT * FROM ") + NomeSqlite(nomeOggetto());
        }
        atteso(QStringLiteral("select"));
        QString testa = QStringLiteral("SELECT ");
        bool distinctRow = false;
        if (parola(QStringLiteral("distinct")))
            testa += QStringLiteral("DISTINCT ");
        else if (parola(QStringLiteral("distinctrow")))
            distinctRow = true;
        else
            parola(QStringLiteral("all"));
        // What the output columns and the FROM clause name, for DISTINCTROW.
        QSet<QString> qualificatori;
        bool nonQualificato = false;
        QList<TabellaFrom> from;
        auto* const vecchiQ = qualificatori_;
        auto* const vecchioN = nonQualificato_;
        auto* const vecchiF = tabelleFrom_;
        QString top;
        bool percento = false;
        if (parola(QStringLiteral("top"))) {
            if (cur().tipo != T::Numero) erroreSintassi();
            top = cur().testo;
            avanza();
            percento = parola(QStringLiteral("percent"));
        }
        int espr = 1000;
        QStringList colonne;
        qualificatori_ = &qualificatori;
        nonQualificato_ = &nonQualificato;
        tabelleFrom_ = nullptr;
        do {
            colonne << colonna(espr);
        } while (simbolo(QStringLiteral(",")));
        qualificatori_ = nullptr;
        nonQualificato_ = nullptr;
        QString corpo = colonne.join(QStringLiteral(", "));
        if (parola(QStringLiteral("into")))
            errore(ErroreJet::OperazioneNonSupportata, QStringLiteral("Make-table queries are not supported."));
        if (parola(QStringLiteral("from"))) {
            QStringList tabelle;
            tabelleFrom_ = &from;
            do {
                tabelle << riferimentoTabella();
            } while (simbolo(QStringLiteral(",")));
            tabelleFrom_ = nullptr;
            corpo += QStringLiteral(" FROM ") + tabelle.join(QStringLiteral(", "));
        }
        if (parola(QStringLiteral("where"))) corpo += QStringLiteral(" WHERE ") + espressione();
        if (eParola(QStringLiteral("group"))) {
            avanza();
            atteso(QStringLiteral("by"));
            QStringList g;
            do {
                g << espressione();
            } while (simbolo(QStringLiteral(",")));
            corpo += QStringLiteral(" GROUP BY ") + g.join(QStringLiteral(", "));
        }
        if (parola(QStringLiteral("having")))
            corpo += QStringLiteral(" HAVING ") + espressione();
        else if (distinctRow && !corpo.contains(QLatin1String(" GROUP BY ")))
            corpo += distinctRowComeGruppi(qualificatori, nonQualificato, from);
        qualificatori_ = vecchiQ;
        nonQualificato_ = vecchioN;
        tabelleFrom_ = vecchiF;
        QString ordine;
        if (!inUnione && eParola(QStringLiteral("order"))) {
            avanza();
            atteso(QStringLiteral("by"));
            ordine = QStringLiteral(" ORDER BY ") + elencoOrdine();
        }
        if (eParola(QStringLiteral("with")))
            errore(ErroreJet::OperazioneNonSupportata, QStringLiteral("WITH OWNERACCESS OPTION is not supported."));
        QString s = testa + corpo + ordine;
        if (!top.isEmpty()) {
            if (percento)
                s += QStringLiteral(" LIMIT (SELECT (COUNT(*) * %1 + 99) / 100 FROM (SELECT %2))").arg(top, corpo);
            else
                s += QStringLiteral(" LIMIT ") + top;
        }
        return s;
    }

    // DISTINCTROW keeps one row per distinct record of the tables the output comes from;
    // it matters only when the output comes from some of the tables, not all. Those
    // records are told apart by their row ids. Where the tables cannot be told (an
    // unqualified field, a subquery), the rows stay as they are.
    QString distinctRowComeGruppi(const QSet<QString>& qualificatori, bool nonQualificato,
                                  const QList<TabellaFrom>& from) const
    {
        if (nonQualificato || qualificatori.isEmpty() || from.size() < 2) return {};
        QStringList chiavi;
        for (const auto& t : from) {
            if (!qualificatori.contains(t.nome.toLower())) continue;
            if (!t.base) return {};
            chiavi << NomeSqlite(t.nome) + QStringLiteral(".rowid");
        }
        if (chiavi.isEmpty() || chiavi.size() == from.size() || chiavi.size() != qualificatori.size()) return {};
        return QStringLiteral(" GROUP BY ") + chiavi.join(QStringLiteral(", "));
    }

    QString elencoOrdine()
    {
        QStringList o;
        do {
            QString e = espressione() + QStringLiteral(" COLLATE JETTEXT");
            if (parola(QStringLiteral("desc")))
                e += QStringLiteral(" DESC");
            else
                parola(QStringLiteral("asc"));
            o << e;
        } while (simbolo(QStringLiteral(",")));
        return o.join(QStringLiteral(", "));
    }

    QString colonna(int& espr)
    {
        if (simbolo(QStringLiteral("*"))) {
            if (nonQualificato_) *nonQualificato_ = true;
            return QStringLiteral("*");
        }
        // table.*
        if ((cur().tipo == T::Nome || cur().tipo == T::NomeQuadro) &&
            (eSimbolo(QStringLiteral("."), 1) || eSimbolo(QStringLiteral("!"), 1)) &&
            eSimbolo(QStringLiteral("*"), 2)) {
            const QString t = cur().testo;
            avanza();
            avanza();
            avanza();
            if (qualificatori_) qualificatori_->insert(t.toLower());
            return NomeSqlite(t) + QStringLiteral(".*");
        }
        const int inizio = p_;
        QString e = espressione();
        const bool riferimentoSemplice = soloNome(inizio, p_);
        QString alias;
        if (parola(QStringLiteral("as"))) {
            alias = nomeOggetto();
        } else if (cur().tipo == T::NomeQuadro || (cur().tipo == T::Nome && !eParolaChiave(cur().testo))) {
            alias = cur().testo;
            avanza();
        }
        if (alias.isEmpty() && !riferimentoSemplice) alias = QStringLiteral("Expr%1").arg(espr++);
        return alias.isEmpty() ? e : e + QStringLiteral(" AS ") + NomeSqlite(alias);
    }

    bool soloNome(int da, int a) const
    {
        // name, or name.name: SQLite names such a column after the field itself.
        for (int k = da; k < a; ++k) {
            const Token& t = tok_.at(k);
            const bool parte = (k - da) % 2 == 0;
            if (parte && !(t.tipo == T::Nome || t.tipo == T::NomeQuadro)) return false;
            if (!parte && !(t.tipo == T::Simbolo && (t.testo == QLatin1String(".") || t.testo == QLatin1String("!"))))
                return false;
        }
        return a > da && (a - da) % 2 == 1;
    }

    QString nomeOggetto()
    {
        if (cur().tipo == T::Nome || cur().tipo == T::NomeQuadro || cur().tipo == T::Testo) {
            QString n = cur().testo;
            avanza();
            return n;
        }
        erroreSintassi();
    }

    QString riferimentoTabella()
    {
        QString s = primarioTabella();
        for (;;) {
            QString tipo;
            if (eParola(QStringLiteral("inner")) && eParola(QStringLiteral("join"), 1)) {
                avanza();
                avanza();
                tipo = QStringLiteral(" INNER JOIN ");
            } else if ((eParola(QStringLiteral("left")) || eParola(QStringLiteral("right"))) &&
                       (eParola(QStringLiteral("join"), 1) ||
                        (eParola(QStringLiteral("outer"), 1) && eParola(QStringLiteral("join"), 2)))) {
                const bool sinistra = eParola(QStringLiteral("left"));
                avanza();
                parola(QStringLiteral("outer"));
                avanza();
                tipo = sinistra ? QStringLiteral(" LEFT JOIN ") : QStringLiteral(" RIGHT JOIN ");
            } else {
                break;
            }
            const QString destra = primarioTabella();
            atteso(QStringLiteral("on"));
            s = s + tipo + destra + QStringLiteral(" ON ") + espressione();
        }
        return s;
    }

    QString primarioTabella()
    {
        QString s;
        TabellaFrom voce;
        auto* const mieTabelle = tabelleFrom_;
        if (simbolo(QStringLiteral("("))) {
            if (eParola(QStringLiteral("select")))
                s = QStringLiteral("(") + unione() + QStringLiteral(")");
            else
                s = QStringLiteral("(") + riferimentoTabella() + QStringLiteral(")");
            attesoSimbolo(QStringLiteral(")"));
        } else {
            const QString nome = nomeOggetto();
            if (eParola(QStringLiteral("in")))
                errore(ErroreJet::OperazioneNonSupportata,
                       QStringLiteral("Tables of another database (IN '...') are not supported."));
            s = NomeSqlite(nome);
            voce.nome = nome;
            voce.base = true;
        }
        if (parola(QStringLiteral("as"))) {
            voce.nome = nomeOggetto();
            s += QStringLiteral(" AS ") + NomeSqlite(voce.nome);
        } else if (cur().tipo == T::NomeQuadro || (cur().tipo == T::Nome && !eParolaChiave(cur().testo))) {
            voce.nome = cur().testo;
            s += QStringLiteral(" AS ") + NomeSqlite(cur().testo);
            avanza();
        }
        if (mieTabelle && !voce.nome.isEmpty()) mieTabelle->append(voce);
        return s;
    }

    // --- expressions, lowest precedence first ---

    QString espressione() { return imp(); }

    QString imp()
    {
        QString a = eqv();
        while (parola(QStringLiteral("imp"))) a = QStringLiteral("(NOT (%1) OR (%2))").arg(a, eqv());
        return a;
    }
    QString eqv()
    {
        QString a = xorE();
        while (parola(QStringLiteral("eqv"))) a = QStringLiteral("((%1) <> 0) = ((%2) <> 0)").arg(a, xorE());
        return a;
    }
    QString xorE()
    {
        QString a = orE();
        while (parola(QStringLiteral("xor"))) a = QStringLiteral("(((%1) <> 0) <> ((%2) <> 0))").arg(a, orE());
        return a;
    }
    QString orE()
    {
        QString a = andE();
        while (parola(QStringLiteral("or"))) a = QStringLiteral("(%1 OR %2)").arg(a, andE());
        return a;
    }
    QString andE()
    {
        QString a = notE();
        while (parola(QStringLiteral("and"))) a = QStringLiteral("(%1 AND %2)").arg(a, notE());
        return a;
    }
    QString notE()
    {
        if (parola(QStringLiteral("not"))) return QStringLiteral("(NOT %1)").arg(notE());
        return confronto();
    }

    QString confronto()
    {
        QString a = concatenazione();
        for (;;) {
            static const QStringList op = {QStringLiteral("="), QStringLiteral("<>"), QStringLiteral("<"),
                                           QStringLiteral(">"), QStringLiteral("<="), QStringLiteral(">=")};
            if (cur().tipo == T::Simbolo && op.contains(cur().testo)) {
                const QString o = cur().testo;
                avanza();
                // Text compares as Jet compares it (the collation only acts on text).
                a = QStringLiteral("(%1 COLLATE JETTEXT %2 %3)").arg(a, o, concatenazione());
                continue;
            }
            bool nega = false;
            if (eParola(QStringLiteral("not")) &&
                (eParola(QStringLiteral("like"), 1) || eParola(QStringLiteral("between"), 1) ||
                 eParola(QStringLiteral("in"), 1))) {
                avanza();
                nega = true;
            }
            if (parola(QStringLiteral("like"))) {
                const QString b = concatenazione();
                a = QStringLiteral("(%1jet_like(%2, %3))").arg(nega ? QStringLiteral("NOT ") : QString(), a, b);
                continue;
            }
            if (parola(QStringLiteral("between"))) {
                const QString da = concatenazione();
                atteso(QStringLiteral("and"));
                const QString a2 = concatenazione();
                a = QStringLiteral("(%1 COLLATE JETTEXT %2BETWEEN %3 AND %4)")
                        .arg(a, nega ? QStringLiteral("NOT ") : QString(), da, a2);
                continue;
            }
            if (parola(QStringLiteral("in"))) {
                attesoSimbolo(QStringLiteral("("));
                QString elenco;
                if (eParola(QStringLiteral("select"))) {
                    elenco = unione();
                } else {
                    QStringList v;
                    do {
                        v << espressione();
                    } while (simbolo(QStringLiteral(",")));
                    elenco = v.join(QStringLiteral(", "));
                }
                attesoSimbolo(QStringLiteral(")"));
                a = QStringLiteral("(%1 COLLATE JETTEXT %2IN (%3))")
                        .arg(a, nega ? QStringLiteral("NOT ") : QString(), elenco);
                continue;
            }
            if (nega) erroreSintassi();
            if (parola(QStringLiteral("is"))) {
                const bool non = parola(QStringLiteral("not"));
                atteso(QStringLiteral("null"));
                a = QStringLiteral("(%1 IS %2NULL)").arg(a, non ? QStringLiteral("NOT ") : QString());
                continue;
            }
            return a;
        }
    }

    QString concatenazione()
    {
        QString a = additivo();
        while (simbolo(QStringLiteral("&"))) a = QStringLiteral("jet_concat(%1, %2)").arg(a, additivo());
        return a;
    }
    QString additivo()
    {
        QString a = modulo();
        for (;;) {
            if (simbolo(QStringLiteral("+")))
                a = QStringLiteral("jet_add(%1, %2)").arg(a, modulo());
            else if (simbolo(QStringLiteral("-")))
                a = QStringLiteral("jet_sub(%1, %2)").arg(a, modulo());
            else
                return a;
        }
    }
    QString modulo()
    {
        QString a = divisioneIntera();
        while (parola(QStringLiteral("mod"))) a = QStringLiteral("jet_mod(%1, %2)").arg(a, divisioneIntera());
        return a;
    }
    QString divisioneIntera()
    {
        QString a = moltiplicativo();
        while (simbolo(QStringLiteral("\\"))) a = QStringLiteral("jet_intdiv(%1, %2)").arg(a, moltiplicativo());
        return a;
    }
    QString moltiplicativo()
    {
        QString a = unario();
        for (;;) {
            if (simbolo(QStringLiteral("*")))
                a = QStringLiteral("(%1 * %2)").arg(a, unario());
            else if (simbolo(QStringLiteral("/")))
                a = QStringLiteral("jet_div(%1, %2)").arg(a, unario());
            else
                return a;
        }
    }
    QString unario()
    {
        if (simbolo(QStringLiteral("-"))) return QStringLiteral("(- %1)").arg(unario());
        if (simbolo(QStringLiteral("+"))) return unario();
        return potenza();
    }
    QString potenza()
    {
        QString a = primario();
        while (simbolo(QStringLiteral("^"))) a = QStringLiteral("jet_pow(%1, %2)").arg(a, primario());
        return a;
    }

    QString primario()
    {
        const Token t = cur();
        switch (t.tipo) {
            case T::Numero:
                avanza();
                return t.testo.startsWith(QLatin1Char('.')) ? QLatin1Char('0') + t.testo : t.testo;
            case T::Testo:
                avanza();
                return letterale(t.testo);
            case T::Parametro:
                avanza();
                return t.testo;
            case T::Data: {
                avanza();
                const auto d = modCartigo::LeggiDataJet(t.testo);
                if (!d)
                    errore(ErroreJet::SintassiEspressione,
                           QStringLiteral("Syntax error in date in query expression '#%1#'.").arg(t.testo));
                return letterale(modCartigo::DataIso(*d));
            }
            case T::Simbolo:
                if (t.testo == QLatin1String("(")) {
                    avanza();
                    QString s;
                    if (eParola(QStringLiteral("select")))
                        s = QStringLiteral("(") + unione() + QStringLiteral(")");
                    else
                        s = QStringLiteral("(") + espressione() + QStringLiteral(")");
                    attesoSimbolo(QStringLiteral(")"));
                    return s;
                }
                erroreSintassi();
            case T::Nome:
            case T::NomeQuadro:
                return nomeOFunzione();
            case T::Fine:
                break;
        }
        erroreSintassi();
    }

    QString nomeOFunzione()
    {
        const Token t = cur();
        if (t.tipo == T::Nome) {
            const QString basso = t.testo.toLower();
            if (eSimbolo(QStringLiteral("("), 1)) return funzione();
            if (basso == QLatin1String("null")) {
                avanza();
                return QStringLiteral("NULL");
            }
            if (basso == QLatin1String("true") || basso == QLatin1String("yes") || basso == QLatin1String("on")) {
                avanza();
                return QStringLiteral("-1");
            }
            if (basso == QLatin1String("false") || basso == QLatin1String("no") || basso == QLatin1String("off")) {
                avanza();
                return QStringLiteral("0");
            }
            if (basso == QLatin1String("exists")) {
                erroreSintassi();
            }
            if (eParolaChiave(basso)) erroreSintassi();
        }
        // A column reference: name, or table.name (Jet also writes table!name).
        QStringList parti;
        parti << t.testo;
        avanza();
        while ((eSimbolo(QStringLiteral(".")) || eSimbolo(QStringLiteral("!"))) &&
               (dopo(1).tipo == T::Nome || dopo(1).tipo == T::NomeQuadro)) {
            avanza();
            parti << cur().testo;
            avanza();
        }
        if (parti.size() == 1 && parametri_.contains(parti.first().toLower()))
            errore(ErroreJet::ParametriMancanti,
                   QStringLiteral("Too few parameters: the query needs a value for '%1'.").arg(parti.first()));
        if (parti.size() > 1 && parametri_.contains(parti.join(QLatin1Char('!')).toLower()))
            errore(ErroreJet::ParametriMancanti, QStringLiteral("Too few parameters: the query needs a value for '%1'.")
                                                     .arg(parti.join(QLatin1Char('!'))));
        if (qualificatori_ && parti.size() > 1) qualificatori_->insert(parti.first().toLower());
        if (nonQualificato_ && parti.size() == 1) *nonQualificato_ = true;
        QStringList q;
        for (const QString& p : parti) q << NomeSqlite(p);
        return q.join(QLatin1Char('.'));
    }

    QString funzione()
    {
        QString nome = cur().testo;
        avanza();
        attesoSimbolo(QStringLiteral("("));
        QString basso = nome.toLower();
        if (basso.endsWith(QLatin1Char('$'))) basso.chop(1);

        if (basso == QLatin1String("exists")) {
            const QString s = unione();
            attesoSimbolo(QStringLiteral(")"));
            return QStringLiteral("EXISTS (") + s + QStringLiteral(")");
        }
        if (funzioniAggregate().contains(basso)) {
            QString argomento;
            if (basso == QLatin1String("count") && simbolo(QStringLiteral("*"))) {
                argomento = QStringLiteral("*");
            } else {
                const bool distinto = parola(QStringLiteral("distinct"));
                argomento = (distinto ? QStringLiteral("DISTINCT ") : QString()) + espressione();
            }
            attesoSimbolo(QStringLiteral(")"));
            return funzioniAggregate().value(basso) + QLatin1Char('(') + argomento + QLatin1Char(')');
        }

        QStringList arg;
        if (!simbolo(QStringLiteral(")"))) {
            do {
                arg << espressione();
            } while (simbolo(QStringLiteral(",")));
            attesoSimbolo(QStringLiteral(")"));
        }
        if (basso == QLatin1String("iif")) {
            if (arg.size() != 3)
                errore(ErroreJet::SintassiEspressione,
                       QStringLiteral("Wrong number of arguments used with function in query expression 'IIf'."));
            return QStringLiteral("(CASE WHEN jet_vero(%1) THEN %2 ELSE %3 END)").arg(arg[0], arg[1], arg[2]);
        }
        if (basso == QLatin1String("nz")) {
            if (arg.size() == 1) return QStringLiteral("COALESCE(%1, '')").arg(arg[0]);
            if (arg.size() == 2) return QStringLiteral("COALESCE(%1, %2)").arg(arg[0], arg[1]);
            errore(ErroreJet::SintassiEspressione,
                   QStringLiteral("Wrong number of arguments used with function in query expression 'Nz'."));
        }
        const auto it = funzioniScalari().find(basso);
        if (it == funzioniScalari().end())
            errore(ErroreJet::FunzioneNonDefinita, QStringLiteral("Undefined function '%1' in expression.").arg(nome));
        return it.value() + QLatin1Char('(') + arg.join(QStringLiteral(", ")) + QLatin1Char(')');
    }

    QString src_;
    OpzioniTraduzione opz_;
    QList<Token> tok_;
    int p_ = 0;
    QSet<QString> parametri_;
    QSet<QString>* qualificatori_ = nullptr;
    bool* nonQualificato_ = nullptr;
    QList<TabellaFrom>* tabelleFrom_ = nullptr;
};

}  // namespace

QString TraduciJetSql(const QString& jet, const OpzioniTraduzione& opzioni)
{
    Traduttore t(jet, opzioni);
    return t.istruzione();
}

QString TraduciEspressioneJet(const QString& jet, const OpzioniTraduzione& opzioni)
{
    Traduttore t(jet, opzioni);
    return t.espressioneIntera();
}

}  // namespace cartigo
