// SPDX-License-Identifier: MIT
#include "component/batch_build.h"

#include <iconv.h>

#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <iostream>
#include <map>
#include <memory>
#include <stdexcept>

#include "browser/tree_loader.h"
#include "component/create_db_sql.h"
#include "component/host_text.h"
#include "component/texts.h"
#include "component/wizard_life.h"
#include "controls/batch_msg_box_responder.h"
#include "controls/flex_grid_model.h"
#include "controls/keyed_tree.h"
#include "productdb/texts.h"
#include "wizard/design_grid.h"
#include "wizard/grid_rules.h"
#include "wizard/row_commands.h"
#include "wizard/row_paste.h"
#include "wizard/texts.h"

namespace component {

namespace {

// The design grid as a person at the window would drive it, without the window: its cells,
// the current cell. Nothing is ever selected.
class TypedGrid {
  public:
    TypedGrid() { wizard::setupGridModel(m_cells); }

    controls::FlexGridModel& cells() { return m_cells; }

    // "項目追加": a typed row, made the current row.
    int addRow() {
        const int row = wizard::newRowPosition(m_cells, -1);
        m_cells.insertGridRow(row, wizard::newRowCells());
        moveTo(row, m_col);
        wizard::renumberRows(m_cells);
        return row;
    }

    // Types one cell as a person would: move onto it, key by key through the size key
    // filter, then commit, which runs the after-edit check. A list cell refuses what is no
    // entry of its list: the refusal is told, and false returned.
    bool type(int row, int col, const QString& text) {
        moveTo(row, col);
        const auto tell = [](const controls::Message& message) { controls::tell(message); };
        if (auto refusal = wizard::typeCell(m_cells, row, col, text, tell)) {
            tell(*refusal);
            return false;
        }
        return true;
    }

    // The current cell moves; the current-cell change runs when it really moved.
    void moveTo(int row, int col) {
        col = std::max(col, 1);
        if (row == m_row && col == m_col) {
            return;
        }
        m_row = row;
        m_col = col;
        wizard::currentCellChange(m_cells, {}, row, col);
    }

  private:
    controls::FlexGridModel m_cells;
    int m_row = -1;
    int m_col = -1;
};

// The messages that name grid rows, and how many of their values are row numbers (the
// others follow them).
struct RowMessage {
    QStringView text;
    int rows;
};
const RowMessage kRowMessages[] = {
    {wizard::kMsgSizeOutOfRange, 1},  {wizard::kMsgIdAndNameRequired, 1},
    {wizard::kMsgSizeRequired, 1},    {wizard::kMsgDuplicate, 2},
    {productdb::kMsgFieldIdWrong, 1}, {wizard::kMsgNotAListEntry, 1},
};

// The grid rows a message names, in its order.
std::vector<int> rowsNamedBy(const QString& prompt) {
    for (const RowMessage& message : kRowMessages) {
        QString pattern = QRegularExpression::escape(message.text.toString());
        for (int i = 1; i <= 9; ++i) {
            pattern.replace(QStringLiteral("\\%") + QString::number(i),
                            i <= message.rows ? QStringLiteral("(\\d+)") : QStringLiteral("(.*)"));
        }
        const QRegularExpressionMatch match =
            QRegularExpression(QLatin1Char('^') + pattern + QLatin1Char('$'),
                               QRegularExpression::DotMatchesEverythingOption)
                .match(prompt);
        if (match.hasMatch()) {
            std::vector<int> rows;
            for (int i = 1; i <= message.rows; ++i) {
                rows.push_back(match.captured(i).toInt());
            }
            return rows;
        }
    }
    return {};
}

// Batch mode's messages, each followed by one line that names the line of the field file
// its row came from: "rv_makedb: FILE:LINE: this line is row N", or what the row is when
// no line made it (an existing field of the database).
class FieldFileResponder : public controls::BatchMsgBoxResponder {
  public:
    FieldFileResponder(QuestionAnswer answer, std::string file)
        : BatchMsgBoxResponder(answer), m_answer(answer), m_file(std::move(file)) {}

    // The rows up to `rows` are the database's fields.
    void setExistingRows(int rows) { m_existingRows = rows; }
    // `row` was typed from `line`; messages until done() come from typing it.
    void typing(int row, int line) {
        m_lines[row] = line;
        m_typingRow = row;
    }
    void done() { m_typingRow = 0; }

  protected:
    void report(const controls::MsgBoxCall& call) override {
        BatchMsgBoxResponder::report(call);
        if (call.okCancel && m_answer == QuestionAnswer::Cancel) {
            std::fputs((kBatchQuestionDeclined.toString().toStdString() + "\n").c_str(), stderr);
            std::fflush(stderr);
        }
        std::vector<int> rows = rowsNamedBy(call.prompt);
        if (rows.empty() && m_typingRow > 0) {
            rows = {m_typingRow};
        }
        if (rows.empty()) {
            return;
        }
        // The row a line of the file made, the last one named first.
        const auto anchor =
            std::find_if(rows.rbegin(), rows.rend(), [&](int r) { return m_lines.contains(r); });
        std::string note = "rv_makedb: " + m_file;
        if (anchor == rows.rend()) {
            note += ": " + what(rows.front());
        } else {
            note += ":" + std::to_string(m_lines.at(*anchor)) + ": this line is row " +
                    std::to_string(*anchor);
            for (int r : rows) {
                if (r != *anchor) {
                    note += "; " + what(r);
                }
            }
        }
        note += "\n";
        std::fputs(note.c_str(), stderr);
        std::fflush(stderr);
    }

  private:
    std::string what(int row) const {
        const std::string named = "row " + std::to_string(row);
        if (row == 0) {
            return named + " is the heading row (フィールドID, 項目名, ...)";
        }
        if (m_lines.contains(row)) {
            return named + " is line " + std::to_string(m_lines.at(row));
        }
        if (row >= 1 && row <= m_existingRows) {
            return named + " is an existing field of the database";
        }
        return named + " is after the last line of the file";
    }

    QuestionAnswer m_answer;
    std::string m_file;
    std::map<int, int> m_lines;  // grid row: line of the file
    int m_existingRows = 0;
    int m_typingRow = 0;
};

// "FILE: REASON" from the engine's words, which may begin by naming the file.
std::string reasonLine(const std::string& file, const std::string& reason) {
    const std::string named = "cannot open " + file + ": ";
    return "rv_makedb: " + file + ": " +
           (reason.starts_with(named) ? reason.substr(named.size()) : reason) + "\n";
}

}  // namespace

QStringList fieldLines(const QString& fileText, std::vector<int>* numbers) {
    QStringList out;
    int number = 0;
    for (QString line : fileText.split(u'\n')) {
        ++number;
        if (line.endsWith(u'\r')) {
            line.chop(1);
        }
        if (line.trimmed().isEmpty() || line.startsWith(u'#')) {
            continue;
        }
        out << line;
        if (numbers) {
            numbers->push_back(number);
        }
    }
    return out;
}

QString fieldFileText(const std::string& bytes, const std::string& encoding) {
    std::unique_ptr<void, int (*)(iconv_t)> cd(iconv_open("UTF-8", encoding.c_str()), iconv_close);
    if (cd.get() == reinterpret_cast<iconv_t>(-1)) {
        cd.release();
        throw std::runtime_error("unknown encoding " + encoding);
    }
    std::string out(bytes.size() + bytes.size() / 2 + 16, '\0');
    std::string in = bytes;
    std::size_t done = 0;
    // Converts what `from` holds (nothing: ends a shifted encoding's state); false when it
    // is not valid in the encoding.
    auto convert = [&](char** from, std::size_t* fromLeft) {
        for (;;) {
            char* to = out.data() + done;
            std::size_t toLeft = out.size() - done;
            const std::size_t rc = iconv(cd.get(), from, fromLeft, &to, &toLeft);
            const int error = errno;
            done = static_cast<std::size_t>(to - out.data());
            if (rc != static_cast<std::size_t>(-1)) {
                return true;
            }
            if (error != E2BIG) {
                return false;
            }
            out.resize(out.size() * 2);
        }
    };
    char* from = in.data();
    std::size_t fromLeft = in.size();
    const bool valid = convert(&from, &fromLeft) && convert(nullptr, nullptr);
    out.resize(done);
    // What the conversion let through is checked as well.
    const std::size_t good = validUtf8Length(out);
    if (!valid || good < out.size()) {
        const auto line = std::count(out.begin(), out.begin() + static_cast<long>(good), '\n') + 1;
        throw std::runtime_error("line " + std::to_string(line) + " is not valid " + encoding);
    }
    QString text = QString::fromStdString(out);
    if (text.startsWith(QChar(0xFEFF))) {
        text.remove(0, 1);
    }
    return text;
}

BatchResult runBatch(const BatchJob& job) {
    // The template tree is loaded as the window loads it, so that a library the window
    // could not read stops batch mode too; entries it leaves out are told in one line.
    const CreateDBSql::ApplicationScope application;
    FieldFileResponder responder(job.answerYes
                                     ? controls::BatchMsgBoxResponder::QuestionAnswer::Ok
                                     : controls::BatchMsgBoxResponder::QuestionAnswer::Cancel,
                                 job.fieldFile);
    const std::string database = toHostBytes(job.database);

    TypedGrid grid;
    try {
        controls::KeyedTree tree;
        tellLeftOut(browser::loadTemplateTree(tree, job.library, browser::LoadErrors::kStop));
    } catch (const browser::TreeLoadError& e) {
        std::cerr << "rv_makedb: " << e.what() << "\n";
        return BatchResult::kOpenFailed;
    }
    WizardStatus status;
    openProductDatabase(status, job.database, job.password, grid.cells(),
                        job.dryRun ? FileCreation::kNone : FileCreation::kCreate);
    if (status.openFailed) {
        if (!status.openFailure.empty()) {
            std::cerr << reasonLine(database, status.openFailure);
        }
        closeProductDatabase(status, job.database, job.password);
        return BatchResult::kOpenFailed;
    }
    responder.setExistingRows(grid.cells().gridRows() - 1);
    // Cancel: an empty file this run made goes again.
    auto cancel = [&] {
        closeProductDatabase(status, job.database, job.password);
        return BatchResult::kRefused;
    };
    auto stop = [&] { return job.stopRequested && job.stopRequested(); };

    constexpr int kTypedColumns = 7;  // ID, name, attribute, size, IME, mail, FAX
    bool refused = false;             // a list cell took none of its entries: OK is not pressed
    for (qsizetype n = 0; n < job.fieldLines.size(); ++n) {
        if (stop()) {
            return cancel();
        }
        const int row = grid.addRow();
        const auto index = static_cast<std::size_t>(n);
        responder.typing(row, index < job.fieldLineNumbers.size() ? job.fieldLineNumbers[index]
                                                                  : static_cast<int>(n) + 1);
        const QStringList cells = job.fieldLines[n].split(u'\t');
        for (int i = 0; i < kTypedColumns && i < cells.size(); ++i) {
            refused = !grid.type(row, i + 1, cells[i]) || refused;
        }
        grid.moveTo(row, 1);  // and on to the next row
        responder.done();
    }
    if (stop() || refused) {
        return cancel();
    }

    if (job.dryRun) {
        if (!createChecksPass(grid.cells())) {
            return cancel();
        }
        for (const std::string& statement : buildStatements(status, grid.cells())) {
            *job.dryRun << statement << '\n';
        }
        job.dryRun->flush();
        closeProductDatabase(status, job.database, job.password);
        return BatchResult::kBuilt;
    }
    if (createCommand(status, job.database, job.password, grid.cells(), {})) {
        closeProductDatabase(status, job.database, job.password);
        return BatchResult::kBuilt;
    }
    if (!status.buildFailure.empty()) {
        std::cerr << reasonLine(database, status.buildFailure);  // what the engine said
    }
    return cancel();
}

}  // namespace component
