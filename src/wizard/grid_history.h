// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace controls {
class FlexGridModel;
}

namespace wizard {

// The selected rows (ascending) and the current cell of the design grid, as values; -1 where
// there is no current cell. The window maps its view's selection to this and back.
struct GridSelection {
    QList<int> rows;
    int currentRow = -1;
    int currentCol = -1;
    bool operator==(const GridSelection&) const = default;
};

// What undo brings back of the design grid: the rows below the existing fields with their
// cells and colours, and the selection.
struct GridState {
    struct Cell {
        QString text;
        std::optional<unsigned int> background;
        std::optional<unsigned int> foreground;
        QString note;  // the cell's note; the row's (column 0) is the live checks'
        bool operator==(const Cell&) const = default;
    };
    using Row = QList<Cell>;

    QList<Row> rows;  // top to bottom; rows that did not change share their cells
    GridSelection selection;
};

// Undo and redo of the commands over the design grid's cells. A command run through record()
// that changes the rows becomes one step, with whatever the grid's rules repaired on the way;
// undoing it brings back the rows as they were before and gives the selection to bring back
// with them, redoing it the same as they were after. The existing-field rows at the top are
// never part of a step and are never written.
class GridHistory {
  public:
    // `selection` tells the grid's selection as it stands whenever a step is taken.
    GridHistory(controls::FlexGridModel& fg1, std::function<GridSelection()> selection);

    // Runs `command` and makes what it changed one step.
    void record(const std::function<void()>& command);
    // Takes in what the grid's rules changed outside a command (the current-cell change) as
    // where the next step starts, without a step of its own.
    void settle();
    // Forgets every step: history begins with the grid as it stands.
    void reset();

    bool canUndo() const { return m_done > 0; }
    bool canRedo() const { return m_done < m_steps.size(); }
    // Brings the rows back to where the last step started (or to where the next step undone
    // ended) and returns the selection to bring back; none when there is nothing to undo (redo).
    std::optional<GridSelection> undo();
    std::optional<GridSelection> redo();

  private:
    struct Step {
        GridState before;
        GridState after;
    };

    int existingRows() const;
    // Row `r` of the grid holds exactly `row`.
    bool rowIs(int r, const GridState::Row& row) const;
    GridState capture() const;
    void restore(const GridState& state);

    controls::FlexGridModel& m_fg1;
    std::function<GridSelection()> m_selection;
    QList<Step> m_steps;
    qsizetype m_done = 0;             // steps done; those after it can be redone
    QList<GridState::Row> m_settled;  // the rows as the last step or settle() left them
};

}  // namespace wizard
