// SPDX-License-Identifier: MIT
#pragma once

#include "controls/flex_grid_model.h"

#include <QHash>
#include <QList>
#include <QPersistentModelIndex>
#include <QTableView>

#include <functional>

namespace controls {

class FlexGridDelegate;

// A grid of text cells with a fixed heading row (row 0) and a fixed row-number column
// (column 0), shown as the view's headers. All functions use these grid coordinates.
//
// Rows are selected as in a list box: each row by itself (click, Ctrl+click toggles,
// Shift+click extends); the current cell is separate from the selection.
//
// When editing is on, Enter, F2, a double click or typing edits the current cell: as text, or,
// when its column has a drop-down list, by picking an item from the list.
//
// Keys: the arrow keys move the current cell; Tab and Shift+Tab, with or without Ctrl, leave
// the grid for the next or previous control of the window (ending an edit first).
class FlexGrid : public QTableView {
    Q_OBJECT

  public:
    // Sees each key typed into a cell editor as a character code (Enter 13, Backspace 8) and
    // may set it to 0 to discard the key, or to another code to type that instead. Tab and
    // Escape are not passed: they always end and cancel the edit.
    using KeyPressEditHandler = std::function<void(int row, int col, int& key)>;

    explicit FlexGrid(QWidget* parent = nullptr);

    FlexGridModel* gridModel() const { return m_model; }

    int rows() const { return m_model->gridRows(); }
    int cols() const { return m_model->gridCols(); }
    void setCols(int cols);

    QString textMatrix(int row, int col) const { return m_model->text(row, col); }
    void setTextMatrix(int row, int col, const QString& text) { m_model->setText(row, col, text); }

    // The drop-down list of a column as items separated by "|" (" " is a list of one blank
    // item); an empty text removes the list.
    void setColComboList(int col, const QString& list) { m_comboLists.insert(col, list); }
    QString colComboList(int col) const { return m_comboLists.value(col); }

    // A hidden column keeps its cells (textMatrix() reads them) but is not shown: not on
    // screen, to the keys, or to screen readers. Column 0 is the row-number column.
    void setColHidden(int col, bool hidden);
    bool isColHidden(int col) const;
    // Column width in twips (1/1440 inch); a hidden column gets it when it is shown. A column
    // is never narrower than its heading.
    void setColWidth(int col, int twips);

    // Selected rows in ascending order.
    QList<int> selectedRows() const;
    int firstSelectedRow() const;
    bool isRowSelected(int row) const;
    // Selects or deselects one row; the other rows keep their state.
    void selectRow(int row, bool selected = true);
    // Selects exactly `rows` (row 0 is ignored) in one change of the selection: many rows cost
    // about as much as one.
    void setSelectedRows(QList<int> rows);

    // Moves the current cell without touching the selection; col 0 means column 1, a hidden
    // column the row's first shown column.
    void setCurrentCell(int row, int col);
    // Moves the current cell to row, keeping its column.
    void setCurrentRow(int row);
    // The current cell, or -1 when there is none.
    int currentRow() const;
    int currentCol() const;

    // Inserts a row at position (1 to rows()), or appends it when position is -1, from text
    // whose tab-separated parts fill columns 0, 1, 2, ...
    void addItem(const QString& text, int position = -1);
    void removeItem(int row);
    void moveRow(int from, int to);
    // Moves rows one after another, as moveRow does for each (from, to) in order, and shows
    // only the end result: many moves cost about as much as one.
    void moveRows(const QList<std::pair<int, int>>& moves);

    void setEditable(bool editable) { m_editable = editable; }
    bool isEditable() const { return m_editable; }

    void setKeyPressEditHandler(KeyPressEditHandler handler) {
        m_keyPressEdit = std::move(handler);
    }

    // Wide enough for the row numbers and every shown column, so that no heading is cut
    // (a window's layout keeps the grid at least this wide), and high enough for a few rows.
    QSize minimumSizeHint() const override;

  Q_SIGNALS:
    // A cell edit was committed (the text may be unchanged).
    void afterEdit(int row, int col);
    // The current cell moved, by the user or by the program; -1 where there was none. A click
    // reports it once the selection has followed the click.
    void afterRowColChange(int oldRow, int oldCol, int newRow, int newCol);

  protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void commitData(QWidget* editor) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    friend class FlexGridDelegate;

    // Runs a change of rows (or of the selection); a move of the current cell it causes is
    // reported afterwards, once the rows and the selection are settled.
    template <typename Change>
    void changeRows(Change change);
    QStringList comboItems(int col) const;
    bool filterEditorKey(int& key);
    int toPixels(int twips) const;
    void applyWidths();

    FlexGridModel* m_model;
    FlexGridDelegate* m_delegate;
    QHash<int, QString> m_comboLists;
    QHash<int, int> m_widths;  // pixels by grid column, as set
    KeyPressEditHandler m_keyPressEdit;
    QPersistentModelIndex m_editing;
    bool m_editable = true;
    bool m_committed = false;
    int m_rowChange = 0;
    bool m_currentMovedInChange = false;
};

}  // namespace controls
