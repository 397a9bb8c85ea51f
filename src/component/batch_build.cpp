#include "component/batch_build.h"

#include <QtGlobal>
#include <iostream>

#include "component/create_db_sql.h"
#include "component/rv_makedb_form.h"
#include "controls/batch_msg_box_responder.h"
#include "controls/flex_grid.h"

namespace component {

namespace {

// Types one cell as a person would: move onto it, key by key through the grid's key
// filter, then commit, which runs the after-edit check.
void typeCell(rv_makeDBForm& form, int row, int col, const QString& text) {
    controls::FlexGrid& fg1 = *form.fg1;
    fg1.setCurrentCell(row, col);
    if (!fg1.isEditable()) {
        return;  // a person could not type here either
    }
    QString typed;
    for (QChar ch : text) {
        int key = ch.unicode();
        form.fg1_KeyPressEdit(row, col, key);
        if (key != 0) {
            typed += QChar(key);
        }
    }
    fg1.setTextMatrix(row, col, typed);
    form.fg1_AfterEdit(row, col);
}

}  // namespace

QStringList fieldLines(const QString& fileText) {
    QStringList out;
    for (QString line : fileText.split(u'\n')) {
        if (line.endsWith(u'\r')) {
            line.chop(1);
        }
        if (line.trimmed().isEmpty() || line.startsWith(u'#')) {
            continue;
        }
        out << line;
    }
    return out;
}

BatchResult runBatch(const BatchJob& job) {
    // Standard error carries the wizard's messages, one line each, and nothing else.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& msg) {
        if (type == QtFatalMsg) {
            std::cerr << msg.toStdString() << "\n";
        }
    });
    CreateDBSql::ensureApplication();
    controls::BatchMsgBoxResponder responder(
        job.answerYes ? controls::BatchMsgBoxResponder::QuestionAnswer::Ok
                      : controls::BatchMsgBoxResponder::QuestionAnswer::Cancel);

    rv_makeDBForm form;
    form.basFilePath = job.database;
    form.basPass = job.password;
    form.basconnStr = job.templates;
    try {
        form.Form_Load();
    } catch (const std::exception& e) {
        std::cerr << "rv_makedb: " << e.what() << "\n";
        return BatchResult::kOpenFailed;
    }
    if (form.openFailed()) {
        form.done(QDialog::Rejected);
        return BatchResult::kOpenFailed;
    }

    constexpr int kTypedColumns = 7;  // ID, name, attribute, size, IME, mail, FAX
    for (const QString& line : job.fieldLines) {
        form.Command8_Click();
        const int row = form.fg1->currentRow();
        const QStringList cells = line.split(u'\t');
        for (int i = 0; i < kTypedColumns && i < cells.size(); ++i) {
            typeCell(form, row, i + 1, cells[i]);
        }
        form.fg1->setCurrentCell(row, 1);  // and on to the next row
    }

    form.Command2_Click();
    if (form.result() == QDialog::Accepted && form.dbExists() && !form.buildFailed()) {
        return BatchResult::kBuilt;
    }
    form.done(QDialog::Rejected);  // as Cancel: an empty file this run made goes again
    return BatchResult::kRefused;
}

}  // namespace component
