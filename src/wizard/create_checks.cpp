// SPDX-License-Identifier: MIT
#include "wizard/create_checks.h"

#include <QHash>

#include <algorithm>
#include <limits>

#include "controls/flex_grid_model.h"
#include "productdb/texts.h"
#include "vocabulary/msgbox_const.h"
#include "wizard/grid_columns.h"
#include "wizard/grid_rules.h"
#include "wizard/texts.h"

namespace wizard {

namespace {

using controls::Message;
using Outcome = CreateCheck::Outcome;

constexpr int kWarning = controls::vbExclamation;

Message warning(QStringView text, QStringList values = {}) {
    return {text.toString(), kWarning, std::move(values)};
}

// The first list cell of new row `r` that holds no entry of its list, or refused what came
// in for it; 0 when none. Existing fields are the database's already.
int refusedListColumn(const controls::FlexGridModel& fg1, int r) {
    if (r < 1 || !fg1.text(r, kColExisting).isEmpty()) {
        return 0;
    }
    for (int c : {kColAttr, kColIme, kColMail, kColFax}) {
        const QString text = fg1.text(r, c);
        if (!fg1.cellNote(r, c).isEmpty() || listCellValue(c, text) != text) {
            return c;
        }
    }
    return 0;
}

bool hasMailField(const controls::FlexGridModel& fg1) {
    for (int r = 0; r < fg1.gridRows(); ++r) {
        const QString id = fg1.text(r, kColFieldId);
        if (std::find(std::begin(kMailFieldIds), std::end(kMailFieldIds), id) !=
            std::end(kMailFieldIds)) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::vector<RowRefusal> refusedRows(const controls::FlexGridModel& fg1, int mostFields) {
    const int rows = fg1.gridRows();
    const int maxFields = mostFields;  // data rows are 1.., existing ones too
    std::vector<RowRefusal> refused;
    std::vector<bool> rowChecked(static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r) {
        if (fg1.text(r, kColFieldName).isEmpty() || fg1.text(r, kColFieldId).isEmpty()) {
            refused.push_back({r, warning(kMsgIdAndNameRequired, {QString::number(r)})});
            rowChecked[static_cast<std::size_t>(r)] = true;
            continue;
        }
        if (const int c = refusedListColumn(fg1, r)) {
            refused.push_back({r, listRefusal(r, c)});
            rowChecked[static_cast<std::size_t>(r)] = true;
            continue;
        }
        // The exact label, not the builder's "contains".
        const vocabulary::Attribute* attribute =
            MsgBox_Const::attributeOfLabel(fg1.text(r, kColAttr));
        if (fg1.text(r, kColSize).isEmpty() && attribute && attribute->takesSize) {
            refused.push_back({r, warning(kMsgSizeRequired, {QString::number(r)})});
            rowChecked[static_cast<std::size_t>(r)] = true;
        } else if (r > maxFields) {
            refused.push_back(
                {r, warning(kMsgTooManyFields, {QString::number(r), QString::number(maxFields)})});
            rowChecked[static_cast<std::size_t>(r)] = true;
        }
    }

    // Pairs are checked i < j, in order; the first pair that names row r is (i, r) with the
    // lowest i, or else (r, j) with the lowest j. Rows are found by their upper-case ID and
    // name: the first row with each, and for each row the next row with its ID or name.
    constexpr int kNone = std::numeric_limits<int>::max();
    QStringList names, ids;
    names.reserve(rows);
    ids.reserve(rows);
    for (int r = 0; r < rows; ++r) {
        names << fg1.text(r, kColFieldName).toUpper();
        ids << fg1.text(r, kColFieldId).toUpper();
    }
    QHash<QString, int> firstName, firstId, laterName, laterId;
    std::vector<int> nextSame(static_cast<std::size_t>(rows), kNone);
    for (int r = rows - 1; r >= 0; --r) {
        nextSame[static_cast<std::size_t>(r)] =
            std::min(laterName.value(names[r], kNone), laterId.value(ids[r], kNone));
        laterName.insert(names[r], r);
        laterId.insert(ids[r], r);
    }
    firstName = std::move(laterName);  // after the backward pass: the first row of each
    firstId = std::move(laterId);
    struct Pair {
        int i, j, row;
    };
    std::vector<Pair> pairs;
    for (int r = 0; r < rows; ++r) {
        if (rowChecked[static_cast<std::size_t>(r)]) {
            continue;
        }
        const int earlier = std::min(firstName.value(names[r]), firstId.value(ids[r]));
        const int later = nextSame[static_cast<std::size_t>(r)];
        if (earlier < r) {
            pairs.push_back({earlier, r, r});
        } else if (later != kNone) {
            pairs.push_back({r, later, r});
        }
    }
    std::stable_sort(pairs.begin(), pairs.end(), [](const Pair& a, const Pair& b) {
        return std::pair(a.i, a.j) < std::pair(b.i, b.j);
    });
    for (const Pair& p : pairs) {
        refused.push_back(
            {p.row, warning(kMsgDuplicate, {QString::number(p.i), QString::number(p.j)})});
    }
    return refused;
}

CreateCheck checkCreate(const controls::FlexGridModel& fg1, int mostFields) {
    if (fg1.gridRows() <= 1) {
        return {Outcome::kNoFields, warning(kMsgNoFields)};
    }
    if (const std::vector<RowRefusal> refused = refusedRows(fg1, mostFields); !refused.empty()) {
        return {Outcome::kRefused, refused.front().message};
    }
    if (!hasMailField(fg1)) {
        return {Outcome::kAskMail, Message{kMsgNoMailField.toString(), controls::vbOKCancel}};
    }
    return {Outcome::kPassed, {}};
}

std::vector<productdb::NewField> newFields(const controls::FlexGridModel& fg1) {
    std::vector<productdb::NewField> fields;
    fields.reserve(static_cast<std::size_t>(std::max(fg1.gridRows() - 1, 0)));
    for (int r = 1; r < fg1.gridRows(); ++r) {
        fields.push_back({fg1.text(r, kColFieldId), fg1.text(r, kColFieldName),
                          fg1.text(r, kColAttr), fg1.text(r, kColSize), fg1.text(r, kColIme),
                          fg1.text(r, kColMail), fg1.text(r, kColFax),
                          !fg1.text(r, kColExisting).isEmpty()});
    }
    return fields;
}

std::vector<Message> buildMessages(const productdb::BuildResult& result) {
    if (result.built) {
        return {};
    }
    std::vector<Message> messages;
    if (result.curFieldID.isEmpty()) {
        messages.push_back(warning(productdb::kMsgBuildAborted));
    } else {
        messages.push_back(
            warning(productdb::kMsgFieldIdWrong, {QString::number(result.row), result.curFieldID}));
    }
    if (result.cleanupFailed) {
        messages.push_back(warning(kMsgCreateFailed));
    }
    return messages;
}

}  // namespace wizard
