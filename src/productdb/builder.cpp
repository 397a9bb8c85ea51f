// SPDX-License-Identifier: MIT
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

namespace {
constexpr int kAddressOwnColumns = 1;  // ADDRESS_NO
}  // namespace

int maxFields() {
    return jet::Catalog::columnLimit() - kAddressOwnColumns;
}

int maxFields(std::string_view dataSource) {
    return jet::Catalog::columnLimit(dataSource) - kAddressOwnColumns;
}

bool holdsProductTables(jet::Connection& connection) {
    constexpr std::string_view kCreate = "CREATE TABLE ";
    for (const jet::TableInfo& table : jet::Catalog(connection).tables()) {
        for (std::string_view create : kCreateTables) {
            const std::string_view name =
                create.substr(kCreate.size(), create.find('(') - kCreate.size());
            if (QString::fromStdString(table.name)
                    .compare(QLatin1String(name.data(), name.size()), Qt::CaseInsensitive) == 0) {
                return true;
            }
        }
    }
    return false;
}

std::vector<BuildStep> buildSteps(const std::vector<NewField>& fields, bool dbExists,
                                  const QDate& today) {
    using Kind = BuildStep::Kind;
    std::vector<BuildStep> steps;
    int row = 0;
    auto statement = [&](std::string sql, std::optional<QString> startsField = std::nullopt) {
        steps.push_back({Kind::kStatement, std::move(sql), row, std::move(startsField)});
    };
    auto allowZeroLength = [&] { steps.push_back({Kind::kAllowZeroLength, {}, row, {}}); };

    if (!dbExists) {
        for (std::string_view create : kCreateTables) {
            statement(std::string(create));
        }
        statement(jet::fill(kInsertInfo, {today.toString(Qt::ISODate).toStdString()}));
        statement(std::string(kInsertSeqno));
        allowZeroLength();
    }

    // Carried from one field to the next, as the builder has always done: a field whose
    // attribute label is unknown keeps the previous field's value.
    QString attr;
    const int rows = static_cast<int>(fields.size()) + 1;  // the grid's row count
    for (row = 1; row < rows; ++row) {
        const NewField& field = fields[static_cast<std::size_t>(row - 1)];
        if (field.existing) {
            continue;
        }
        const std::string mail = MsgBox_Const::mailCode(field.mail).toStdString();
        const std::string fax = MsgBox_Const::faxCode(field.fax).toStdString();
        const std::string ime = MsgBox_Const::imeCode(field.ime).toStdString();
        if (auto code = MsgBox_Const::attrCode(field.attr)) {
            attr = *code;
        }
        const std::string id = field.fieldId.toStdString();
        const std::string name = field.name.toStdString();
        const std::string size = field.size.toStdString();
        const std::string a = attr.toStdString();
        statement(size.empty() ? insertField(id, name, a, ime, mail, fax)
                               : insertFieldWithSize(id, name, a, size, ime, mail, fax),
                  field.fieldId);

        if (auto type = MsgBox_Const::columnType(field.attr)) {
            attr = *type;
        }
        const std::string type = attr.toStdString();
        if (attr == vocabulary::kText.columnType && !size.empty()) {
            statement(jet::fill(kAddAddressColumnWithWidth, {id, type, size}));
        } else {
            statement(jet::fill(kAddAddressColumn, {id, type}));
        }
    }

    allowZeroLength();

    for (row = 1; row < rows; ++row) {
        const NewField& field = fields[static_cast<std::size_t>(row - 1)];
        statement(jet::fill(kUpdateDispSeqno, {std::to_string(row), field.fieldId.toStdString()}));
    }
    return steps;
}

BuildResult buildDB(const std::vector<NewField>& fields, const ProductFile& file, BuildState& state,
                    const jet::Connection::Observer& observer,
                    const jet::Connection::Observer& engineTrace) {
    const std::vector<BuildStep> steps = buildSteps(fields, state.dbExists, QDate::currentDate());
    int row = 0;

    jet::Connection db;
    db.setObserver(observer);
    db.setEngineTrace(engineTrace);
    auto note = [&](std::string_view marker) {
        if (observer) {
            observer(marker);
        }
    };
    try {
        // A new database may be an empty file that was there before the wizard: the build
        // makes it a database, or leaves it empty when it fails.
        db.open(jet::ConnectionString::build(file.path, file.password),
                state.dbExists ? jet::Connection::EmptyFile::kRefuse
                               : jet::Connection::EmptyFile::kNewDatabase);
        db.beginTrans();
        note(kTraceBegin);
        for (const BuildStep& step : steps) {
            row = step.row;
            if (step.startsField) {
                state.curFieldID = *step.startsField;
            }
            if (step.kind == BuildStep::Kind::kAllowZeroLength) {
                note(kTraceZeroLength);
                CreateDBSql::setAllowZeroLength(db);
            } else {
                db.execute(step.sql);
            }
        }
        row = static_cast<int>(fields.size()) + 1;
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
