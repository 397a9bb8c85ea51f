#include "wizard/grid_history.h"

#include <QItemSelectionModel>
#include <QSignalBlocker>
#include <QUndoCommand>
#include <algorithm>
#include <utility>

#include "controls/flex_grid.h"
#include "wizard/grid_columns.h"

namespace wizard {

namespace {

// The most steps kept; the oldest go first.
constexpr int kStepLimit = 500;

class GridStep : public QUndoCommand {
  public:
    GridStep(GridHistory& history, GridState before, GridState after)
        : m_history(history), m_before(std::move(before)), m_after(std::move(after)) {}

    void undo() override { m_history.restore(m_before); }
    void redo() override {
        // The command itself did the first time.
        if (!std::exchange(m_firstRedo, false)) {
            m_history.restore(m_after);
        }
    }

  private:
    GridHistory& m_history;
    GridState m_before;
    GridState m_after;
    bool m_firstRedo = true;
};

}  // namespace

GridHistory::GridHistory(controls::FlexGrid& fg1, QObject* parent) : QObject(parent), m_fg1(fg1) {
    m_stack.setUndoLimit(kStepLimit);
    reset();
}

int GridHistory::existingRows() const {
    int n = 0;
    while (n + 1 < m_fg1.rows() && !m_fg1.textMatrix(n + 1, kColExisting).isEmpty()) {
        ++n;
    }
    return n;
}

GridState GridHistory::capture() const {
    const controls::FlexGridModel& cells = *m_fg1.gridModel();
    GridState state;
    const int first = existingRows() + 1;
    state.rows.reserve(cells.gridRows() - first);
    for (int r = first; r < cells.gridRows(); ++r) {
        GridState::Row row;
        row.reserve(cells.gridCols());
        for (int c = 0; c < cells.gridCols(); ++c) {
            row.append({cells.text(r, c), cells.background(r, c), cells.foreground(r, c)});
        }
        // Unchanged rows share the settled row's cells, so steps stay small.
        const auto i = static_cast<qsizetype>(state.rows.size());
        state.rows.append(i < m_settled.size() && m_settled[i] == row ? m_settled[i] : row);
    }
    state.selected = m_fg1.selectedRows();
    state.currentRow = m_fg1.currentRow();
    state.currentCol = m_fg1.currentCol();
    return state;
}

void GridHistory::record(const std::function<void()>& command) {
    GridState before = capture();
    before.rows = m_settled;  // an edit is already in the cells when it is recorded
    command();
    GridState after = capture();
    m_settled = after.rows;
    if (after.rows != before.rows) {
        m_stack.push(new GridStep(*this, std::move(before), std::move(after)));
    }
}

void GridHistory::settle() {
    m_settled = capture().rows;
}

void GridHistory::reset() {
    m_stack.clear();
    settle();
}

void GridHistory::restore(const GridState& state) {
    controls::FlexGridModel& cells = *m_fg1.gridModel();
    const QList<GridState::Row> now = capture().rows;
    const QList<GridState::Row>& target = state.rows;
    {
        // The grid's events wait until the rows are whole again.
        const QSignalBlocker quiet(m_fg1);
        // Only the rows between the unchanged top and bottom are written.
        const qsizetype shorter = std::min(now.size(), target.size());
        qsizetype top = 0;
        while (top < shorter && now[top] == target[top]) {
            ++top;
        }
        qsizetype bottom = 0;
        while (bottom < shorter - top &&
               now[now.size() - 1 - bottom] == target[target.size() - 1 - bottom]) {
            ++bottom;
        }
        const int first = existingRows() + 1 + static_cast<int>(top);
        const auto oldCount = now.size() - top - bottom;
        const auto newCount = target.size() - top - bottom;
        for (qsizetype i = 0; i < newCount; ++i) {
            const int r = first + static_cast<int>(i);
            const GridState::Row& row = target[top + i];
            if (i >= oldCount) {
                QStringList texts;
                for (const GridState::Cell& cell : row) {
                    texts << cell.text;
                }
                cells.insertGridRow(r, texts);
            }
            for (int c = 0; c < row.size(); ++c) {
                const GridState::Cell& cell = row[c];
                cells.setText(r, c, cell.text);
                if (cells.background(r, c) != cell.background) {
                    cells.setBackground(r, c, r, c, cell.background);
                }
                if (cells.foreground(r, c) != cell.foreground) {
                    cells.setForeground(r, c, r, c, cell.foreground);
                }
            }
        }
        for (qsizetype i = newCount; i < oldCount; ++i) {
            cells.removeGridRow(first + static_cast<int>(newCount));
        }
        m_fg1.selectionModel()->clearSelection();
        for (int r : state.selected) {
            m_fg1.selectRow(r);
        }
    }
    m_settled = target;
    // Moving the current cell back runs the current-cell change as any move does.
    if (state.currentRow > 0 && state.currentRow < m_fg1.rows()) {
        m_fg1.setCurrentCell(state.currentRow, state.currentCol);
    }
}

}  // namespace wizard
