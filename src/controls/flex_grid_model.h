// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace controls {

// The cells of a FlexGrid: a table of texts, each cell with an optional background colour and
// an optional text colour.
//
// The functions named grid... and the cell functions use the grid's own coordinates: row 0 is
// the heading row and column 0 the row-number column. The item model shows only the rest, and
// of the columns only those not hidden: model row r is grid row r + 1, the model's columns are
// the shown grid columns in their order (grid column c + 1 while none is hidden); the heading
// row is the horizontal header data and the row-number column the vertical header data. A
// hidden column keeps its cells for the grid functions, but no view or screen reader sees it.
//
// Grid coordinates outside the table throw std::out_of_range.
class FlexGridModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    // Data role of a cell's background as an ARGB number (QRgb), absent when none is set.
    static constexpr int kBackgroundRole = Qt::UserRole + 1;
    // Data role of a cell's text colour as an ARGB number (QRgb), absent when none is set.
    static constexpr int kForegroundRole = Qt::UserRole + 2;
    // Vertical header data role of a row's note (text), absent when the row has none.
    static constexpr int kRowNoteRole = Qt::UserRole + 3;

    explicit FlexGridModel(QObject* parent = nullptr);

    int gridRows() const { return static_cast<int>(m_cells.size()); }
    // Sets the row count, at least 1 (the heading row stays); new rows are empty.
    void setGridRows(int rows);
    int gridCols() const { return m_cols; }
    // Sets the column count, at least 1; new columns are empty.
    void setGridCols(int cols);

    // Hides a column (1 to gridCols() - 1) from the item model, or shows it again.
    void setGridColHidden(int col, bool hidden);
    bool isGridColHidden(int col) const;
    // The item-model column that shows grid column col, or -1 (column 0, or hidden).
    int modelColumn(int col) const;
    // The grid column that item-model column `column` shows.
    int gridColumn(int column) const { return m_shown[static_cast<std::size_t>(column)]; }
    // The item-model index of a cell; invalid in row 0, column 0 and hidden columns.
    QModelIndex cellIndex(int row, int col) const;

    QString text(int row, int col) const;
    void setText(int row, int col, const QString& text);
    // Writes texts[i] into row `row` + i of column `col`, as setText does for each, and reports
    // the rows that changed as one change: a column of many rows costs about as much as a cell.
    void setTexts(int row, int col, const QStringList& texts);

    std::optional<unsigned int> background(int row, int col) const;
    // Sets (or with nullopt removes) the background of the block from (row1, col1) to
    // (row2, col2), corners in either order.
    void setBackground(int row1, int col1, int row2, int col2, std::optional<unsigned int> argb);

    std::optional<unsigned int> foreground(int row, int col) const;
    // As setBackground, for the text colour.
    void setForeground(int row1, int col1, int row2, int col2, std::optional<unsigned int> argb);

    // Runs `write`, which changes cells of the data rows `first` to `last` only (no rows come
    // or go), and reports those rows as one change afterwards: rewriting many cells costs
    // about as much as one.
    void changeRows(int first, int last, const std::function<void()>& write);

    // Inserts a row at grid row `row` (1 to gridRows(); gridRows() appends) whose cells, from
    // column 0, take the given texts; missing cells stay empty and surplus texts are dropped.
    void insertGridRow(int row, const QStringList& texts);
    void removeGridRow(int row);
    // Moves grid row `from` so that it becomes grid row `to`; the rows between close up.
    void moveGridRow(int from, int to);
    // Makes the moves one after another, as moveGridRow does, as one change of the layout:
    // views and persistent indexes (the selection among them) see only the end result.
    // Returns where each grid row, counted before the moves, ended.
    std::vector<int> moveGridRows(const QList<std::pair<int, int>>& moves);

    // A note on data row `row` (1 to gridRows() - 1): its heading carries a mark and shows
    // the note as its tooltip. The note travels with its row; an empty text removes it.
    void setRowNote(int row, const QString& note);
    QString rowNote(int row) const;
    // A note on cell (row, col) of a data row, col from 1, that no view shows: what the
    // program keeps of the cell besides its text. It travels with its row.
    void setCellNote(int row, int col, const QString& note);
    QString cellNote(int row, int col) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  private:
    struct Cell {
        QString text;
        std::optional<unsigned int> background;
        std::optional<unsigned int> foreground;
        QString note;  // column 0: the row's note; others: the cell's
    };
    using Row = QList<Cell>;

    const Cell& cell(int row, int col) const;
    void checkRow(int row, int first) const;
    void checkCol(int col) const;
    void cellChanged(int row, int col, const QList<int>& roles);
    void setColour(std::optional<unsigned int> Cell::*colour, int role, int row1, int col1,
                   int row2, int col2, std::optional<unsigned int> argb);

    void updateShown();

    QList<Row> m_cells;      // grid rows, each with m_cols cells
    bool m_holding = false;  // changes of data rows are reported by changeRows()
    int m_cols = 1;
    std::vector<bool> m_hidden = std::vector<bool>(1);  // by grid column
    std::vector<int> m_shown;                           // the grid column of each model column
};

}  // namespace controls
