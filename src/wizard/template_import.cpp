// SPDX-License-Identifier: MIT
#include "wizard/template_import.h"

#include <algorithm>

#include "controls/flex_grid_model.h"
#include "jet/connection.h"
#include "jet/error.h"
#include "vocabulary/field_text.h"
#include "vocabulary/msgbox_const.h"
#include "wizard/grid_columns.h"
#include "wizard/texts.h"

namespace wizard {

namespace {

// The cells of a grid row from a template field. Mail and FAX kinds stay empty; a control
// character in the ID or the name stays in the library.
QStringList rowCells(const templates::TemplateEntry& entry) {
    QStringList cells(kGridColumns);
    cells[kColFieldId] = vocabulary::withoutControlCharacters(entry.fieldId);
    cells[kColFieldName] = vocabulary::withoutControlCharacters(entry.name);
    cells[kColAttr] = MsgBox_Const::getATTRLabel(entry.attr);
    cells[kColSize] = entry.size;
    cells[kColIme] = MsgBox_Const::getONOFF(entry.ime);
    cells[kColReadOnly] = MsgBox_Const::getFlagMark(entry.fixedFlag);
    return cells;
}

}  // namespace

ChosenTemplates readChosenTemplates(const templates::LibraryOwner& library,
                                    const QSet<qint64>& fieldNumbers) {
    ChosenTemplates chosen;
    try {
        templates::LibraryConnection db(library);
        templates::TemplateStore store(db.connection());
        for (auto numbers = store.selectFieldNumbers(); !numbers.eof(); numbers.moveNext()) {
            const auto number = numbers.field(0).toInt();
            if (number && fieldNumbers.contains(*number)) {
                chosen.entries.push_back(
                    templates::entryAt(store.selectEntry(QString::number(*number))));
            }
        }
        db.close();
    } catch (const jet::Error&) {
        chosen.unreadable = true;
    }
    return chosen;
}

ImportPlan planImport(const ChosenTemplates& chosen, const controls::FlexGridModel& fg1,
                      const QList<int>& selected, ChosenNodes nodes) {
    const int p = selected.isEmpty() ? fg1.gridRows() - 1 : selected.front();
    // Below an existing field nothing may be inserted: the rows go to the end.
    const bool append =
        !fg1.text(p, kColReadOnly).isEmpty() && !fg1.text(p, kColExisting).isEmpty();
    const int at = append ? fg1.gridRows() : p + 1;
    const auto n = static_cast<int>(chosen.entries.size());

    ImportPlan plan;
    for (int i = 0; i < n; ++i) {
        const templates::TemplateEntry& entry = chosen.entries[static_cast<std::size_t>(i)];
        plan.rows.append(
            {at + i, rowCells(entry), !MsgBox_Const::getFlagMark(entry.fixedFlag).isEmpty()});
    }
    // The selected rows below the new ones move down with them; the row they follow is
    // deselected once a row came in.
    for (int r : selected) {
        if (n > 0 && r == p) {
            continue;
        }
        plan.selected.append(r >= at ? r + n : r);
    }
    if (append || nodes == ChosenNodes::kSeveral) {
        for (int i = 0; i < n; ++i) {
            plan.selected.append(at + i);
        }
    } else if (n > 0) {
        plan.current = p + 1;
    }
    std::sort(plan.selected.begin(), plan.selected.end());
    if (chosen.unreadable) {
        plan.message = controls::Message{kMsgDatabaseError.toString(), controls::vbExclamation};
    }
    return plan;
}

}  // namespace wizard
