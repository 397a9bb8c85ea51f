// SPDX-License-Identifier: MIT
#include "wizard/grid_history.h"

#include <algorithm>
#include <utility>

#include "controls/flex_grid_model.h"
#include "wizard/grid_columns.h"

namespace wizard {

namespace {

// The most steps kept; the oldest go first.
constexpr qsizetype kStepLimit = 500;

}  // namespace

GridHistory::GridHistory(controls::FlexGridModel& fg1, std::function<GridSelection()> selection)
    : m_fg1(fg1), m_selection(std::move(selection)) {
    reset();
}

int GridHistory::existingRows() const {
    int n = 0;
    while (n + 1 < m_fg1.gridRows() && !m_fg1.text(n + 1, kColExisting).isEmpty()) {
        ++n;
    }
    return n;
}

bool GridHistory::rowIs(int r, const GridState::Row& row) const {
    if (row.size() != m_fg1.gridCols()) {
        return false;
    }
    for (int c = 0; c < m_fg1.gridCols(); ++c) {
        const GridState::Cell& cell = row[c];
        if (m_fg1.text(r, c) != cell.text || m_fg1.background(r, c) != cell.background ||
            m_fg1.foreground(r, c) != cell.foreground || m_fg1.cellNote(r, c) != cell.note) {
            return false;
        }
    }
    return true;
}

GridState GridHistory::capture() const {
    GridState state;
    const int first = existingRows() + 1;
    state.rows.reserve(m_fg1.gridRows() - first);
    for (int r = first; r < m_fg1.gridRows(); ++r) {
        // Unchanged rows share the settled row's cells, so steps stay small.
        const auto i = static_cast<qsizetype>(state.rows.size());
        if (i < m_settled.size() && rowIs(r, m_settled[i])) {
            state.rows.append(m_settled[i]);
            continue;
        }
        GridState::Row row;
        row.reserve(m_fg1.gridCols());
        for (int c = 0; c < m_fg1.gridCols(); ++c) {
            row.append({m_fg1.text(r, c), m_fg1.background(r, c), m_fg1.foreground(r, c),
                        m_fg1.cellNote(r, c)});
        }
        state.rows.append(std::move(row));
    }
    state.selection = m_selection();
    return state;
}

void GridHistory::record(const std::function<void()>& command) {
    // An edit is already in the cells when it is recorded: the rows before are the settled ones.
    GridState before{m_settled, m_selection()};
    command();
    GridState after = capture();
    m_settled = after.rows;
    if (after.rows == before.rows) {
        return;
    }
    m_steps.resize(m_done);
    m_steps.append({std::move(before), std::move(after)});
    if (m_steps.size() > kStepLimit) {
        m_steps.removeFirst();
    }
    m_done = m_steps.size();
}

void GridHistory::settle() {
    m_settled = capture().rows;
}

void GridHistory::reset() {
    m_steps.clear();
    m_done = 0;
    settle();
}

std::optional<GridSelection> GridHistory::undo() {
    if (!canUndo()) {
        return std::nullopt;
    }
    const Step& step = m_steps[--m_done];
    restore(step.before);
    return step.before.selection;
}

std::optional<GridSelection> GridHistory::redo() {
    if (!canRedo()) {
        return std::nullopt;
    }
    const Step& step = m_steps[m_done++];
    restore(step.after);
    return step.after.selection;
}

void GridHistory::restore(const GridState& state) {
    const QList<GridState::Row> now = capture().rows;
    const QList<GridState::Row>& target = state.rows;
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
    // The rows kept are rewritten in place as one change; the rows that come or go after.
    const auto write = [&](qsizetype i) {
        const int r = first + static_cast<int>(i);
        const GridState::Row& row = target[top + i];
        for (int c = 0; c < row.size(); ++c) {
            const GridState::Cell& cell = row[c];
            m_fg1.setText(r, c, cell.text);
            if (m_fg1.background(r, c) != cell.background) {
                m_fg1.setBackground(r, c, r, c, cell.background);
            }
            if (m_fg1.foreground(r, c) != cell.foreground) {
                m_fg1.setForeground(r, c, r, c, cell.foreground);
            }
            if (c > 0) {
                m_fg1.setCellNote(r, c, cell.note);
            }
        }
    };
    const qsizetype kept = std::min(oldCount, newCount);
    if (kept > 0) {
        m_fg1.changeRows(first, first + static_cast<int>(kept) - 1, [&] {
            for (qsizetype i = 0; i < kept; ++i) {
                write(i);
            }
        });
    }
    for (qsizetype i = kept; i < newCount; ++i) {
        QStringList texts;
        for (const GridState::Cell& cell : target[top + i]) {
            texts << cell.text;
        }
        m_fg1.insertGridRow(first + static_cast<int>(i), texts);
        write(i);
    }
    for (qsizetype i = newCount; i < oldCount; ++i) {
        m_fg1.removeGridRow(first + static_cast<int>(newCount));
    }
    m_settled = target;
}

}  // namespace wizard
