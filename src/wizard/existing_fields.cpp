// SPDX-License-Identifier: MIT
#include "wizard/existing_fields.h"

#include "controls/flex_grid_model.h"
#include "productdb/stored_fields.h"
#include "vocabulary/msgbox_const.h"
#include "wizard/grid_columns.h"

namespace wizard {

void loadExistingDB(controls::FlexGridModel& fg1, const std::string& productConnectionString) {
    const std::vector<productdb::StoredField> fields =
        productdb::readStoredFields(productConnectionString);
    if (fields.empty()) {
        return;
    }
    const int n = static_cast<int>(fields.size());
    fg1.setGridRows(n + 1);
    for (int i = 1; i <= n; ++i) {
        const productdb::StoredField& field = fields[static_cast<std::size_t>(i - 1)];
        fg1.setText(i, kColNumber, QString::number(i));
        fg1.setText(i, kColFieldId, field.fieldId);
        fg1.setText(i, kColFieldName, field.name);
        fg1.setText(i, kColAttr, MsgBox_Const::attrLabelOfStored(field.attr));
        fg1.setText(i, kColSize, field.size);
        fg1.setText(i, kColIme, MsgBox_Const::imeLabelOfStored(field.ime));
        fg1.setText(i, kColMail, MsgBox_Const::mailLabelOfStored(field.mail));
        fg1.setText(i, kColFax, MsgBox_Const::faxLabelOfStored(field.fax));
        fg1.setText(i, kColReadOnly, field.dispSeqno);
        fg1.setText(i, kColExisting, kExistingMark.toString());
    }
    fg1.setBackground(1, kColFieldId, n, kColReadOnly, kExistingRowArgb);
}

}  // namespace wizard
