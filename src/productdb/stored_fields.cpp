// SPDX-License-Identifier: MIT
#include "productdb/stored_fields.h"

#include "jet/connection.h"
#include "productdb/schema.h"

namespace productdb {

std::vector<StoredField> readStoredFields(const std::string& connectionString) {
    jet::Connection db;
    db.open(connectionString);
    const auto count = db.execute(kCountFields).field(0).toInt().value_or(0);
    std::vector<StoredField> fields;
    if (count == 0) {
        return fields;
    }
    auto rs = db.execute(kSelectAllFields);
    // FIELD_ID, FIELD_NAME, ATTR, FIELD_SIZE, IME, MAIL_ADDRESS_FLG, FAX_NO_FLG, DISP_SEQNO
    QString StoredField::*const columns[] = {
        &StoredField::fieldId, &StoredField::name, &StoredField::attr, &StoredField::size,
        &StoredField::ime,     &StoredField::mail, &StoredField::fax,  &StoredField::dispSeqno};
    for (std::int64_t i = 0; i < count; ++i) {
        StoredField& field = fields.emplace_back();
        for (int c = 0; c < static_cast<int>(std::size(columns)) && c < rs.fieldCount(); ++c) {
            field.*columns[c] = QString::fromStdString(rs.field(c).toString());  // a null: ""
        }
        rs.moveNext();
    }
    db.close();
    return fields;
}

}  // namespace productdb
