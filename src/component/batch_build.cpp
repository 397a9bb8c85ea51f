#include "component/batch_build.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <iostream>
#include <memory>
#include <stdexcept>

#include "browser/tree_loader.h"
#include "component/create_db_sql.h"
#include "component/host_text.h"
#include "component/wizard_life.h"
#include "controls/batch_msg_box_responder.h"
#include "controls/flex_grid_model.h"
#include "controls/keyed_tree.h"
#include "wizard/design_grid.h"
#include "wizard/grid_rules.h"
#include "wizard/row_commands.h"

namespace component {

namespace {

// The design grid as a person at the window would drive it, without the window: its cells,
// the current cell and whether editing is on. Nothing is ever selected.
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
    // filter, then commit, which runs the after-edit check.
    void type(int row, int col, const QString& text) {
        moveTo(row, col);
        if (!m_editable) {
            return;  // a person could not type here either
        }
        QString typed;
        for (QChar ch : text) {
            int key = ch.unicode();
            if (auto warning = wizard::sizeKeyFilter(m_cells, row, col, key)) {
                controls::tell(*warning);
            }
            if (key != 0) {
                typed += QChar(key);
            }
        }
        m_cells.setText(row, col, typed);
        wizard::afterEditCheck(m_cells, row, col,
                               [](const controls::Message& warning) { controls::tell(warning); });
    }

    // The current cell moves; the current-cell change runs when it really moved.
    void moveTo(int row, int col) {
        col = std::max(col, 1);
        if (row == m_row && col == m_col) {
            return;
        }
        m_row = row;
        m_col = col;
        if (auto editable = wizard::currentCellChange(m_cells, {}, row, col).editable) {
            m_editable = *editable;
        }
    }

  private:
    controls::FlexGridModel m_cells;
    int m_row = -1;
    int m_col = -1;
    bool m_editable = true;
};

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
    // could not show stops batch mode too.
    const CreateDBSql::ApplicationScope application;
    controls::BatchMsgBoxResponder responder(
        job.answerYes ? controls::BatchMsgBoxResponder::QuestionAnswer::Ok
                      : controls::BatchMsgBoxResponder::QuestionAnswer::Cancel);

    TypedGrid grid;
    try {
        controls::KeyedTree tree;
        browser::loadTemplateTree(tree, job.templates, browser::LoadErrors::kStop);
    } catch (const browser::TreeLoadError& e) {
        std::cerr << "rv_makedb: " << e.what() << "\n";
        return BatchResult::kOpenFailed;
    }
    WizardStatus status;
    openProductDatabase(status, job.database, job.password, grid.cells(),
                        job.dryRun ? FileCreation::kNone : FileCreation::kCreate);
    if (status.openFailed) {
        closeProductDatabase(status, job.database, job.password);
        return BatchResult::kOpenFailed;
    }
    // Cancel: an empty file this run made goes again.
    auto cancel = [&] {
        closeProductDatabase(status, job.database, job.password);
        return BatchResult::kRefused;
    };
    auto stop = [&] { return job.stopRequested && job.stopRequested(); };

    constexpr int kTypedColumns = 7;  // ID, name, attribute, size, IME, mail, FAX
    for (const QString& line : job.fieldLines) {
        if (stop()) {
            return cancel();
        }
        const int row = grid.addRow();
        const QStringList cells = line.split(u'\t');
        for (int i = 0; i < kTypedColumns && i < cells.size(); ++i) {
            grid.type(row, i + 1, cells[i]);
        }
        grid.moveTo(row, 1);  // and on to the next row
    }
    if (stop()) {
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
        std::cerr << "rv_makedb: " << status.buildFailure << "\n";  // what the engine said
    }
    return cancel();
}

}  // namespace component
