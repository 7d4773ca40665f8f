#include "print/StampaBatch.h"

#include "layout/CatalogoEtichette.h"
#include "stampora/PortaGrezza.h"
#include "stampora/RichiesteStampora.h"

namespace cartigo {

namespace {
bool intero(const QString& t, int minimo, int massimo, int* out)
{
    bool ok = false;
    const int v = t.toInt(&ok);
    if (!ok || v < minimo || v > massimo) return false;
    *out = v;
    return true;
}
}  // namespace

std::optional<OpzioniBatch> LeggiOpzioniBatch(const QStringList& a, QString* errore)
{
    OpzioniBatch o;
    const auto errato = [&](const QString& testo) {
        if (errore) *errore = testo;
        return std::nullopt;
    };
    for (int i = 0; i < a.size(); ++i) {
        const QString& s = a[i];
        const auto valore = [&](QString* out) {
            if (i + 1 >= a.size()) return false;
            *out = a[++i];
            return true;
        };
        QString v;
        if (s == QLatin1String("--help") || s == QLatin1String("-h")) {
            o.aiuto = true;
            return o;
        } else if (s == QLatin1String("--version")) {
            o.versione = true;
            return o;
        } else if (s == QLatin1String("--db")) {
            if (!valore(&o.database)) return errato(QStringLiteral("--db needs a database file or address"));
        } else if (s == QLatin1String("--password")) {
            if (!valore(&v)) return errato(QStringLiteral("--password needs a value"));
            o.password = v;
        } else if (s == QLatin1String("--all")) {
            o.tutte = true;
        } else if (s == QLatin1String("--count")) {
            if (!valore(&v) || !intero(v, 1, 32767, &o.numero))
                return errato(QStringLiteral("--count needs a number from 1 to 32767"));
        } else if (s == QLatin1String("--first")) {
            if (!valore(&v) || !intero(v, 1, 32767, &o.prima))
                return errato(QStringLiteral("--first needs a number from 1 to 32767"));
        } else if (s == QLatin1String("--borders")) {
            o.bordi = true;
        } else if (s == QLatin1String("--marks")) {
            o.crocicchi = true;
        } else if (s == QLatin1String("--templates")) {
            o.modelli = true;
            if (i + 1 < a.size() && !a[i + 1].startsWith(QLatin1Char('-'))) o.ricerca = a[++i];
        } else if (s == QLatin1String("--check")) {
            o.controllo = true;
        } else if (s == QLatin1String("--strict")) {
            o.rigoroso = true;
        } else if (s == QLatin1String("--keep-going")) {
            o.continua = true;
        } else if (s == QLatin1String("--quiet") || s == QLatin1String("-q")) {
            o.silenzioso = true;
        } else if (s == QLatin1String("--pdf") || s == QLatin1String("--ant") || s == QLatin1String("--zpl") ||
                   s == QLatin1String("--zpl-to") || s == QLatin1String("--printer")) {
            if (o.uscita != OpzioniBatch::Uscita::Nessuna)
                return errato(QStringLiteral("give only one of --pdf, --ant, --zpl, --zpl-to and --printer"));
            if (!valore(&o.destinazione) || o.destinazione.isEmpty())
                return errato(s + QStringLiteral(" needs a value"));
            o.uscita = s == QLatin1String("--pdf")      ? OpzioniBatch::Uscita::Pdf
                       : s == QLatin1String("--ant")    ? OpzioniBatch::Uscita::Ant
                       : s == QLatin1String("--zpl")    ? OpzioniBatch::Uscita::Zpl
                       : s == QLatin1String("--zpl-to") ? OpzioniBatch::Uscita::ZplRete
                                                        : OpzioniBatch::Uscita::Stampante;
            if (o.uscita == OpzioniBatch::Uscita::ZplRete && !LeggiIndirizzoPorta(o.destinazione))
                return errato(QStringLiteral("--zpl-to needs HOST or HOST:PORT (port 1 to 65535)"));
        } else if (s == QLatin1String("--raw")) {
            o.grezzo = true;
        } else if (s == QLatin1String("--timeout")) {
            if (!valore(&v) || !intero(v, 1, 3600, &o.tempoMassimo))
                return errato(QStringLiteral("--timeout needs a number of seconds from 1 to 3600"));
        } else if (s == QLatin1String("--dpi")) {
            int dpi = 0;
            if (!valore(&v) || !intero(v, 50, 4800, &dpi))
                return errato(QStringLiteral("--dpi needs a resolution from 50 to 4800 dots per inch"));
            o.dpi = dpi;
        } else if (s == QLatin1String("--copies")) {
            if (!valore(&v) || !intero(v, 1, kCopieMassime, &o.copie))
                return errato(QStringLiteral("--copies needs a number from 1 to %1").arg(kCopieMassime));
        } else if (s == QLatin1String("--start")) {
            bool ok = false;
            const qint64 n = valore(&v) ? v.toLongLong(&ok) : 0;
            if (!ok || n < -999999999999999999 || n > 999999999999999999)
                return errato(QStringLiteral("--start needs a whole number"));
            o.inizio = n;
        } else if (s == QLatin1String("--set")) {
            if (!valore(&v) || v.indexOf(QLatin1Char('=')) <= 0)
                return errato(QStringLiteral("--set needs NAME=VALUE"));
            const qsizetype uguale = v.indexOf(QLatin1Char('='));
            o.valori.append({v.left(uguale).trimmed(), v.mid(uguale + 1)});
        } else if (s.startsWith(QLatin1String("-")) && s.size() > 1) {
            return errato(QStringLiteral("unknown option %1 (see --help)").arg(s));
        } else if (o.etichetta.isEmpty()) {
            o.etichetta = s;
        } else {
            return errato(QStringLiteral("only one label file, please: %1").arg(s));
        }
    }
    if (o.modelli) {
        if (!o.etichetta.isEmpty() || o.uscita != OpzioniBatch::Uscita::Nessuna)
            return errato(
                QStringLiteral("--templates [SEARCH] goes alone: it lists label products and prints nothing"));
        return o;
    }
    if (o.etichetta.isEmpty()) return errato(QStringLiteral("no label file given (see --help)"));
    if (o.controllo && o.rigoroso) return errato(QStringLiteral("give --check or --strict, not both"));
    if (o.grezzo && o.uscita != OpzioniBatch::Uscita::Stampante)
        return errato(QStringLiteral("--raw goes with --printer NAME: the queue gets the job's ZPL as it is"));
    // without an output: the default printer (the check alone needs none)
    if (o.uscita == OpzioniBatch::Uscita::Nessuna && !o.controllo) o.uscita = OpzioniBatch::Uscita::Stampante;
    if (o.tutte && o.numero > 0) return errato(QStringLiteral("give --all or --count, not both"));
    if (o.copie != 1 && o.uscita != OpzioniBatch::Uscita::Stampante && o.uscita != OpzioniBatch::Uscita::Zpl &&
        o.uscita != OpzioniBatch::Uscita::ZplRete)
        return errato(QStringLiteral("--copies goes with --printer, --zpl or --zpl-to"));
    return o;
}

std::optional<QStringList> ValoriBatch(const OpzioniBatch& o, const VariabiliEtichetta& richieste, QString* errore)
{
    const auto errato = [&](const QString& testo) {
        if (errore) *errore = testo;
        return std::nullopt;
    };
    for (const auto& [nome, valore] : o.valori) {
        const VariabileEtichetta* v = Variabili::Trova(richieste, nome);
        if (!v) return errato(QStringLiteral("the label asks for no value named %1 at print time").arg(nome));
    }
    QStringList r;
    for (const VariabileEtichetta& v : richieste) {
        std::optional<QString> valore;
        for (const auto& [nome, dato] : o.valori)
            if (nome.compare(v.Nome, Qt::CaseInsensitive) == 0) valore = dato;  // the last one given
        if (!valore && v.Predefinito.isEmpty())
            return errato(QStringLiteral("the label asks for %1 (%2): give it with --set %1=VALUE")
                              .arg(v.Nome, v.Domanda.isEmpty() ? v.Nome : v.Domanda));
        if (!valore) valore = v.Predefinito;
        if (const QString e = Variabili::ControllaValore(v, *valore); !e.isEmpty()) return errato(e);
        r << *valore;
    }
    return r;
}

QString AiutoBatch()
{
    return QStringLiteral(
        "Usage: cartigo-print LABEL.eti [--db DATABASE] [--password PW] [--all | --count N] [--first N]\n"
        "                     [--borders] [--marks] [--keep-going] [--quiet]\n"
        "                     [--pdf OUT.pdf | --ant OUT.ant | --zpl OUT.zpl | --zpl-to HOST[:PORT] |\n"
        "                      --printer NAME [--raw]] [--copies N]\n"
        "                     [--timeout SECONDS] [--start N] [--set NAME=VALUE]... [--dpi N]\n"
        "                     [--check | --strict]\n"
        "       cartigo-print --templates [SEARCH]\n"
        "\n"
        "Prints a Cartigo label on sheets of labels, or on a roll one label a page, without a\n"
        "window.\n"
        "\n"
        "  --db DATABASE    the database that feeds the label's linked objects and merge fields,\n"
        "                   in place of the one the label names: an MDB, ACCDB, CSV, XLSX, ODS or\n"
        "                   SQLite file, or a PostgreSQL server as postgresql://user@host:port/dbname\n"
        "  --password PW    the database's password (a server's also comes from PGPASSWORD or\n"
        "                   ~/.pgpass, as for psql)\n"
        "  --all            one label per record of the label's selection (the default with a\n"
        "                   database; without one, a single label)\n"
        "  --count N        print N labels\n"
        "  --first N        the first label goes into cell N of the sheet (default 1)\n"
        "  --borders        draw each label's border\n"
        "  --marks          draw the corner marks of each label\n"
        "  --keep-going     print what can be printed: a picture that cannot be read is left out\n"
        "                   with a warning instead of stopping the print, and barcode data that\n"
        "                   their kind cannot encode, or none (left out either way), only warn\n"
        "  --quiet, -q      write nothing but errors: no summary, progress or warnings\n"
        "  --pdf FILE       write a PDF file\n"
        "  --ant FILE       write a Cartigo print file (open it with cartigo to preview it)\n"
        "  --zpl FILE       write ZPL II for a label printer (Zebra and the printers that speak\n"
        "                   its language): one label a page, at --dpi, else the label's \"Print\n"
        "                   resolution\", else 203 dpi; barcodes as the printer's own, texts\n"
        "                   and pictures as graphics (a colour prints black when darker than\n"
        "                   half); --copies prints each label N times\n"
        "                   (FILE \"-\" is standard output; the label and its database are\n"
        "                   never written over)\n"
        "  --zpl-to HOST[:PORT]\n"
        "                   send that ZPL straight to a label printer's raw port (9100 by\n"
        "                   default), within --timeout; a refused or silent port is an error\n"
        "  --printer NAME   print on the printer NAME (CUPS); without --pdf, --ant or --printer\n"
        "                   the label goes to the default printer (PRINTER, lpoptions -d, the\n"
        "                   print server's default)\n"
        "  --raw            with --printer: send the printer's queue that ZPL as a raw job, which\n"
        "                   no driver converts, at --dpi, else the queue's resolution, else as\n"
        "                   --zpl; a queue that takes no raw jobs is an error\n"
        "  --copies N       copies of the whole document on the printer, 1 to 999 (default 1);\n"
        "                   with --zpl, --zpl-to and --raw, each label N times (^PQ);\n"
        "                   the printer gets one job of N copies, titled with the label's name\n"
        "  --timeout S      seconds the print server has to answer and take the job, and a\n"
        "                   SQLite database to give each of its answers (default 30); a server\n"
        "                   that cannot be reached, does not answer in time, has no such\n"
        "                   printer or refuses the job, or a query that runs longer, is an error\n"
        "  --start N        the label's counters that continue their numbering (all of them\n"
        "                   when none does) start from N in this job, in place of the value\n"
        "                   the label keeps, and go on from where this job ends\n"
        "  --set NAME=VALUE the value of the label's variable NAME asked at print time (one\n"
        "                   --set for each; a variable not set takes its default)\n"
        "  --dpi N          lay barcodes out on whole dots of N dots per inch, for any output\n"
        "                   (without it: a printer's own resolution, else the label's \"Print\n"
        "                   resolution\"; none prints them as vectors)\n"
        "  --check          check the label at the resolution the output would use and print\n"
        "                   nothing: each finding on a line of standard output (a module under\n"
        "                   one dot, or two for Code 39, or under 0.264 mm for EAN and UPC, a\n"
        "                   quiet zone covered by another object or the label's edge, a\n"
        "                   human-readable line that does not fit, bars lower than 15 % of the\n"
        "                   symbol's width), with the first record it happens on; status 0\n"
        "                   when there is none, 4 otherwise\n"
        "  --strict         check the label before printing: findings go to standard error\n"
        "                   and nothing is printed (status 4)\n"
        "  --templates [SEARCH]\n"
        "                   list the label products of the catalogue (the glabels-data package\n"
        "                   and $XDG_DATA_HOME/cartigo/templates) whose maker, code or\n"
        "                   description holds every word of SEARCH, or whose labels measure\n"
        "                   SEARCH (70x37, in mm) or lie SEARCH across and down (3x8): one a\n"
        "                   line, maker, code, label size (mm), across x down, page, between\n"
        "                   tabs; status 1 when none matches\n"
        "  --help           this text\n"
        "  --version        the version\n"
        "\n"
        "Prints one summary line (labels, pages, output) and exits with status 0. Otherwise it\n"
        "says why on stderr, where nothing else writes, and exits with\n"
        "  1  an error: a file, the database, a picture that cannot be read (without\n"
        "     --keep-going: nothing is printed), barcode data that cannot be encoded or\n"
        "     are empty, a text that does not fit its box even at its smallest size\n"
        "     (without --keep-going; the other labels are printed, each message\n"
        "     names the first record it came from), a page longer than a PDF page may be\n"
        "     (200 inches), the output, the printer or its print server (a\n"
        "     stopped printer keeps the job in its queue: not printed yet)\n"
        "  2  a wrong command line, such as an output that is the label or its database, or a\n"
        "     value asked at print time that is missing or against its rule: nothing is printed\n"
        "  3  --all with a selection that has no record: nothing is printed\n"
        "  4  --check or --strict found problems (--strict: nothing is printed)\n");
}

QStringList RigheProdotti(const std::vector<const ProdottoEtichetta*>& prodotti)
{
    QStringList righe;
    for (const ProdottoEtichetta* p : prodotti) {
        const QString pagina = p->pagina.isEmpty() || p->pagina == QLatin1String("Other")
                                   ? TestoMisura(p->dimensionePagina.width(), p->dimensionePagina.height())
                                   : p->pagina;
        righe << QStringList{p->marca, p->codice, TestoMisura(p->larghezza, p->altezza),
                             QStringLiteral("%1 x %2").arg(p->colonne).arg(p->righe), pagina}
                     .join(QLatin1Char('\t'));
    }
    return righe;
}

}  // namespace cartigo
