#include "wizard/template_import.h"

#include <QHash>
#include <QStringList>

#include "controls/flex_grid.h"
#include "controls/keyed_tree.h"
#include "controls/msg_box.h"
#include "jet/connection.h"
#include "jet/error.h"
#include "templates/store.h"
#include "templates/texts.h"
#include "vocabulary/host_text.h"
#include "vocabulary/msgbox_const.h"
#include "wizard/design_grid.h"
#include "wizard/grid_columns.h"
#include "wizard/texts.h"

namespace wizard {

namespace {

// Columns 0 to 8 of a grid row, tab-separated, from a template field. The row number is
// left to the renumbering; mail and FAX kinds stay empty.
QString rowText(const templates::TemplateEntry& entry) {
    const QStringList cells = {
        QString(),
        entry.fieldId,
        entry.name,
        MsgBox_Const::getATTRLabel(entry.attr),
        entry.size,
        MsgBox_Const::getONOFF(entry.ime),
        QString(),
        QString(),
        MsgBox_Const::getFlagMark(entry.fixedFlag),
    };
    return cells.join(QLatin1Char('\t'));
}

bool isFieldImage(const QString& image) {
    return image == templates::kImageField || image == templates::kImageFixedField;
}

}  // namespace

RemoveCommand importTemplates(controls::FlexGrid& fg1, const controls::KeyedTree& tree,
                              const QString& templateConnectionString) {
    const int first = fg1.firstSelectedRow();
    const int p = first == -1 ? fg1.rows() - 1 : first;
    // Below an existing field nothing may be inserted: the rows go to the end.
    const bool append =
        !fg1.textMatrix(p, kColReadOnly).isEmpty() && !fg1.textMatrix(p, kColExisting).isEmpty();

    // The selected field nodes by number; the number of selected nodes counts folders too.
    const QList<controls::KeyedTree::Node*> selected = tree.selectedNodes();
    QHash<qint64, QString> fieldKeys;
    for (const controls::KeyedTree::Node* node : selected) {
        const QString key = controls::KeyedTree::key(node);
        bool isNumber = false;
        const qint64 number = key.toLongLong(&isNumber);
        if (isNumber && isFieldImage(controls::KeyedTree::image(node))) {
            fieldKeys.insert(number, key);
        }
    }
    const bool several = selected.size() > 1;

    try {
        jet::Connection db;
        db.open(vocabulary::toHostBytes(templateConnectionString));
        templates::TemplateStore store(db);
        int k = 1;
        for (auto numbers = store.selectFieldNumbers(); !numbers.eof(); numbers.moveNext()) {
            const auto number = numbers.field(0).toInt();
            const auto found = number ? fieldKeys.constFind(*number) : fieldKeys.constEnd();
            if (found == fieldKeys.constEnd()) {
                continue;
            }
            const QString row = rowText(templates::entryAt(store.selectEntry(found.value())));
            if (append) {
                fg1.addItem(row);
                fg1.selectRow(p, false);
                fg1.selectRow(fg1.rows() - 1);
            } else {
                fg1.addItem(row, p + k);
                fg1.selectRow(p, false);
                if (several) {
                    fg1.selectRow(p + k);
                } else {
                    fg1.setCurrentRow(p + 1);
                }
                ++k;
            }
        }
        db.close();
    } catch (const jet::Error&) {
        controls::tell(kMsgDatabaseError, controls::vbExclamation);
    }

    renumberRows(*fg1.gridModel());
    return fg1.firstSelectedRow() == -1 ? RemoveCommand::kLeave : RemoveCommand::kEnable;
}

}  // namespace wizard
