#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

namespace controls {

// The cells of a FlexGrid: a table of texts, each cell with an optional background colour and
// an optional text colour.
//
// The functions named grid... and the cell functions use the grid's own coordinates: row 0 is
// the heading row and column 0 the row-number column. The item model shows only the rest:
// model row r is grid row r + 1 and model column c is grid column c + 1; the heading row is the
// horizontal header data and the row-number column the vertical header data.
//
// Grid coordinates outside the table throw std::out_of_range.
class FlexGridModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    // Data role of a cell's background as an ARGB number (QRgb), absent when none is set.
    static constexpr int kBackgroundRole = Qt::UserRole + 1;
    // Data role of a cell's text colour as an ARGB number (QRgb), absent when none is set.
    static constexpr int kForegroundRole = Qt::UserRole + 2;

    explicit FlexGridModel(QObject* parent = nullptr);

    int gridRows() const { return static_cast<int>(m_cells.size()); }
    // Sets the row count, at least 1 (the heading row stays); new rows are empty.
    void setGridRows(int rows);
    int gridCols() const { return m_cols; }
    // Sets the column count, at least 1; new columns are empty.
    void setGridCols(int cols);

    QString text(int row, int col) const;
    void setText(int row, int col, const QString& text);

    std::optional<unsigned int> background(int row, int col) const;
    // Sets (or with nullopt removes) the background of the block from (row1, col1) to
    // (row2, col2), corners in either order.
    void setBackground(int row1, int col1, int row2, int col2, std::optional<unsigned int> argb);

    std::optional<unsigned int> foreground(int row, int col) const;
    // As setBackground, for the text colour.
    void setForeground(int row1, int col1, int row2, int col2, std::optional<unsigned int> argb);

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
    };
    using Row = QList<Cell>;

    const Cell& cell(int row, int col) const;
    void checkRow(int row, int first) const;
    void checkCol(int col) const;
    void cellChanged(int row, int col, const QList<int>& roles);
    void setColour(std::optional<unsigned int> Cell::*colour, int role, int row1, int col1,
                   int row2, int col2, std::optional<unsigned int> argb);

    QList<Row> m_cells;  // grid rows, each with m_cols cells
    int m_cols = 1;
};

}  // namespace controls
