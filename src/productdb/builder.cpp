#include "productdb/builder.h"

#include <QDate>

#include "controls/flex_grid.h"
#include "controls/msg_box.h"
#include "jet/catalog.h"
#include "jet/connection_string.h"
#include "jet/placeholders.h"
#include "productdb/schema.h"
#include "productdb/texts.h"
#include "wizard/grid_columns.h"
#include "wizard/msgbox_const.h"
#include "wizard/texts.h"

namespace CreateDBSql {

void setAllowZeroLength(jet::Connection& connection) {
    jet::Catalog catalog(connection);
    const auto tables = catalog.tables();
    for (const auto& table : tables) {
        for (const auto& column : table.columns) {
            if (column.attributes != jet::kColNullable) {
                continue;
            }
            try {
                catalog.setProperty(table.name, column.name, jet::kAllowZeroLength, true);
            } catch (const std::exception&) {
                // The engine's own tables refuse; that is expected and harmless.
            }
        }
    }
}

}  // namespace CreateDBSql

namespace productdb {

namespace {

std::string cell(const controls::FlexGrid& fg1, int row, int col) {
    return fg1.textMatrix(row, col).toStdString();
}

}  // namespace

void buildDB(const controls::FlexGrid& fg1, BuildState& state,
             const jet::Connection::Observer& observer,
             const jet::Connection::Observer& engineTrace) {
    using namespace wizard;
    int row = 0;
    // Carried from one row to the next, as the builder has always done: a row whose
    // attribute cell holds no label keeps the previous row's value.
    QString mail, fax, ime, attr;

    jet::Connection db;
    db.setObserver(observer);
    db.setEngineTrace(engineTrace);
    auto note = [&](std::string_view marker) {
        if (observer) {
            observer(marker);
        }
    };
    try {
        db.open(jet::ConnectionString::build(state.filePath.toStdString(),
                                             state.password.toStdString()));
        db.beginTrans();
        note(kTraceBegin);
        if (!state.dbExists) {
            for (std::string_view create : kCreateTables) {
                db.execute(create);
            }
            const std::string today = QDate::currentDate().toString(Qt::ISODate).toStdString();
            db.execute(jet::fill(kInsertInfo, {today}));
            db.execute(kInsertSeqno);
            note(kTraceZeroLength);
            CreateDBSql::setAllowZeroLength(db);
        }

        const int rows = fg1.rows();
        for (row = 1; row < rows; ++row) {
            if (!fg1.textMatrix(row, kColExisting).isEmpty()) {
                continue;
            }
            mail = MsgBox_Const::mailCode(fg1.textMatrix(row, kColMail));
            fax = MsgBox_Const::faxCode(fg1.textMatrix(row, kColFax));
            ime = MsgBox_Const::imeCode(fg1.textMatrix(row, kColIme));
            if (auto code = MsgBox_Const::attrCode(fg1.textMatrix(row, kColAttr))) {
                attr = *code;
            }
            state.curFieldID = fg1.textMatrix(row, kColFieldId);

            const std::string id = state.curFieldID.toStdString();
            const std::string name = cell(fg1, row, kColFieldName);
            const std::string size = cell(fg1, row, kColSize);
            const std::string a = attr.toStdString();
            db.execute(size.empty() ? insertField(id, name, a, ime.toStdString(),
                                                  mail.toStdString(), fax.toStdString())
                                    : insertFieldWithSize(id, name, a, size, ime.toStdString(),
                                                          mail.toStdString(), fax.toStdString()));

            if (auto type = MsgBox_Const::columnType(fg1.textMatrix(row, kColAttr))) {
                attr = *type;
            }
            const std::string type = attr.toStdString();
            if (attr == kColumnTypeText && !size.empty()) {
                db.execute(jet::fill(kAddAddressColumnWithWidth, {id, type, size}));
            } else {
                db.execute(jet::fill(kAddAddressColumn, {id, type}));
            }
        }

        note(kTraceZeroLength);
        CreateDBSql::setAllowZeroLength(db);

        for (row = 1; row < rows; ++row) {
            db.execute(
                jet::fill(kUpdateDispSeqno, {std::to_string(row), cell(fg1, row, kColFieldId)}));
        }
        db.commitTrans();
        note(kTraceCommit);
        db.close();
        state.dbExists = true;
    } catch (const std::exception&) {
        const QString message = state.curFieldID.isEmpty()
                                    ? kMsgBuildAborted.toString()
                                    : kMsgFieldIdWrong.toString() + QString::number(row) +
                                          kMsgFieldIdWrongId.toString() + state.curFieldID;
        controls::MsgBox(message, controls::vbExclamation, kMsgBoxTitle.toString());
        // Throws on a connection that never opened: the create command's failure path.
        db.execute(deleteField(state.curFieldID.toStdString()));
        state.buildFailed = true;
        // Released without commit: nothing of this build stays in the file.
    }
}

}  // namespace productdb
