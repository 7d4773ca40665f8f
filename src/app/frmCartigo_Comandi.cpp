// Commands of the main window whose work comes with later parts of the program.
// Each group moves to the file of its concern as it is built.
#include "app/frmCartigo.h"

namespace cartigo {

// Print
void frmCartigo::mnuStampa_Click() {}

// Database
void frmCartigo::mnuConnettiDb_Click() {}
void frmCartigo::mnuDisconnettiDb_Click() {}
void frmCartigo::mnuSelezionaRecords_Click() {}
void frmCartigo::mnuCollega_Click() {}

}  // namespace cartigo
