// SPDX-License-Identifier: MIT
#include "component/field_listing.h"

#include <QStringList>

#include <algorithm>

#include "jet/connection_string.h"
#include "productdb/stored_fields.h"
#include "vocabulary/field_text.h"
#include "vocabulary/msgbox_const.h"

namespace component {

QString fieldFileOf(const std::string& path, const std::string& password) {
    std::vector<productdb::StoredField> fields =
        productdb::readStoredFields(jet::ConnectionString::build(path, password));
    std::stable_sort(fields.begin(), fields.end(), [](const auto& a, const auto& b) {
        return a.dispSeqno.toLongLong() < b.dispSeqno.toLongLong();
    });
    QString out;
    for (const productdb::StoredField& field : fields) {
        const QString attr = MsgBox_Const::attrLabelOfStored(field.attr);
        const vocabulary::Attribute* attribute = MsgBox_Const::attributeOfLabel(attr);
        const QStringList cells = {
            field.fieldId,
            field.name,
            attr,
            attribute && attribute->takesSize ? field.size : QString(),
            attribute && attribute->takesIme ? MsgBox_Const::imeLabelOfStored(field.ime)
                                             : QString(),
            MsgBox_Const::mailLabelOfStored(field.mail),
            MsgBox_Const::faxLabelOfStored(field.fax),
        };
        // A control character would break the line; typed in, the cell loses it anyway.
        QStringList line;
        for (const QString& cell : cells) {
            line << vocabulary::withoutControlCharacters(cell);
        }
        out += line.join(u'\t') + u'\n';
    }
    return out;
}

}  // namespace component
