// Commands of the main window whose work comes with later parts of the program.
// Each group moves to the file of its concern as it is built.
#include "app/frmCartigo.h"

namespace cartigo {

// Print
void frmCartigo::mnuStampa_Click() {}


}  // namespace cartigo
