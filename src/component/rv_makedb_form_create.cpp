// SPDX-License-Identifier: MIT
// The create command: checks the grid, builds the product database, closes the wizard.
#include "component/rv_makedb_form.h"
#include "controls/flex_grid.h"

namespace component {

void rv_makeDBForm::Command2_Click() {
    if (createCommand(m_status, basFilePath, basPass, *fg1->gridModel(), statementObserver)) {
        accept();
    }
}

}  // namespace component
