#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QUndoStack>
#include <functional>
#include <optional>

namespace controls {
class FlexGrid;
}

namespace wizard {

// What undo brings back of the design grid: the rows below the existing fields with their
// cells and colours, the selected rows and the current cell.
struct GridState {
    struct Cell {
        QString text;
        std::optional<unsigned int> background;
        std::optional<unsigned int> foreground;
        bool operator==(const Cell&) const = default;
    };
    using Row = QList<Cell>;

    QList<Row> rows;  // top to bottom; rows that did not change share their cells
    QList<int> selected;
    int currentRow = -1;
    int currentCol = -1;
};

// Undo and redo of the commands over the design grid. A command run through record() that
// changes the rows becomes one step, with whatever the grid's rules repaired on the way;
// undoing it brings back the rows, the selection and the current cell as they were before,
// redoing it as they were after. The existing-field rows at the top are never part of a
// step and are never written.
class GridHistory : public QObject {
    Q_OBJECT

  public:
    explicit GridHistory(controls::FlexGrid& fg1, QObject* parent = nullptr);

    QUndoStack& stack() { return m_stack; }

    // Runs `command` and makes what it changed one step.
    void record(const std::function<void()>& command);
    // Takes in what the grid's rules changed outside a command (the current-cell change) as
    // where the next step starts, without a step of its own.
    void settle();
    // Forgets every step: history begins with the grid as it stands.
    void reset();

    GridState capture() const;
    void restore(const GridState& state);

  private:
    int existingRows() const;

    controls::FlexGrid& m_fg1;
    QUndoStack m_stack;
    QList<GridState::Row> m_settled;  // the rows as the last step or settle() left them
};

}  // namespace wizard
