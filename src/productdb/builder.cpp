#include "productdb/builder.h"

#include <QDate>

#include "jet/catalog.h"
#include "jet/connection_string.h"
#include "jet/error.h"
#include "jet/placeholders.h"
#include "productdb/schema.h"
#include "vocabulary/msgbox_const.h"

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
            } catch (const jet::Error&) {
                // The engine's own tables refuse; that is expected and harmless.
            }
        }
    }
}

}  // namespace CreateDBSql

namespace productdb {

BuildResult buildDB(const std::vector<NewField>& fields, const ProductFile& file, BuildState& state,
                    const jet::Connection::Observer& observer,
                    const jet::Connection::Observer& engineTrace) {
    int row = 0;
    // Carried from one field to the next, as the builder has always done: a field whose
    // attribute label is unknown keeps the previous field's value.
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
        db.open(jet::ConnectionString::build(file.path, file.password));
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

        const int rows = static_cast<int>(fields.size()) + 1;  // the grid's row count
        for (row = 1; row < rows; ++row) {
            const NewField& field = fields[static_cast<std::size_t>(row - 1)];
            if (field.existing) {
                continue;
            }
            mail = MsgBox_Const::mailCode(field.mail);
            fax = MsgBox_Const::faxCode(field.fax);
            ime = MsgBox_Const::imeCode(field.ime);
            if (auto code = MsgBox_Const::attrCode(field.attr)) {
                attr = *code;
            }
            state.curFieldID = field.fieldId;

            const std::string id = field.fieldId.toStdString();
            const std::string name = field.name.toStdString();
            const std::string size = field.size.toStdString();
            const std::string a = attr.toStdString();
            db.execute(size.empty() ? insertField(id, name, a, ime.toStdString(),
                                                  mail.toStdString(), fax.toStdString())
                                    : insertFieldWithSize(id, name, a, size, ime.toStdString(),
                                                          mail.toStdString(), fax.toStdString()));

            if (auto type = MsgBox_Const::columnType(field.attr)) {
                attr = *type;
            }
            const std::string type = attr.toStdString();
            if (attr == vocabulary::kText.columnType && !size.empty()) {
                db.execute(jet::fill(kAddAddressColumnWithWidth, {id, type, size}));
            } else {
                db.execute(jet::fill(kAddAddressColumn, {id, type}));
            }
        }

        note(kTraceZeroLength);
        CreateDBSql::setAllowZeroLength(db);

        for (row = 1; row < rows; ++row) {
            const NewField& field = fields[static_cast<std::size_t>(row - 1)];
            db.execute(
                jet::fill(kUpdateDispSeqno, {std::to_string(row), field.fieldId.toStdString()}));
        }
        db.commitTrans();
        note(kTraceCommit);
        db.close();
        state.dbExists = true;
        BuildResult built;
        built.built = true;
        return built;
    } catch (const jet::Error& e) {
        BuildResult failed;
        failed.row = row;
        failed.curFieldID = state.curFieldID;
        failed.reason = e.what();
        try {
            // Fails on a connection that never opened.
            db.execute(deleteField(state.curFieldID.toStdString()));
        } catch (const jet::Error&) {
            failed.cleanupFailed = true;
        }
        // Released without commit: nothing of this build stays in the file.
        return failed;
    }
}

}  // namespace productdb
