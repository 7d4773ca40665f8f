#pragma once
// The print destination dialog: printer (with copies), preview or file, ZPL II (to a
// file, to a printer's raw network port, or to the printer as a raw job, at the
// resolution chosen), and the buttons that open the printer and page set-up dialogs.
// The engine reads the choice back through DestinazioneStampa, Copies and FileName.

#include "shell/Interazione.h"
#include "stampora/FileStampa.h"

#include <QDialog>
#include <memory>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace cartigo {

class InterazioneQt;
class RichiestaDestinazioneStampa;

class frmStamporaDestinazioneStampa : public QDialog {
    Q_OBJECT
public:
    // `ui` answers the file dialog and beeps; without one the dialog uses real ones.
    explicit frmStamporaDestinazioneStampa(Interazione* ui = nullptr, QWidget* parent = nullptr);
    ~frmStamporaDestinazioneStampa() override;

    int DestinazioneStampa() const { return destinazione_; }
    QString CurrentPrinter() const { return stampante_; }
    void SetCurrentPrinter(const QString& nome);
    QString Port() const { return porta_; }
    void SetPort(const QString& porta);
    int Copies() const { return copie_; }
    void SetCopies(int copie);
    QString FileName() const { return fileName_; }

    void Internazionalizza();

    // The selected option, -1 for none.
    int OpzioneSelezionata() const;
    void SelezionaOpzione(int indice);

    // Shows the dialog modally for a request and writes the choice back into it.
    static bool Mostra(RichiestaDestinazioneStampa& r, QWidget* genitore, Interazione* ui = nullptr);
    // Fills the dialog from a request, and a request from the dialog.
    void DaRichiesta(const RichiestaDestinazioneStampa& r);
    void InRichiesta(RichiestaDestinazioneStampa& r) const;

    // The options: printer, preview, file, ZPL file, ZPL to a raw port, ZPL raw to the printer.
    static constexpr int kOpzioni = 6;
    // The resolution ZPL is made for, as chosen.
    double RisoluzioneZpl() const;
    void SetRisoluzioneZpl(double dpi);

    // Controls, by their names.
    QRadioButton* optTipoStampa[kOpzioni] = {};
    QLabel* imgOutput[kOpzioni] = {};
    QLineEdit* txtIndirizzoZpl = nullptr;
    QComboBox* cmbRisoluzioneZpl = nullptr;
    QLabel* lblRisoluzioneZpl = nullptr;
    QLabel* lblStampante = nullptr;
    QLabel* lblPercorso = nullptr;
    QLineEdit* txtCopie = nullptr;
    QScrollBar* vscCopie = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdAnnulla = nullptr;
    QPushButton* cmdImposta = nullptr;
    QPushButton* cmdMargini = nullptr;
    QGroupBox* Frame1 = nullptr;
    QLabel* Label1[2] = {};
    QLabel* Label2 = nullptr;

public Q_SLOTS:
    void optTipoStampa_Click(int indice);
    void cmdOk_Click();
    void cmdAnnulla_Click();
    void cmdImposta_Click();
    void cmdMargini_Click();

protected:
    bool eventFilter(QObject* obj, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void copieDaTesto();

    std::unique_ptr<InterazioneQt> uiQt_;
    Interazione* ui_;
    int destinazione_ = 0;
    QString stampante_;
    QString porta_;
    int copie_ = 1;
    QString fileName_;
    FormatoFileStampa formato_ = FormatoFileStampa::DalNome;
    QString indirizzoZpl_;
    QStringList fileProtetti_;
    QString cartellaFile_;
};

}  // namespace cartigo
