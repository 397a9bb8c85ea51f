// SPDX-License-Identifier: MIT
#include "controls/flex_grid.h"

#include <QColor>
#include <QComboBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QStyledItemDelegate>
#include <QTimer>

#include <algorithm>
#include <set>
#include <vector>

namespace controls {

namespace {

constexpr double kTwipsPerInch = 1440.0;
// The mark of a row with a note: a red corner of its heading.
constexpr QColor kRowNoteMark = QColor(210, 0, 0);

// The grid's column headings are never highlighted, so never drawn in bold; Qt would still
// measure each of them in bold, and for Japanese text that opens a bold font file of its own
// (milliseconds of the window's first paint) for nothing. They are measured in the font they
// are drawn in. (The row numbers keep Qt's bold measure: the digits' bold face is cheap, and
// their column's width stays as it was.)
class PlainHeader : public QHeaderView {
  public:
    PlainHeader(Qt::Orientation orientation, QWidget* parent) : QHeaderView(orientation, parent) {
        setSectionsClickable(true);
        setHighlightSections(false);
    }

  protected:
    QSize sectionSizeFromContents(int logicalIndex) const override {
        const QAbstractItemModel* source = model();
        if (const QVariant hint = source->headerData(logicalIndex, orientation(), Qt::SizeHintRole);
            hint.isValid()) {
            return hint.toSize();
        }
        ensurePolished();
        QStyleOptionHeader option;
        initStyleOption(&option);
        option.section = logicalIndex;
        const QVariant font = source->headerData(logicalIndex, orientation(), Qt::FontRole);
        option.fontMetrics =
            QFontMetrics(font.canConvert<QFont>() ? font.value<QFont>() : this->font());
        option.text = source->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString();
        const QVariant decoration =
            source->headerData(logicalIndex, orientation(), Qt::DecorationRole);
        option.icon = decoration.value<QIcon>();
        if (option.icon.isNull()) {
            option.icon = decoration.value<QPixmap>();
        }
        return style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), this);
    }
};

// The row-number column: the heading of a row with a note carries a mark in its top left
// corner (the note itself is the heading's tooltip), without taking room of its own.
class RowHeader : public QHeaderView {
  public:
    explicit RowHeader(QWidget* parent) : QHeaderView(Qt::Vertical, parent) {
        setSectionsClickable(true);
        setHighlightSections(false);
    }

  protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
        QHeaderView::paintSection(painter, rect, logicalIndex);
        if (!model() || !model()
                             ->headerData(logicalIndex, Qt::Vertical, FlexGridModel::kRowNoteRole)
                             .isValid()) {
            return;
        }
        const int side = std::max(6, rect.height() / 2);
        const QPoint corner = rect.topLeft();
        painter->save();
        // The style may leave a clip of its own behind.
        painter->setClipRect(rect);
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(kRowNoteMark);
        painter->drawPolygon(
            QPolygon({corner, corner + QPoint(side, 0), corner + QPoint(0, side)}));
        painter->restore();
    }
};
constexpr int kEnter = 13;
constexpr int kBackspace = 8;

// The character code a key typed into an editor stands for, or 0 for keys that are not
// passed to the key handler.
int characterCode(const QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return kEnter;
        case Qt::Key_Backspace:
            return kBackspace;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Escape:
        case Qt::Key_Delete:  // some platforms give it the text "\x7f"; it is no typed text
            return 0;
        default:
            break;
    }
    const QString text = event->text();
    return text.isEmpty() ? 0 : text.at(0).unicode();
}

Qt::Key keyForCode(int code) {
    switch (code) {
        case kEnter:
            return Qt::Key_Return;
        case kBackspace:
            return Qt::Key_Backspace;
        default:
            return Qt::Key_unknown;
    }
}

}  // namespace

// Cell editors: a list for columns with a drop-down list, a line edit otherwise; passes every
// key typed into an editor through the grid's key handler first; paints cell backgrounds.
class FlexGridDelegate : public QStyledItemDelegate {
  public:
    explicit FlexGridDelegate(FlexGrid* grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        const QStringList items =
            m_grid->comboItems(m_grid->gridModel()->gridColumn(index.column()));
        if (items.isEmpty()) {
            return QStyledItemDelegate::createEditor(parent, option, index);
        }
        auto* combo = new QComboBox(parent);
        combo->addItems(items);
        // Picking an item ends the edit with that item.
        QObject::connect(combo, &QComboBox::activated, this, [this, combo] {
            auto* self = const_cast<FlexGridDelegate*>(this);
            Q_EMIT self->commitData(combo);
            Q_EMIT self->closeEditor(combo, QAbstractItemDelegate::NoHint);
        });
        // A list cell opens its list as soon as editing starts.
        QTimer::singleShot(0, combo, [combo] {
            if (combo->isVisible()) {
                combo->showPopup();
            }
        });
        return combo;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            combo->setCurrentIndex(combo->findText(index.data(Qt::EditRole).toString()));
            return;
        }
        QStyledItemDelegate::setEditorData(editor, index);
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            // Leaving the list without a pick keeps the cell as it was.
            if (combo->currentIndex() >= 0) {
                model->setData(index, combo->currentText(), Qt::EditRole);
            }
            return;
        }
        QStyledItemDelegate::setModelData(editor, model, index);
    }

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const QVariant background = index.data(FlexGridModel::kBackgroundRole);
        if (background.isValid()) {
            option->backgroundBrush = QColor::fromRgba(background.toUInt());
        }
        // A selected cell keeps the highlight's text colour, so it stays legible.
        const QVariant foreground = index.data(FlexGridModel::kForegroundRole);
        if (foreground.isValid()) {
            option->palette.setColor(QPalette::Text, QColor::fromRgba(foreground.toUInt()));
        }
    }

    bool eventFilter(QObject* object, QEvent* event) override {
        // A message box shown by the key handler takes the focus for a moment; the edit goes
        // on afterwards instead of ending as a focus loss would end it.
        if (event->type() == QEvent::FocusOut && m_inKeyHandler) {
            return false;
        }
        if (event->type() == QEvent::KeyPress && !m_replaying) {
            auto* keyEvent = static_cast<QKeyEvent*>(event);
            const int code = characterCode(keyEvent);
            if (code != 0) {
                int key = code;
                m_inKeyHandler = true;
                const bool pass = m_grid->filterEditorKey(key);
                m_inKeyHandler = false;
                if (auto* editor = qobject_cast<QWidget*>(object); editor && !editor->hasFocus()) {
                    editor->setFocus();
                }
                if (!pass) {
                    return true;
                }
                if (key != code) {
                    QKeyEvent replacement(QEvent::KeyPress, keyForCode(key), Qt::NoModifier,
                                          QString(QChar(key)));
                    m_replaying = true;
                    QCoreApplication::sendEvent(object, &replacement);
                    m_replaying = false;
                    return true;
                }
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

  private:
    FlexGrid* m_grid;
    bool m_replaying = false;
    bool m_inKeyHandler = false;
};

FlexGrid::FlexGrid(QWidget* parent)
    : QTableView(parent), m_model(new FlexGridModel(this)), m_delegate(new FlexGridDelegate(this)) {
    setHorizontalHeader(new PlainHeader(Qt::Horizontal, this));
    setVerticalHeader(new RowHeader(this));
    setModel(m_model);
    setItemDelegate(m_delegate);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    // Tab leaves the grid for the next control, as in the system's dialogs; the arrow keys
    // and Enter move between cells.
    setTabKeyNavigation(false);
    setWordWrap(false);
    // A column shown again gets back the width it was given; a new heading may need more.
    connect(m_model, &QAbstractItemModel::columnsInserted, this, [this] { applyWidths(); });
    // Only a heading can need a wider column: the row numbers change with every move of rows.
    connect(m_model, &QAbstractItemModel::headerDataChanged, this,
            [this](Qt::Orientation orientation) {
                if (orientation == Qt::Horizontal) {
                    applyWidths();
                }
            });
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
}

template <typename Change>
void FlexGrid::changeRows(Change change) {
    const int oldRow = currentRow();
    const int oldCol = currentCol();
    ++m_rowChange;
    try {
        change();
    } catch (...) {
        --m_rowChange;
        throw;
    }
    --m_rowChange;
    if (m_currentMovedInChange && m_rowChange == 0) {
        m_currentMovedInChange = false;
        Q_EMIT afterRowColChange(oldRow, oldCol, currentRow(), currentCol());
    }
}

void FlexGrid::setCols(int cols) {
    const int old = this->cols();
    changeRows([&] { m_model->setGridCols(cols); });
    for (int c = this->cols(); c < old; ++c) {
        m_comboLists.remove(c);
    }
}

void FlexGrid::addItem(const QString& text, int position) {
    const QStringList parts = text.split(QLatin1Char('\t'));
    changeRows([&] { m_model->insertGridRow(position < 0 ? rows() : position, parts); });
}

void FlexGrid::removeItem(int row) {
    changeRows([&] { m_model->removeGridRow(row); });
}

void FlexGrid::moveRow(int from, int to) {
    changeRows([&] { m_model->moveGridRow(from, to); });
}

void FlexGrid::moveRows(const QList<std::pair<int, int>>& moves) {
    if (moves.isEmpty()) {
        return;
    }
    // The selection is taken off and put back on the rows where they end: kept on, every
    // selected cell would be carried as a persistent index, at a cost that grows with the
    // square of their number.
    const QList<int> selected = selectedRows();
    const QSignalBlocker quiet(selectionModel());
    selectionModel()->clearSelection();
    changeRows([&] {
        const std::vector<int> position = m_model->moveGridRows(moves);
        QList<int> rows;
        rows.reserve(selected.size());
        for (int r : selected) {
            rows.append(position[static_cast<std::size_t>(r)]);
        }
        setSelectedRows(rows);
    });
}

void FlexGrid::setSelectedRows(QList<int> rows) {
    std::sort(rows.begin(), rows.end());
    QItemSelection selection;
    const int lastCol = m_model->columnCount() - 1;
    for (qsizetype i = 0; lastCol >= 0 && i < rows.size();) {
        qsizetype end = i + 1;
        while (end < rows.size() && rows[end] <= rows[end - 1] + 1) {
            ++end;
        }
        (void)m_model->text(rows[end - 1], 0);  // range check
        if (rows[end - 1] > 0) {
            selection.append(QItemSelectionRange(m_model->index(std::max(rows[i], 1) - 1, 0),
                                                 m_model->index(rows[end - 1] - 1, lastCol)));
        }
        i = end;
    }
    // Cleared first: a change from one selection to another compares every old range with
    // every new one, at a cost that grows with the square of their number.
    selectionModel()->clearSelection();
    selectionModel()->select(selection, QItemSelectionModel::Select);
}

QStringList FlexGrid::comboItems(int col) const {
    const QString list = m_comboLists.value(col);
    return list.isEmpty() ? QStringList() : list.split(QLatin1Char('|'));
}

int FlexGrid::toPixels(int twips) const {
    return qRound(twips * logicalDpiX() / kTwipsPerInch);
}

void FlexGrid::setColHidden(int col, bool hidden) {
    if (col == 0) {
        verticalHeader()->setVisible(!hidden);
    } else {
        m_model->setGridColHidden(col, hidden);
    }
}

bool FlexGrid::isColHidden(int col) const {
    return col == 0 ? verticalHeader()->isHidden() : m_model->isGridColHidden(col);
}

void FlexGrid::setColWidth(int col, int twips) {
    const int pixels = toPixels(twips);
    if (col == 0) {
        // The row numbers stay legible: the header grows when they need more room.
        verticalHeader()->setMinimumWidth(pixels);
    } else {
        (void)m_model->text(0, col);  // range check
        m_widths.insert(col, pixels);
        applyWidths();
    }
}

void FlexGrid::applyWidths() {
    for (auto it = m_widths.cbegin(); it != m_widths.cend(); ++it) {
        if (it.key() < cols()) {
            // Never narrower than the heading, so that it is read whole.
            if (const int column = m_model->modelColumn(it.key()); column >= 0) {
                setColumnWidth(column,
                               std::max(it.value(), horizontalHeader()->sectionSizeHint(column)));
            }
        }
    }
}

QList<int> FlexGrid::selectedRows() const {
    std::set<int> rows;
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        for (int r = range.top(); r <= range.bottom(); ++r) {
            rows.insert(r + 1);
        }
    }
    return QList<int>(rows.begin(), rows.end());
}

int FlexGrid::firstSelectedRow() const {
    const QList<int> rows = selectedRows();
    return rows.isEmpty() ? -1 : rows.front();
}

bool FlexGrid::isRowSelected(int row) const {
    (void)m_model->text(row, 0);  // range check
    return row > 0 && selectionModel()->isRowSelected(row - 1, {});
}

void FlexGrid::selectRow(int row, bool selected) {
    (void)m_model->text(row, 0);  // range check
    if (row == 0 || m_model->columnCount() == 0) {
        return;
    }
    const QItemSelection rowCells(m_model->index(row - 1, 0),
                                  m_model->index(row - 1, m_model->columnCount() - 1));
    selectionModel()->select(
        rowCells, selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
}

void FlexGrid::setCurrentCell(int row, int col) {
    (void)m_model->text(row, col);  // range check
    // A hidden column has no cell to stand on: the row's first shown one takes its place.
    QModelIndex target = m_model->cellIndex(row, std::max(col, 1));
    if (!target.isValid() && row > 0) {
        target = m_model->index(row - 1, 0);
    }
    if (target.isValid()) {
        selectionModel()->setCurrentIndex(target, QItemSelectionModel::NoUpdate);
    }
}

void FlexGrid::setCurrentRow(int row) {
    setCurrentCell(row, std::max(currentCol(), 1));
}

int FlexGrid::currentRow() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + 1 : -1;
}

int FlexGrid::currentCol() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? m_model->gridColumn(current.column()) : -1;
}

QSize FlexGrid::minimumSizeHint() const {
    const int frame = 2 * frameWidth();
    const int rowNumbers =
        verticalHeader()->isVisible()
            ? std::max(verticalHeader()->minimumWidth(), verticalHeader()->sizeHint().width())
            : 0;
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int rows = 3;
    return {frame + rowNumbers + horizontalHeader()->length() + scrollBar,
            frame + horizontalHeader()->sizeHint().height() +
                rows * verticalHeader()->defaultSectionSize() + scrollBar};
}

bool FlexGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    if (!m_editable && trigger != QAbstractItemView::NoEditTriggers) {
        return false;
    }
    // Known before the editor opens: a key that starts the edit is passed on to the new
    // editor, and through the key handler, while the base class opens it.
    const QPersistentModelIndex previous = m_editing;
    m_editing = index;
    const bool editing = QTableView::edit(index, trigger, event);
    if (!editing || state() != QAbstractItemView::EditingState) {
        m_editing = previous;
        return editing;
    }
    // F2, Enter and a double click open the editor with its text selected: typing replaces
    // it, an arrow key or End keeps it. A key that starts the edit replaces it at once.
    if (trigger != QAbstractItemView::AnyKeyPressed) {
        for (QLineEdit* line : viewport()->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly)) {
            if (line->hasFocus() || line->isVisible()) {
                line->selectAll();
            }
        }
    }
    return editing;
}

void FlexGrid::commitData(QWidget* editor) {
    m_committed = true;
    QTableView::commitData(editor);
}

void FlexGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    const bool committed = std::exchange(m_committed, false);
    const QPersistentModelIndex edited = std::exchange(m_editing, QPersistentModelIndex());
    // Tab and Backtab in an editor end the edit first, report it, then leave the grid as
    // they do outside an editor.
    const bool moveOn = hint == QAbstractItemDelegate::EditNextItem ||
                        hint == QAbstractItemDelegate::EditPreviousItem;
    QTableView::closeEditor(editor, moveOn ? QAbstractItemDelegate::NoHint : hint);
    if (committed && edited.isValid()) {
        Q_EMIT afterEdit(edited.row() + 1, m_model->gridColumn(edited.column()));
    }
    if (moveOn) {
        focusNextPrevChild(hint == QAbstractItemDelegate::EditNextItem);
    }
}

bool FlexGrid::filterEditorKey(int& key) {
    if (m_keyPressEdit && m_editing.isValid()) {
        m_keyPressEdit(m_editing.row() + 1, m_model->gridColumn(m_editing.column()), key);
    }
    return key != 0;
}

void FlexGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (m_rowChange > 0) {
        m_currentMovedInChange = true;
        return;
    }
    const auto row = [](const QModelIndex& i) { return i.isValid() ? i.row() + 1 : -1; };
    const auto col = [this](const QModelIndex& i) {
        return i.isValid() ? m_model->gridColumn(i.column()) : -1;
    };
    Q_EMIT afterRowColChange(row(previous), col(previous), row(current), col(current));
}

void FlexGrid::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            // What reaches the grid is Ctrl+Tab or Ctrl+Shift+Tab: it leaves too.
            focusNextPrevChild(event->key() == Qt::Key_Tab &&
                               !(event->modifiers() & Qt::ShiftModifier));
            event->accept();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (state() != QAbstractItemView::EditingState && currentIndex().isValid() &&
                edit(currentIndex(), QAbstractItemView::EditKeyPressed, event)) {
                event->accept();
                return;
            }
            break;
        default:
            break;
    }
    QTableView::keyPressEvent(event);
}

// The view moves the current cell before it changes the selection for a click or a drag;
// the move is reported after both, so that a handler sees the rows the user selected.
void FlexGrid::mousePressEvent(QMouseEvent* event) {
    changeRows([&] { QTableView::mousePressEvent(event); });
}

void FlexGrid::mouseMoveEvent(QMouseEvent* event) {
    changeRows([&] { QTableView::mouseMoveEvent(event); });
}

}  // namespace controls
