// SPDX-License-Identifier: MIT
#include "controls/flex_grid_model.h"

#include <algorithm>
#include <functional>
#include <numeric>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace controls {

namespace {

[[noreturn]] void outOfRange(const char* what, int value) {
    throw std::out_of_range(std::string("grid ") + what +
                            " out of range: " + std::to_string(value));
}

}  // namespace

FlexGridModel::FlexGridModel(QObject* parent) : QAbstractTableModel(parent) {
    m_cells.append(Row(m_cols));
}

void FlexGridModel::checkRow(int row, int first) const {
    if (row < first || row >= gridRows()) {
        outOfRange("row", row);
    }
}

void FlexGridModel::checkCol(int col) const {
    if (col < 0 || col >= m_cols) {
        outOfRange("column", col);
    }
}

const FlexGridModel::Cell& FlexGridModel::cell(int row, int col) const {
    checkRow(row, 0);
    checkCol(col);
    return m_cells[row][col];
}

void FlexGridModel::setGridRows(int rows) {
    rows = std::max(rows, 1);
    const int old = gridRows();
    if (rows > old) {
        beginInsertRows({}, old - 1, rows - 2);
        for (int r = old; r < rows; ++r) {
            m_cells.append(Row(m_cols));
        }
        endInsertRows();
    } else if (rows < old) {
        beginRemoveRows({}, rows - 1, old - 2);
        m_cells.resize(rows);
        endRemoveRows();
    }
}

void FlexGridModel::setGridCols(int cols) {
    cols = std::max(cols, 1);
    const int old = m_cols;
    const int shown = static_cast<int>(m_shown.size());
    // Columns come and go at the end; of those that go, only the shown ones are in the model.
    const int going = static_cast<int>(
        std::count_if(m_shown.begin(), m_shown.end(), [cols](int c) { return c >= cols; }));
    if (cols > old) {
        beginInsertColumns({}, shown, shown + cols - old - 1);
    } else if (cols < old && going > 0) {
        beginRemoveColumns({}, shown - going, shown - 1);
    } else if (cols == old) {
        return;
    }
    m_cols = cols;
    m_hidden.resize(static_cast<std::size_t>(cols), false);
    updateShown();
    for (Row& row : m_cells) {
        row.resize(cols);
    }
    if (cols > old) {
        endInsertColumns();
    } else if (going > 0) {
        endRemoveColumns();
    }
}

void FlexGridModel::updateShown() {
    m_shown.clear();
    for (int c = 1; c < m_cols; ++c) {
        if (!m_hidden[static_cast<std::size_t>(c)]) {
            m_shown.push_back(c);
        }
    }
}

void FlexGridModel::setGridColHidden(int col, bool hidden) {
    checkCol(col);
    if (col == 0) {
        outOfRange("column", col);
    }
    if (isGridColHidden(col) == hidden) {
        return;
    }
    if (hidden) {
        const int at = modelColumn(col);
        beginRemoveColumns({}, at, at);
    } else {
        const auto at = std::lower_bound(m_shown.begin(), m_shown.end(), col) - m_shown.begin();
        beginInsertColumns({}, static_cast<int>(at), static_cast<int>(at));
    }
    m_hidden[static_cast<std::size_t>(col)] = hidden;
    updateShown();
    if (hidden) {
        endRemoveColumns();
    } else {
        endInsertColumns();
    }
}

bool FlexGridModel::isGridColHidden(int col) const {
    checkCol(col);
    return m_hidden[static_cast<std::size_t>(col)];
}

int FlexGridModel::modelColumn(int col) const {
    const auto at = std::lower_bound(m_shown.begin(), m_shown.end(), col);
    return at != m_shown.end() && *at == col ? static_cast<int>(at - m_shown.begin()) : -1;
}

QModelIndex FlexGridModel::cellIndex(int row, int col) const {
    checkRow(row, 0);
    checkCol(col);
    const int column = modelColumn(col);
    return row > 0 && column >= 0 ? index(row - 1, column) : QModelIndex();
}

QString FlexGridModel::text(int row, int col) const {
    return cell(row, col).text;
}

void FlexGridModel::changeRows(int first, int last, const std::function<void()>& write) {
    checkRow(first, 1);
    checkRow(last, 1);
    const bool outer = !m_holding;
    m_holding = true;
    try {
        write();
    } catch (...) {
        m_holding = !outer;
        throw;
    }
    if (!outer) {
        return;
    }
    m_holding = false;
    Q_EMIT headerDataChanged(Qt::Vertical, first - 1, last - 1);
    if (columnCount() > 0) {
        Q_EMIT dataChanged(index(first - 1, 0), index(last - 1, columnCount() - 1));
    }
}

void FlexGridModel::cellChanged(int row, int col, const QList<int>& roles) {
    if (m_holding && row > 0) {
        return;
    }
    const int column = modelColumn(col);
    if (row == 0 && column >= 0) {
        Q_EMIT headerDataChanged(Qt::Horizontal, column, column);
    } else if (col == 0 && row > 0) {
        Q_EMIT headerDataChanged(Qt::Vertical, row - 1, row - 1);
    } else if (row > 0 && column >= 0) {
        const QModelIndex at = index(row - 1, column);
        Q_EMIT dataChanged(at, at, roles);
    }
}

void FlexGridModel::setText(int row, int col, const QString& text) {
    checkRow(row, 0);
    checkCol(col);
    Cell& target = m_cells[row][col];
    if (target.text == text) {
        return;
    }
    target.text = text;
    cellChanged(row, col, {Qt::DisplayRole, Qt::EditRole, Qt::TextAlignmentRole});
}

void FlexGridModel::setTexts(int row, int col, const QStringList& texts) {
    if (texts.isEmpty()) {
        return;
    }
    checkRow(row, 0);
    checkRow(row + static_cast<int>(texts.size()) - 1, 0);
    checkCol(col);
    int first = -1, last = -1;
    for (int i = 0; i < texts.size(); ++i) {
        QString& target = m_cells[row + i][col].text;
        if (target != texts[i]) {
            target = texts[i];
            first = first == -1 ? row + i : first;
            last = row + i;
        }
    }
    if (first == -1) {
        return;
    }
    const int column = modelColumn(col);
    if (first == 0) {
        cellChanged(0, col, {Qt::DisplayRole});
        first = 1;
    }
    if (first > last) {
        return;
    }
    if (col == 0) {
        Q_EMIT headerDataChanged(Qt::Vertical, first - 1, last - 1);
    } else if (column >= 0) {
        Q_EMIT dataChanged(index(first - 1, column), index(last - 1, column),
                           {Qt::DisplayRole, Qt::EditRole, Qt::TextAlignmentRole});
    }
}

std::optional<unsigned int> FlexGridModel::background(int row, int col) const {
    return cell(row, col).background;
}

void FlexGridModel::setBackground(int row1, int col1, int row2, int col2,
                                  std::optional<unsigned int> argb) {
    setColour(&Cell::background, kBackgroundRole, row1, col1, row2, col2, argb);
}

std::optional<unsigned int> FlexGridModel::foreground(int row, int col) const {
    return cell(row, col).foreground;
}

void FlexGridModel::setForeground(int row1, int col1, int row2, int col2,
                                  std::optional<unsigned int> argb) {
    setColour(&Cell::foreground, kForegroundRole, row1, col1, row2, col2, argb);
}

void FlexGridModel::setColour(std::optional<unsigned int> Cell::*colour, int role, int row1,
                              int col1, int row2, int col2, std::optional<unsigned int> argb) {
    if (row1 > row2) {
        std::swap(row1, row2);
    }
    if (col1 > col2) {
        std::swap(col1, col2);
    }
    checkRow(row1, 0);
    checkRow(row2, 0);
    checkCol(col1);
    checkCol(col2);
    for (int r = row1; r <= row2; ++r) {
        for (int c = col1; c <= col2; ++c) {
            m_cells[r][c].*colour = argb;
        }
    }
    // Only the block's part inside the item model has colour data to report.
    const int top = m_holding ? row2 + 1 : std::max(row1, 1);
    const auto left = std::lower_bound(m_shown.begin(), m_shown.end(), col1) - m_shown.begin();
    const auto right = std::upper_bound(m_shown.begin(), m_shown.end(), col2) - m_shown.begin();
    if (top <= row2 && left < right) {
        Q_EMIT dataChanged(index(top - 1, static_cast<int>(left)),
                           index(row2 - 1, static_cast<int>(right) - 1), {role});
    }
}

void FlexGridModel::insertGridRow(int row, const QStringList& texts) {
    if (row < 1 || row > gridRows()) {
        outOfRange("row", row);
    }
    Row cells(m_cols);
    for (int c = 0; c < m_cols && c < texts.size(); ++c) {
        cells[c].text = texts[c];
    }
    beginInsertRows({}, row - 1, row - 1);
    m_cells.insert(row, std::move(cells));
    endInsertRows();
}

void FlexGridModel::removeGridRow(int row) {
    checkRow(row, 1);
    beginRemoveRows({}, row - 1, row - 1);
    m_cells.removeAt(row);
    endRemoveRows();
}

void FlexGridModel::moveGridRow(int from, int to) {
    checkRow(from, 1);
    checkRow(to, 1);
    if (from == to) {
        return;
    }
    // The destination of beginMoveRows is the row before which the moved row lands, counted
    // before the move.
    const int destination = to > from ? to : to - 1;
    beginMoveRows({}, from - 1, from - 1, {}, destination);
    m_cells.move(from, to);
    endMoveRows();
}

std::vector<int> FlexGridModel::moveGridRows(const QList<std::pair<int, int>>& moves) {
    for (const auto& [from, to] : moves) {
        checkRow(from, 1);
        checkRow(to, 1);
    }
    Q_EMIT layoutAboutToBeChanged();
    // order[p]: the grid row, counted before the moves, that ends at position p.
    std::vector<int> order(static_cast<std::size_t>(gridRows()));
    std::iota(order.begin(), order.end(), 0);
    for (const auto& [from, to] : moves) {
        m_cells.move(from, to);
        // Only the rows between `from` and `to` shift, as in the cells: a short move costs
        // little however many rows there are.
        if (from < to) {
            std::rotate(order.begin() + from, order.begin() + from + 1, order.begin() + to + 1);
        } else if (to < from) {
            std::rotate(order.begin() + to, order.begin() + from, order.begin() + from + 1);
        }
    }
    std::vector<int> position(order.size());
    for (std::size_t p = 0; p < order.size(); ++p) {
        position[static_cast<std::size_t>(order[p])] = static_cast<int>(p);
    }
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& i : before) {
        after.append(index(position[static_cast<std::size_t>(i.row() + 1)] - 1, i.column()));
    }
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged();
    return position;
}

int FlexGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : gridRows() - 1;
}

int FlexGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_shown.size());
}

QVariant FlexGridModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const Cell& target = m_cells[index.row() + 1][gridColumn(index.column())];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return target.text;
        case Qt::TextAlignmentRole: {
            // General alignment: numbers to the right, everything else to the left.
            bool number = false;
            target.text.toDouble(&number);
            return static_cast<int>(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
        }
        case kBackgroundRole:
            return target.background ? QVariant(*target.background) : QVariant();
        case kForegroundRole:
            return target.foreground ? QVariant(*target.foreground) : QVariant();
        default:
            return {};
    }
}

bool FlexGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole ||
        !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return false;
    }
    setText(index.row() + 1, gridColumn(index.column()), value.toString());
    return true;
}

void FlexGridModel::setRowNote(int row, const QString& note) {
    checkRow(row, 1);
    QString& target = m_cells[row][0].note;
    if (target != note) {
        target = note;
        Q_EMIT headerDataChanged(Qt::Vertical, row - 1, row - 1);
    }
}

QString FlexGridModel::rowNote(int row) const {
    checkRow(row, 1);
    return m_cells[row][0].note;
}

void FlexGridModel::setCellNote(int row, int col, const QString& note) {
    checkRow(row, 1);
    checkCol(col);
    if (col == 0) {
        throw std::out_of_range("FlexGridModel: column 0 holds the row's note");
    }
    QString& target = m_cells[row][col].note;
    if (target != note) {
        target = note;
        cellChanged(row, col, {});
    }
}

QString FlexGridModel::cellNote(int row, int col) const {
    checkRow(row, 1);
    checkCol(col);
    return col == 0 ? QString() : m_cells[row][col].note;
}

QVariant FlexGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    const bool noteRole =
        role == kRowNoteRole || role == Qt::ToolTipRole || role == Qt::AccessibleDescriptionRole;
    if (orientation == Qt::Vertical && noteRole && section >= 0 && section + 1 < gridRows()) {
        const QString& note = m_cells[section + 1][0].note;
        return note.isEmpty() ? QVariant() : QVariant(note);
    }
    if (role != Qt::DisplayRole || section < 0) {
        return {};
    }
    if (orientation == Qt::Horizontal) {
        return section < columnCount() ? QVariant(m_cells[0][gridColumn(section)].text)
                                       : QVariant();
    }
    return section + 1 < gridRows() ? QVariant(m_cells[section + 1][0].text) : QVariant();
}

Qt::ItemFlags FlexGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

}  // namespace controls
