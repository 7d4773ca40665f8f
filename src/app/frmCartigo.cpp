#include "app/frmCartigo.h"

#include "barcode/frmParametriBarcode.h"
#include "designer/BandaTrascinamento.h"
#include "designer/PannelloOggetto.h"
#include "designer/PicBox.h"
#include "designer/clsGrip.h"
#include "designer/frmDialoghiFormato.h"
#include "designer/frmVariabili.h"
#include "label/Locale.h"
#include "layout/CatalogoEtichette.h"
#include "print/frmStampa.h"
#include "shell/Finestre.h"
#include "shell/Icone.h"
#include "shell/StringTable.h"
#include "shell/TastiBloccati.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>

namespace cartigo {

namespace {
// Menu entries and their string ids, in menu order. Ids of 0 keep their fixed caption.
struct VoceMenu {
    const char* nome;
    int id;
};
}  // namespace

frmCartigo::frmCartigo(Interazione* ui, QWidget* parent)
    : QMainWindow(parent),
      uiQt_(ui ? nullptr : std::make_unique<InterazioneQt>(this)),
      ui_(ui ? ui : uiQt_.get()),
      gestore_(doc_, *ui_),
      comandi_(doc_, *ui_)
{
    setObjectName(QStringLiteral("frmCartigo"));
    setWindowIcon(IconaComando(QStringLiteral("cartigo")));
    resize(1000, 720);
    // The catalogue of label products is read once per run, in the background, from the
    // start: the layout dialog finds it read.
    CatalogoEtichette::AvviaLettura();

    // The user's separators, read once.
    ImpostazioniLocali loc;
    const QString dec = modCartigo::LeggiImpostazioneLocale(0, 14);
    const QString mig = modCartigo::LeggiImpostazioneLocale(0, 15);
    loc.decimale = dec.isEmpty() ? QLatin1Char('.') : dec.at(0);
    loc.migliaia = mig.isEmpty() ? QChar() : mig.at(0);
    ImpostazioniLocali::impostaCorrenti(loc);

    creaMenu();
    creaToolbar();
    creaStatusBar();
    Internazionalizza();

    area_ = new AreaDisegno(doc_, this);
    setCentralWidget(area_);
    banda_ = new BandaTrascinamento(this);
    impostaMetricaSchermo();
    editor_ = std::make_unique<EditorSuperficie>(doc_, *this);
    collegaSuperficie();
    creaPannello();
    RegistraDialoghiFormato();
    RegistraDialogoVariabili();
    RegistraDialogoParametriBarcode();
    RegistraDialogoStampa();

    inizializzaDati();
    connect(&doc_, &DocumentoEtichetta::connessioneCambiata, this, &frmCartigo::aggiornaConnessione);
    connect(&doc_, &DocumentoEtichetta::statoCambiato, this, &frmCartigo::aggiornaTitolo);
    connect(&doc_, &DocumentoEtichetta::statoCambiato, this, &frmCartigo::aggiornaStrumenti);
    connect(&doc_.Storia(), &QUndoStack::indexChanged, this, &frmCartigo::aggiornaStoria);
    connect(&doc_.Storia(), &QUndoStack::cleanChanged, this, &frmCartigo::aggiornaStoria);

    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &frmCartigo::aggiornaTastiBloccati);
    timer->start(500);

    InitFontControls();
    aggiornaZoom();

    // Grid off, snap on.
    griglia_ = false;
    editor_->Snap = true;
    area_->picBox()->ImpostaGriglia(griglia_);
    UpdateGridButtons();
    doc_.ImpostaLayoutDefault();
    aggiornaTitolo();
    aggiornaStrumenti();
    doc_.ImpostaModificato(false);
    modCartigo::CentraForm(this);
}

frmCartigo::~frmCartigo()
{
    // The conversions refer to this window.
    auto& m = MetricaSchermo::corrente();
    m.ScreenToClient = [](QPoint p) { return p; };
    m.ClientToScreen = [](QPoint p) { return p; };
}

QAction* frmCartigo::voce(QMenu* menu, const QString& nome, void (frmCartigo::*slot)())
{
    auto* a = menu->addAction(QString());
    a->setObjectName(nome);
    if (slot) connect(a, &QAction::triggered, this, slot);
    menu_.insert(nome, a);
    return a;
}

void frmCartigo::creaMenu()
{
    QMenuBar* barra = menuBar();
    auto sottomenu = [&](QMenu* genitore, const QString& nome) {
        QMenu* m = genitore ? genitore->addMenu(QString()) : barra->addMenu(QString());
        m->setObjectName(nome);
        menu_.insert(nome, m->menuAction());
        return m;
    };

    QMenu* file = sottomenu(nullptr, QStringLiteral("mnuFile"));
    voce(file, QStringLiteral("mnuNuovo"), &frmCartigo::mnuNuovo_Click)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    voce(file, QStringLiteral("mnuApri"), &frmCartigo::mnuApri_Click)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    voce(file, QStringLiteral("mnuSalva"), &frmCartigo::mnuSalva_Click)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    file->addSeparator();
    voce(file, QStringLiteral("mnuImpostaPagina"), &frmCartigo::mnuImpostaPagina_Click);
    voce(file, QStringLiteral("mnuControllaEtichetta"), &frmCartigo::mnuControllaEtichetta_Click);
    voce(file, QStringLiteral("mnuStampa"), &frmCartigo::mnuStampa_Click)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    file->addSeparator();
    voce(file, QStringLiteral("mnuEsci"), &frmCartigo::mnuEsci_Click);

    QMenu* modifica = sottomenu(nullptr, QStringLiteral("mnuModifica"));
    voce(modifica, QStringLiteral("mnuAnnulla"), &frmCartigo::mnuAnnulla_Click)->setShortcut(QKeySequence::Undo);
    voce(modifica, QStringLiteral("mnuRipeti"), &frmCartigo::mnuRipeti_Click)
        ->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    modifica->addSeparator();
    voce(modifica, QStringLiteral("mnuCancella"), &frmCartigo::mnuCancella_Click)
        ->setShortcut(QKeySequence(Qt::Key_Delete));
    voce(modifica, QStringLiteral("mnuTaglia"), &frmCartigo::mnuTaglia_Click)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
    // Ctrl+C and Ctrl+V beside the Insert keys, as desktop users expect.
    voce(modifica, QStringLiteral("mnuCopia"), &frmCartigo::mnuCopia_Click)
        ->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Insert), QKeySequence(Qt::CTRL | Qt::Key_C)});
    voce(modifica, QStringLiteral("mnuIncolla"), &frmCartigo::mnuIncolla_Click)
        ->setShortcuts({QKeySequence(Qt::SHIFT | Qt::Key_Insert), QKeySequence(Qt::CTRL | Qt::Key_V)});
    voce(modifica, QStringLiteral("mnuSelezionaTutto"), &frmCartigo::mnuSelezionaTutto_Click)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    modifica->addSeparator();
    voce(modifica, QStringLiteral("mnuModificaTesto"), &frmCartigo::mnuModificaTesto_Click);
    voce(modifica, QStringLiteral("mnuModificaImmagine"), &frmCartigo::mnuModificaImmagine_Click);

    QMenu* vista = sottomenu(nullptr, QStringLiteral("mnuVisualizza"));
    voce(vista, QStringLiteral("mnuZoomPiu"), &frmCartigo::mnuZoomPiu_Click)
        ->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    voce(vista, QStringLiteral("mnuZoomMeno"), &frmCartigo::mnuZoomMeno_Click)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
    voce(vista, QStringLiteral("mnuZoom100"), &frmCartigo::mnuZoom100_Click)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    voce(vista, QStringLiteral("mnuAdattaEtichetta"), &frmCartigo::mnuAdattaEtichetta_Click);
    menu_.value(QStringLiteral("mnuZoomPiu"))->setIcon(IconaComando(QStringLiteral("zoompiu")));
    menu_.value(QStringLiteral("mnuZoomMeno"))->setIcon(IconaComando(QStringLiteral("zoommeno")));
    menu_.value(QStringLiteral("mnuAdattaEtichetta"))->setIcon(IconaComando(QStringLiteral("zoomadatta")));

    QMenu* db = sottomenu(nullptr, QStringLiteral("mnuDatabase"));
    voce(db, QStringLiteral("mnuConnettiDb"), &frmCartigo::mnuConnettiDb_Click);
    voce(db, QStringLiteral("mnuDisconnettiDb"), &frmCartigo::mnuDisconnettiDb_Click);
    voce(db, QStringLiteral("mnuSelezionaRecords"), &frmCartigo::mnuSelezionaRecords_Click);
    db->addSeparator();
    voce(db, QStringLiteral("mnuCollega"), &frmCartigo::mnuCollega_Click);
    voce(db, QStringLiteral("mnuVariabili"), &frmCartigo::mnuVariabili_Click);

    QMenu* oggetti = sottomenu(nullptr, QStringLiteral("mnuOggetti"));
    voce(oggetti, QStringLiteral("mnuSeleziona"), &frmCartigo::mnuSeleziona_Click);
    oggetti->addSeparator();
    voce(oggetti, QStringLiteral("mnuTesto"), &frmCartigo::mnuTesto_Click);
    voce(oggetti, QStringLiteral("mnuCodiciBarre"), &frmCartigo::mnuCodiciBarre_Click);
    voce(oggetti, QStringLiteral("mnuImmagine"), &frmCartigo::mnuImmagine_Click);
    voce(oggetti, QStringLiteral("mnuRettangolo"), &frmCartigo::mnuRettangolo_Click);
    voce(oggetti, QStringLiteral("mnuLinea"), &frmCartigo::mnuLinea_Click);
    voce(oggetti, QStringLiteral("mnuEllisse"), &frmCartigo::mnuEllisse_Click);

    QMenu* formato = sottomenu(nullptr, QStringLiteral("mnuFormato"));
    QMenu* sfondo = sottomenu(formato, QStringLiteral("mnuModalitàSfondo"));
    voce(sfondo, QStringLiteral("mnuOpaco"), &frmCartigo::mnuOpaco_Click);
    voce(sfondo, QStringLiteral("mnuTrasparente"), &frmCartigo::mnuTrasparente_Click);
    voce(formato, QStringLiteral("mnuColoreSfondo"), &frmCartigo::mnuColoreSfondo_Click);
    voce(formato, QStringLiteral("mnuColoreOggetto"), &frmCartigo::mnuColoreOggetto_Click);
    formato->addSeparator();
    QMenu* spessore = sottomenu(formato, QStringLiteral("mnuSpessore"));
    for (int i = 1; i <= 3; ++i) {
        QAction* a = voce(spessore, QStringLiteral("mnuSpessore%1").arg(i), nullptr);
        a->setText(QString::number(i));
        connect(a, &QAction::triggered, this, [this, i] { mnuSpessore_Click(i); });
    }
    formato->addSeparator();
    voce(formato, QStringLiteral("mnuPortaAvanti"), &frmCartigo::mnuPortaAvanti_Click);
    voce(formato, QStringLiteral("mnuPortaIndietro"), &frmCartigo::mnuPortaIndietro_Click);
    formato->addSeparator();
    voce(formato, QStringLiteral("mnuRuotaSinistra"), &frmCartigo::mnuRuotaSinistra_Click)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    voce(formato, QStringLiteral("mnuRuotaDestra"), &frmCartigo::mnuRuotaDestra_Click)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R));
    menu_.value(QStringLiteral("mnuRuotaSinistra"))->setIcon(IconaComando(QStringLiteral("ruotasx")));
    menu_.value(QStringLiteral("mnuRuotaDestra"))->setIcon(IconaComando(QStringLiteral("ruotadx")));
    voce(formato, QStringLiteral("mnuForma"), &frmCartigo::mnuForma_Click);
    formato->addSeparator();
    voce(formato, QStringLiteral("mnuParametriBarcode"), &frmCartigo::mnuParametriBarcode_Click);
    formato->addSeparator();
    voce(formato, QStringLiteral("mnuCarattere"), &frmCartigo::mnuCarattere_Click);
    voce(formato, QStringLiteral("mnuAllineamento"), &frmCartigo::mnuAllineamento_Click);
    QMenu* allinea = sottomenu(formato, QStringLiteral("mnuAllinea"));
    for (const ComandoDisposizione& c : ComandiDisposizione()) {
        if (c.separatorePrima) allinea->addSeparator();
        QAction* a = voce(allinea, QString::fromLatin1(c.menu), nullptr);
        a->setIcon(IconaComando(QString::fromLatin1(c.pulsante)));
        connect(a, &QAction::triggered, this, [this, &c] { Disponi(c); });
    }

    QMenu* help = sottomenu(nullptr, QStringLiteral("mnuHelp"));
    help->setTitle(QStringLiteral("&Help"));
    voce(help, QStringLiteral("mnuInformazioni"), &frmCartigo::mnuInformazioni_Click);
}

QAction* frmCartigo::pulsante(QToolBar* tb, const QString& chiave)
{
    QAction* a = tb->addAction(IconaComando(chiave), QString());
    a->setObjectName(chiave);
    connect(a, &QAction::triggered, this, [this, chiave] { Toolbar_ButtonClick(chiave); });
    pulsanti_.insert(chiave, a);
    return a;
}

void frmCartigo::creaToolbar()
{
    toolbar1_ = addToolBar(QString());
    toolbar1_->setObjectName(QStringLiteral("Toolbar1"));
    toolbar1_->setMovable(false);
    const char* gruppi1[][8] = {
        {"nuovo", "apri", "salva", nullptr},
        {"annulla", "ripeti", nullptr},
        {"imposta", "stampa", nullptr},
        {"connettidb", "disconnettidb", nullptr},
        {"seleziona", "testo", "immagine", "barcode", "rettangolo", "linea", "ellisse", nullptr},
        {"modifica", "collega", nullptr},
        {"parbarcode", nullptr},
        {"griglia", "snap", nullptr},
    };
    bool primo = true;
    for (const auto& g : gruppi1) {
        if (!primo) toolbar1_->addSeparator();
        primo = false;
        for (int i = 0; g[i]; ++i) pulsante(toolbar1_, QString::fromLatin1(g[i]));
    }
    // The zoom at the status bar's right end, where it stays in sight however narrow the
    // window (a scale of 2 on a laptop screen leaves 800 pixels).
    toolbarZoom_ = new QToolBar(this);
    toolbarZoom_->setObjectName(QStringLiteral("ToolbarZoom"));
    toolbarZoom_->setIconSize(QSize(16, 16));
    toolbarZoom_->setMovable(false);
    pulsante(toolbarZoom_, QStringLiteral("zoommeno"));
    cmbZoom_ = new QComboBox(toolbarZoom_);
    cmbZoom_->setObjectName(QStringLiteral("cmbZoom"));
    cmbZoom_->setEditable(true);
    cmbZoom_->setInsertPolicy(QComboBox::NoInsert);
    for (int p : {25, 50, 75, 100, 150, 200, 300, 400, 600, 800})
        cmbZoom_->addItem(QStringLiteral("%1 %").arg(p), p / 100.0);
    cmbZoom_->setCurrentIndex(3);
    toolbarZoom_->addWidget(cmbZoom_)->setObjectName(QStringLiteral("zoom"));
    connect(cmbZoom_, &QComboBox::activated, this, [this](int i) { ImpostaZoom(cmbZoom_->itemData(i).toDouble()); });
    connect(cmbZoom_->lineEdit(), &QLineEdit::editingFinished, this, [this] {
        QString t = cmbZoom_->currentText();
        t.remove(QLatin1Char('%'));
        bool ok = false;
        const double p = QLocale::c().toDouble(t.trimmed().replace(QLatin1Char(','), QLatin1Char('.')), &ok);
        if (ok && p > 0)
            ImpostaZoom(p / 100);
        else
            aggiornaZoom();
    });
    pulsante(toolbarZoom_, QStringLiteral("zoompiu"));
    pulsante(toolbarZoom_, QStringLiteral("zoomadatta"));
    Pulsante(QStringLiteral("griglia"))->setCheckable(true);
    Pulsante(QStringLiteral("snap"))->setCheckable(true);
    Pulsante(QStringLiteral("snap"))->setChecked(true);

    addToolBarBreak();
    toolbar2_ = addToolBar(QString());
    toolbar2_->setObjectName(QStringLiteral("Toolbar2"));
    toolbar2_->setMovable(false);
    pulsante(toolbar2_, QStringLiteral("carattere"));
    // "font" holds the two font boxes and has no command.
    auto* contenitore = new QWidget(toolbar2_);
    auto* riga = new QHBoxLayout(contenitore);
    riga->setContentsMargins(2, 0, 2, 0);
    cmbFontname_ = new QComboBox(contenitore);
    cmbFontname_->setObjectName(QStringLiteral("cmbFontname"));
    cmbFontname_->setEditable(true);
    cmbFontname_->setMinimumContentsLength(18);
    cmbFontsize_ = new QComboBox(contenitore);
    cmbFontsize_->setObjectName(QStringLiteral("cmbFontsize"));
    cmbFontsize_->setEditable(true);
    riga->addWidget(cmbFontname_);
    riga->addWidget(cmbFontsize_);
    QAction* font = toolbar2_->addWidget(contenitore);
    font->setObjectName(QStringLiteral("font"));
    pulsanti_.insert(QStringLiteral("font"), font);
    for (const char* k : {"grassetto", "corsivo"}) pulsante(toolbar2_, QString::fromLatin1(k))->setCheckable(true);
    toolbar2_->addSeparator();
    for (const char* k : {"allineasx", "allineac", "allineadx"}) pulsante(toolbar2_, QString::fromLatin1(k));
    toolbar2_->addSeparator();
    for (const char* k : {"coloreogg", "coloresfo"}) pulsante(toolbar2_, QString::fromLatin1(k));
    toolbar2_->addSeparator();
    for (const char* k : {"avanti", "indietro"}) pulsante(toolbar2_, QString::fromLatin1(k));
    toolbar2_->addSeparator();
    for (const char* k : {"spessore1", "spessore2", "spessore3"}) pulsante(toolbar2_, QString::fromLatin1(k));
    toolbar2_->addSeparator();
    for (const char* k : {"opaco", "trasparente"}) pulsante(toolbar2_, QString::fromLatin1(k));

    // Align, distribute and same size beside the formatting buttons.
    toolbar3_ = addToolBar(QString());
    toolbar3_->setObjectName(QStringLiteral("ToolbarDisposizione"));
    toolbar3_->setMovable(false);
    for (const ComandoDisposizione& c : ComandiDisposizione()) {
        if (c.separatorePrima) toolbar3_->addSeparator();
        pulsante(toolbar3_, QString::fromLatin1(c.pulsante));
    }
}

void frmCartigo::creaStatusBar()
{
    for (const char* k : {"nomedb", "nometable", "posizione", "zoom", "capslock", "numlock"}) {
        auto* l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(k));
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        pannelli_.insert(QString::fromLatin1(k), l);
    }
    statusBar()->addWidget(pannelli_.value(QStringLiteral("nomedb")), 3);
    statusBar()->addWidget(pannelli_.value(QStringLiteral("nometable")), 2);
    pannelli_.value(QStringLiteral("capslock"))->setText(LoadResString(1402));
    pannelli_.value(QStringLiteral("numlock"))->setText(LoadResString(1403));
    statusBar()->addPermanentWidget(pannelli_.value(QStringLiteral("posizione")));
    statusBar()->addPermanentWidget(pannelli_.value(QStringLiteral("zoom")));
    statusBar()->addPermanentWidget(toolbarZoom_);
    statusBar()->addPermanentWidget(pannelli_.value(QStringLiteral("capslock")));
    statusBar()->addPermanentWidget(pannelli_.value(QStringLiteral("numlock")));
    aggiornaConnessione(false);
    aggiornaTastiBloccati();
}

void frmCartigo::aggiornaTastiBloccati()
{
    const auto stato = TastiBloccati::Leggi();
    QLabel* caps = pannelli_.value(QStringLiteral("capslock"));
    QLabel* num = pannelli_.value(QStringLiteral("numlock"));
    if (!stato) {
        caps->setVisible(false);
        num->setVisible(false);
        return;
    }
    caps->setVisible(true);
    num->setVisible(true);
    caps->setEnabled(stato->maiuscole);
    num->setEnabled(stato->numeri);
}

void frmCartigo::Internazionalizza()
{
    static const VoceMenu voci[] = {
        {"mnuFile", 109},
        {"mnuNuovo", 146},
        {"mnuApri", 110},
        {"mnuSalva", 111},
        {"mnuImpostaPagina", 112},
        {"mnuControllaEtichetta", 2963},
        {"mnuStampa", 113},
        {"mnuEsci", 114},
        {"mnuModifica", 115},
        {"mnuCancella", 116},
        {"mnuCopia", 117},
        {"mnuIncolla", 118},
        {"mnuTaglia", 1502},
        {"mnuSelezionaTutto", 1503},
        {"mnuModificaTesto", 119},
        {"mnuModificaImmagine", 120},
        {"mnuDatabase", 121},
        {"mnuConnettiDb", 122},
        {"mnuDisconnettiDb", 123},
        {"mnuSelezionaRecords", 124},
        {"mnuCollega", 125},
        {"mnuVariabili", 2800},
        {"mnuOggetti", 126},
        {"mnuSeleziona", 127},
        {"mnuTesto", 128},
        {"mnuCodiciBarre", 129},
        {"mnuImmagine", 130},
        {"mnuRettangolo", 131},
        {"mnuLinea", 2910},
        {"mnuEllisse", 2911},
        {"mnuRuotaSinistra", 2912},
        {"mnuRuotaDestra", 2913},
        {"mnuForma", 2916},
        {"mnuFormato", 132},
        {"mnuModalitàSfondo", 133},
        {"mnuOpaco", 134},
        {"mnuTrasparente", 135},
        {"mnuColoreSfondo", 136},
        {"mnuColoreOggetto", 137},
        {"mnuSpessore", 138},
        {"mnuPortaAvanti", 139},
        {"mnuPortaIndietro", 140},
        {"mnuParametriBarcode", 141},
        {"mnuCarattere", 142},
        {"mnuAllineamento", 143},
        {"mnuInformazioni", 144},
        {"mnuAllinea", 1535},
        {"mnuVisualizza", 1504},
        {"mnuZoomPiu", 1505},
        {"mnuZoomMeno", 1506},
        {"mnuZoom100", 1507},
        {"mnuAdattaEtichetta", 1508},
    };
    for (const auto& v : voci) {
        if (QAction* a = menu_.value(QString::fromUtf8(v.nome))) a->setText(LoadResString(v.id));
    }
    static const VoceMenu suggerimenti[] = {
        {"nuovo", 146},       {"apri", 110},          {"salva", 111},     {"imposta", 112},     {"stampa", 113},
        {"connettidb", 122},  {"disconnettidb", 123}, {"seleziona", 127}, {"testo", 128},       {"immagine", 130},
        {"barcode", 129},     {"rettangolo", 131},    {"modifica", 119},  {"collega", 125},     {"parbarcode", 141},
        {"griglia", 147},     {"snap", 148},          {"carattere", 142}, {"grassetto", 149},   {"corsivo", 150},
        {"allineasx", 143},   {"allineadx", 143},     {"coloreogg", 137}, {"coloresfo", 136},   {"avanti", 139},
        {"indietro", 140},    {"spessore1", 151},     {"spessore2", 152}, {"spessore3", 153},   {"opaco", 134},
        {"trasparente", 135}, {"zoompiu", 1505},      {"zoommeno", 1506}, {"zoomadatta", 1508},
        {"linea", 2910},      {"ellisse", 2911},
    };
    for (const ComandoDisposizione& c : ComandiDisposizione()) {
        menu_.value(QString::fromLatin1(c.menu))->setText(LoadResString(c.testo));
        QAction* a = pulsanti_.value(QString::fromLatin1(c.pulsante));
        a->setText(LoadResString(c.testo));
        a->setToolTip(LoadResString(c.testo));
    }
    for (const auto& s : suggerimenti) {
        if (QAction* a = pulsanti_.value(QString::fromLatin1(s.nome))) {
            a->setText(LoadResString(s.id));
            a->setToolTip(LoadResString(s.id));
        }
    }
    // Fixed tooltips.
    pulsanti_.value(QStringLiteral("allineac"))->setToolTip(LoadResString(1404));
    pulsanti_.value(QStringLiteral("font"))->setToolTip(QString());
    aggiornaStoria();
    if (pannello_) {
        pannello_->Internazionalizza();
        dock_->setWindowTitle(LoadResString(1509));
        dock_->toggleViewAction()->setText(LoadResString(1509));
    }
}

namespace {
// The tools, each as a menu entry and a toolbar button, with the mode it arms.
struct Strumento {
    const char* menu;
    const char* pulsante;
    ModoInserimento modo;
};
constexpr Strumento kStrumenti[] = {{"mnuSeleziona", "seleziona", ModoInserimento::Nessuno},
                                    {"mnuTesto", "testo", ModoInserimento::Testo},
                                    {"mnuCodiciBarre", "barcode", ModoInserimento::Barcode},
                                    {"mnuImmagine", "immagine", ModoInserimento::Immagine},
                                    {"mnuRettangolo", "rettangolo", ModoInserimento::Rettangolo},
                                    {"mnuLinea", "linea", ModoInserimento::Linea},
                                    {"mnuEllisse", "ellisse", ModoInserimento::Ellisse}};
}  // namespace

void frmCartigo::aggiornaStrumenti()
{
    // With no creation tool armed a click selects: the selection tool is the one in use.
    const ModoInserimento modo = doc_.Modo();
    for (const Strumento& s : kStrumenti) {
        for (QAction* a : {Menu(QString::fromLatin1(s.menu)), Pulsante(QString::fromLatin1(s.pulsante))}) {
            a->setCheckable(true);
            a->setChecked(s.modo == modo);
        }
    }
}

void frmCartigo::aggiornaTitolo()
{
    // The label's file name, marked while it has unsaved changes; messages keep the
    // program's title.
    const QString& file = doc_.NomeFileEtichetta();
    const QString nome = file.isEmpty() ? LoadResString(1546) : QFileInfo(file).fileName();
    setWindowTitle(nome + QStringLiteral("[*] - ") + modCartigo::TitoloProgramma());
    setWindowModified(doc_.Modificato());
    gestore_.impostaTitolo(modCartigo::TitoloProgramma());
    comandi_.impostaTitolo(modCartigo::TitoloProgramma());
}

void frmCartigo::Toolbar_ButtonClick(const QString& chiave)
{
    using Comando = void (frmCartigo::*)();
    static const QHash<QString, Comando> comandi = {
        {QStringLiteral("nuovo"), &frmCartigo::mnuNuovo_Click},
        {QStringLiteral("apri"), &frmCartigo::mnuApri_Click},
        {QStringLiteral("salva"), &frmCartigo::mnuSalva_Click},
        {QStringLiteral("annulla"), &frmCartigo::mnuAnnulla_Click},
        {QStringLiteral("ripeti"), &frmCartigo::mnuRipeti_Click},
        {QStringLiteral("imposta"), &frmCartigo::mnuImpostaPagina_Click},
        {QStringLiteral("stampa"), &frmCartigo::mnuStampa_Click},
        {QStringLiteral("connettidb"), &frmCartigo::mnuConnettiDb_Click},
        {QStringLiteral("disconnettidb"), &frmCartigo::mnuDisconnettiDb_Click},
        {QStringLiteral("seleziona"), &frmCartigo::mnuSeleziona_Click},
        {QStringLiteral("testo"), &frmCartigo::mnuTesto_Click},
        {QStringLiteral("immagine"), &frmCartigo::mnuImmagine_Click},
        {QStringLiteral("barcode"), &frmCartigo::mnuCodiciBarre_Click},
        {QStringLiteral("rettangolo"), &frmCartigo::mnuRettangolo_Click},
        {QStringLiteral("linea"), &frmCartigo::mnuLinea_Click},
        {QStringLiteral("ellisse"), &frmCartigo::mnuEllisse_Click},
        {QStringLiteral("modifica"), &frmCartigo::mnuModificaTesto_Click},
        {QStringLiteral("collega"), &frmCartigo::mnuCollega_Click},
        {QStringLiteral("parbarcode"), &frmCartigo::mnuParametriBarcode_Click},
        {QStringLiteral("griglia"), &frmCartigo::SetGriglia},
        {QStringLiteral("snap"), &frmCartigo::SetSnap},
        {QStringLiteral("carattere"), &frmCartigo::mnuCarattere_Click},
        {QStringLiteral("grassetto"), &frmCartigo::ApplicaStileToolbar},
        {QStringLiteral("corsivo"), &frmCartigo::ApplicaStileToolbar},
        {QStringLiteral("coloreogg"), &frmCartigo::mnuColoreOggetto_Click},
        {QStringLiteral("coloresfo"), &frmCartigo::mnuColoreSfondo_Click},
        {QStringLiteral("avanti"), &frmCartigo::mnuPortaAvanti_Click},
        {QStringLiteral("indietro"), &frmCartigo::mnuPortaIndietro_Click},
        {QStringLiteral("opaco"), &frmCartigo::mnuOpaco_Click},
        {QStringLiteral("zoompiu"), &frmCartigo::mnuZoomPiu_Click},
        {QStringLiteral("zoommeno"), &frmCartigo::mnuZoomMeno_Click},
        {QStringLiteral("zoomadatta"), &frmCartigo::mnuAdattaEtichetta_Click},
        {QStringLiteral("trasparente"), &frmCartigo::mnuTrasparente_Click},
    };
    if (chiave == QLatin1String("allineasx"))
        AllineaTesto(0);
    else if (chiave == QLatin1String("allineac"))
        AllineaTesto(2);
    else if (chiave == QLatin1String("allineadx"))
        AllineaTesto(1);
    else if (chiave.startsWith(QLatin1String("spessore")) && chiave.size() == 9)
        mnuSpessore_Click(chiave.right(1).toInt());
    else if (const ComandoDisposizione* c = ComandoDisposizione::DaPulsante(chiave))
        Disponi(*c);
    else if (const auto it = comandi.constFind(chiave); it != comandi.constEnd())
        (this->**it)();
}

void frmCartigo::mnuInformazioni_Click()
{
    ui_->messaggio(
        QStringLiteral("Cartigo\n") +
            (LinguaCorrente() == Lingua::Italiano ? QStringLiteral("Versione ") : QStringLiteral("Version ")) +
            modCartigo::VersioneProgramma(),
        LoadResString(144), Pulsanti::Ok, Icona::Informazione);
}

}  // namespace cartigo
