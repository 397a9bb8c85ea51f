// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <string>
#include <vector>

namespace productdb {

// One FIELD row of a product database as stored: the first eight columns as texts, a
// null as an empty text.
struct StoredField {
    QString fieldId;
    QString name;
    QString attr;
    QString size;
    QString ime;
    QString mail;
    QString fax;
    QString dispSeqno;
};

// The registered fields of the product database at `connectionString`, in the order the
// engine returns them, on a connection of its own. Throws jet::Error (wrong password, no
// FIELD table, damaged file).
std::vector<StoredField> readStoredFields(const std::string& connectionString);

}  // namespace productdb
