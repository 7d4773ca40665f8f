// Commands of the main window whose work comes with later parts of the program.
// Each group moves to the file of its concern as it is built.
#include "app/frmCartigo.h"

namespace cartigo {

// Print
void frmCartigo::mnuStampa_Click() {}

// Edit
void frmCartigo::mnuCancella_Click() {}
void frmCartigo::mnuCopia_Click() {}
void frmCartigo::mnuIncolla_Click() {}
void frmCartigo::mnuModificaTesto_Click() {}
void frmCartigo::mnuModificaImmagine_Click() {}
void frmCartigo::mnuPortaAvanti_Click() {}
void frmCartigo::mnuPortaIndietro_Click() {}

// Database
void frmCartigo::mnuConnettiDb_Click() {}
void frmCartigo::mnuDisconnettiDb_Click() {}
void frmCartigo::mnuSelezionaRecords_Click() {}
void frmCartigo::mnuCollega_Click() {}

// Tools
void frmCartigo::mnuSeleziona_Click() {}
void frmCartigo::mnuTesto_Click() {}
void frmCartigo::mnuCodiciBarre_Click() {}
void frmCartigo::mnuImmagine_Click() {}
void frmCartigo::mnuRettangolo_Click() {}

// Format
void frmCartigo::mnuOpaco_Click() {}
void frmCartigo::mnuTrasparente_Click() {}
void frmCartigo::mnuColoreSfondo_Click() {}
void frmCartigo::mnuColoreOggetto_Click() {}
void frmCartigo::mnuSpessore_Click(int) {}
void frmCartigo::mnuParametriBarcode_Click() {}
void frmCartigo::mnuCarattere_Click() {}
void frmCartigo::mnuAllineamento_Click() {}
void frmCartigo::AllineaTesto(int) {}
void frmCartigo::ApplicaStileToolbar() {}

}  // namespace cartigo
