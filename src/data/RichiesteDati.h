#pragma once
// The data dialogs as requests of the interaction seam: each carries the values the
// command fills in, the results it reads back, and the checks of its confirming
// button (which show their messages through the seam and keep the dialog open).

#include "shell/Interazione.h"

#include <QStringList>
#include <array>

namespace cartigo {

// Index of the entry whose trimmed, upper-cased text equals the trimmed, upper-cased
// name (first match), or `attuale` when none does.
int SelezionaVoce(const QStringList& voci, const QString& nome, int attuale);

class RichiestaConnettiDB : public RichiestaDialogo {
public:
    QString nome() const override { return QStringLiteral("frmConnettiDBMDB"); }
    // In: the texts of txtNomeFileDB and txtPasswordDB.
    QString txtNomeFileDB;
    QString txtPasswordDB;
    // Out.
    QString NomeFileDB;
    QString PasswordDB;
    bool Confermato = false;

    // cmdOk with the fields' texts: true when the dialog closes.
    bool cmdOk(const QString& file, const QString& password, Interazione& ui, const QString& titolo);
    // cmdSfoglia: the chosen path, or the current text when cancelled.
    static QString cmdSfoglia(const QString& attuale, Interazione& ui, const QString& titolo);
};

// The password of a database server that asked for one: for this run only, never
// written into the label.
class RichiestaPasswordDatabase : public RichiestaDialogo {
public:
    static inline const QString Nome = QStringLiteral("frmPasswordDB");
    QString nome() const override { return Nome; }
    // In: the server's address (without a password) and why it refused the connection.
    QString Indirizzo;
    QString Motivo;
    // Out.
    QString Password;
    bool Confermato = false;
};

class RichiestaSelezionaTabella : public RichiestaDialogo {
public:
    QString nome() const override { return QStringLiteral("frmSelezionaTabella"); }
    QStringList lstTabelle;
    int selezionata = -1;
    QString Tabella;
    bool Confermato = false;

    void SelezionaTabella(const QString& n) { selezionata = SelezionaVoce(lstTabelle, n, selezionata); }
    bool cmdOk(int indice, Interazione& ui, const QString& titolo);
};

class RichiestaCollegaCampo : public RichiestaDialogo {
public:
    QString nome() const override { return QStringLiteral("frmCollegaCampo"); }
    QStringList lstCampi;
    int selezionato = -1;
    QString Campo;
    bool Confermato = false;

    void SelezionaCampo(const QString& n) { selezionato = SelezionaVoce(lstCampi, n, selezionato); }
    bool cmdOk(int indice, Interazione& ui, const QString& titolo);
    void cmdScollega()
    {
        Confermato = true;
        Campo.clear();
    }
};

class RichiestaSelezioneRecords : public RichiestaDialogo {
public:
    QString nome() const override { return QStringLiteral("frmSelezioneRecords"); }
    // In: the fields (cmbCampi), the selected one, the criterion option (-1 none) and the three texts.
    QStringList cmbCampi;
    int selezionato = -1;
    int optCriteri = -1;
    std::array<QString, 3> txtCampo;
    // Out.
    bool Confermato = false;
    QString Campo;
    qint16 Criterio = 0;
    QString Valore, ValoreDa, ValoreA;

    void SelezionaCampo(const QString& n) { selezionato = SelezionaVoce(cmbCampi, n, selezionato); }
    // Which value fields the chosen option enables.
    static std::array<bool, 3> CampiAbilitati(int opzione);
    // cmdOk with the dialog's state: `campoVuoto` tells a check failed on cmbCampi (0)
    // or txtCampo(0) (1); true when the dialog closes.
    bool cmdOk(const QString& testoCombo, int opzione, const std::array<QString, 3>& testi, Interazione& ui,
               const QString& titolo, int* campoVuoto = nullptr);
};

}  // namespace cartigo
