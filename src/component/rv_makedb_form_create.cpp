// The create command: checks the grid, builds the product database, closes the wizard.
#include "component/rv_makedb_form.h"
#include "controls/mouse_pointer.h"
#include "controls/msg_box.h"
#include "productdb/builder.h"
#include "productdb/create_checks.h"
#include "productdb/texts.h"
#include "wizard/texts.h"

namespace component {

void rv_makeDBForm::Command2_Click() {
    m_buildFailed = false;
    if (!productdb::checkHasFields(*fg1)) {
        return;
    }
    controls::setMousePointer(controls::kPointerWait);
    try {
        if (productdb::checkGrid(*fg1) == productdb::CheckOutcome::kPassed) {
            productdb::BuildState state{basFilePath, basPass, m_dbExists, m_buildFailed,
                                        m_curFieldID};
            productdb::buildDB(*fg1, state, statementObserver);
            controls::setMousePointer(controls::kPointerNormal);
            if (!m_buildFailed) {
                accept();
            }
        }
    } catch (const std::exception&) {
        controls::MsgBox(productdb::kMsgCreateFailed.toString(), controls::vbExclamation,
                         wizard::kMsgBoxTitle.toString());
    }
    controls::setMousePointer(controls::kPointerNormal);
}

}  // namespace component
