#pragma once
// The print preview window: pages through the output document, zooms, prints all
// pages or the page shown. One shared instance serves the engine; closing only hides it.

#include "shell/Interazione.h"
#include "stampora/DocumentoStampa.h"

#include <QDialog>
#include <QHash>
#include <memory>
#include <optional>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QTimer;
class QToolBar;

namespace cartigo {

class InterazioneQt;
class VistaAnteprima;

class frmStamporaAnteprima : public QDialog {
    Q_OBJECT
public:
    explicit frmStamporaAnteprima(Interazione* ui = nullptr, QWidget* parent = nullptr);
    ~frmStamporaAnteprima() override;

    // The shared instance, created on first use; Scarica() releases it.
    static frmStamporaAnteprima* Istanza();
    static void Scarica();

    // A document still being recorded is watched: its pages fill in as they are
    // finished, and printing waits until it is complete.
    void ImpostaDocumento(std::shared_ptr<DocumentoStampa> doc);
    DocumentoStampa* Documento() const { return doc_.get(); }
    // Takes in the pages the job has finished since the last look (every 100 ms while it
    // records); the window hides once the job drops its document.
    void AggiornaPagine();

    void AggiornaControlli();
    void AggiornaZoom(const std::optional<QString>& ZoomValue = std::nullopt);
    // The zoom as text with the pattern "###0.00" and the user's decimal separator, and " %".
    static QString FormatZoom(double Zoom);
    void InitControlli();
    void Internazionalizza();

    // Toolbar buttons by key ("stampa", "stampapagina", "prima", ...).
    QAction* Pulsante(const QString& chiave) const { return pulsanti_.value(chiave); }

    QToolBar* Toolbar1 = nullptr;
    QWidget* picStrumenti = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* txtPagina = nullptr;
    QLabel* Label6 = nullptr;
    QLineEdit* txtNumeroPagine = nullptr;
    QComboBox* cmbZoom = nullptr;
    VistaAnteprima* vspAnteprima = nullptr;

Q_SIGNALS:
    // The window was closed (or hidden).
    void Chiusa();

public Q_SLOTS:
    void Toolbar1_ButtonClick(const QString& chiave);
    // Leaving the page box: the number kept within the document, then shown.
    void txtPagina_LostFocus();
    // Leaving the zoom box: a number is reformatted, then applied.
    void cmbZoom_LostFocus();

protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    // The window's name and the label printed.
    void aggiornaTitolo();
    // The printer's dots button: its resolution, and the view as it says.
    void aggiornaPunti();
    void zoomDallOutput();

    std::unique_ptr<InterazioneQt> uiQt_;
    Interazione* ui_;
    std::shared_ptr<DocumentoStampa> doc_;
    QHash<QString, QAction*> pulsanti_;
    bool inUscita_ = false;
    QTimer* osservaPagine_ = nullptr;  // runs while the document is being recorded
};

}  // namespace cartigo
