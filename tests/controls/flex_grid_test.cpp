#include "controls/flex_grid.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "controls/msg_box.h"
#include "modal.h"

using namespace Qt::Literals::StringLiterals;
using controls::FlexGrid;

namespace {

// Lets queued work (an editor committing on Enter, a list opening) run until pred holds.
template <typename Pred>
bool settles(Pred pred) {
    return QTest::qWaitFor(pred, 2000);
}

class FlexGridTest : public testing::Test {
  protected:
    void SetUp() override {
        grid.resize(640, 400);
        grid.setCols(6);
        grid.setTextMatrix(0, 1, u"フィールドID"_s);
        grid.setTextMatrix(0, 3, u"属性"_s);
        grid.setColComboList(3, u"文字|数字|日付|YESNO|メモ"_s);
        grid.setColComboList(5, u" "_s);
        for (int r = 1; r <= 6; ++r) {
            grid.addItem(QString::number(r) + u"\tid"_s + QString::number(r) + u"\t\t文字"_s);
        }
        grid.show();
        grid.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&grid));
        grid.setFocus();
    }

    QPoint cellCentre(int row, int col) const {
        return grid.visualRect(grid.gridModel()->index(row - 1, col - 1)).center();
    }

    void click(int row, int col, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, modifiers, cellCentre(row, col));
    }

    // Keys go where the focus is, as typing does: the grid or its open editor.
    static void type(const QString& text) {
        for (const QChar ch : text) {
            QTest::keyClick(QApplication::focusWidget(), ch.toLatin1());
        }
    }

    static void press(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }

    QComboBox* openList() const { return grid.findChild<QComboBox*>(); }

    FlexGrid grid;
};

}  // namespace

TEST_F(FlexGridTest, ClicksSelectRowsAsInAListBox) {
    click(2, 1);
    EXPECT_EQ(grid.selectedRows(), (QList<int>{2}));
    click(4, 2, Qt::ControlModifier);
    EXPECT_EQ(grid.selectedRows(), (QList<int>{2, 4}));
    click(2, 1, Qt::ControlModifier);
    EXPECT_EQ(grid.selectedRows(), (QList<int>{4}));
    // Shift extends from the row clicked last without it.
    click(4, 1);
    click(6, 1, Qt::ShiftModifier);
    EXPECT_EQ(grid.selectedRows(), (QList<int>{4, 5, 6}));
    EXPECT_EQ(grid.firstSelectedRow(), 4);
    click(1, 3);
    EXPECT_EQ(grid.selectedRows(), (QList<int>{1}));
    EXPECT_EQ(grid.currentRow(), 1);
    EXPECT_EQ(grid.currentCol(), 3);
}

TEST_F(FlexGridTest, CurrentCellAndSelectionAreSeparate) {
    EXPECT_EQ(grid.firstSelectedRow(), -1);
    grid.setCurrentCell(1, 1);
    QSignalSpy moves(&grid, &FlexGrid::afterRowColChange);

    grid.selectRow(5);
    grid.selectRow(3);
    EXPECT_EQ(grid.currentRow(), 1);
    EXPECT_EQ(moves.count(), 0);

    grid.setCurrentCell(2, 4);
    EXPECT_EQ(grid.selectedRows(), (QList<int>{3, 5}));
    grid.setCurrentRow(6);
    EXPECT_EQ(grid.currentCol(), 4);
    grid.selectRow(5, false);
    EXPECT_EQ(grid.selectedRows(), (QList<int>{3}));

    ASSERT_EQ(moves.count(), 2);
    EXPECT_EQ(moves[0], (QVariantList{1, 1, 2, 4}));
    EXPECT_EQ(moves[1], (QVariantList{2, 4, 6, 4}));
}

TEST_F(FlexGridTest, RowChangesReportTheCurrentCellOnceTheRowsAreSettled) {
    grid.setCurrentCell(6, 2);
    grid.selectRow(6);
    grid.setCellBackground(6, 1, 6, 5, QColor(192, 192, 255));
    QList<QVariantList> seen;
    QObject::connect(&grid, &FlexGrid::afterRowColChange, [&](int, int, int row, int col) {
        // A handler may read the rows as they now are.
        seen.append({row, col, grid.textMatrix(row, 1)});
    });

    grid.moveRow(6, 2);
    EXPECT_EQ(grid.textMatrix(2, 1), u"id6"_s);
    EXPECT_EQ(grid.selectedRows(), (QList<int>{2}));
    EXPECT_EQ(grid.cellBackground(2, 3), QColor(192, 192, 255));
    EXPECT_FALSE(grid.cellBackground(6, 3).isValid());

    grid.removeItem(2);  // the current row goes; the one above takes over
    ASSERT_EQ(seen.size(), 1);
    EXPECT_EQ(seen[0], (QVariantList{1, 2, u"id1"_s}));
    EXPECT_EQ(grid.rows(), 6);
    EXPECT_TRUE(grid.selectedRows().isEmpty());

    grid.addItem(u"\tnew"_s, 1);
    grid.addItem(u"\tlast"_s);
    EXPECT_EQ(grid.textMatrix(1, 1), u"new"_s);
    EXPECT_EQ(grid.textMatrix(grid.rows() - 1, 1), u"last"_s);
}

TEST_F(FlexGridTest, TypingEditsATextCellAndReportsTheCommit) {
    QSignalSpy edits(&grid, &FlexGrid::afterEdit);
    click(2, 2);
    type(u"ab"_s);
    press(Qt::Key_Return);
    EXPECT_TRUE(settles([&] { return grid.textMatrix(2, 2) == u"ab"_s; }));
    ASSERT_EQ(edits.count(), 1);
    EXPECT_EQ(edits[0], (QVariantList{2, 2}));

    // F2 and Enter open the editor on the current cell's text; Escape leaves it unchanged.
    press(Qt::Key_F2);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), u"ab"_s);
    press(Qt::Key_Escape);
    press(Qt::Key_Return);
    ASSERT_NE(qobject_cast<QLineEdit*>(QApplication::focusWidget()), nullptr);
    type(u"c"_s);
    press(Qt::Key_Return);
    EXPECT_TRUE(settles([&] { return grid.textMatrix(2, 2) == u"abc"_s; }));
    EXPECT_EQ(edits.count(), 2);
}

TEST_F(FlexGridTest, NothingIsEditedWhileEditingIsOff) {
    grid.setEditable(false);
    click(2, 2);
    type(u"x"_s);
    press(Qt::Key_F2);
    press(Qt::Key_Return);
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, cellCentre(2, 2));
    EXPECT_EQ(QApplication::focusWidget(), &grid);
    EXPECT_EQ(grid.textMatrix(2, 2), QString());
}

TEST_F(FlexGridTest, AListCellIsEditedByPickingAnItem) {
    QSignalSpy edits(&grid, &FlexGrid::afterEdit);
    click(3, 3);
    press(Qt::Key_F2);
    QComboBox* list = openList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->currentText(), u"文字"_s);
    ASSERT_TRUE(settles([&] { return list->view()->isVisible(); }));

    QTest::keyClick(list->view(), Qt::Key_Down);
    QTest::keyClick(list->view(), Qt::Key_Return);
    EXPECT_TRUE(settles([&] { return grid.textMatrix(3, 3) == u"数字"_s; }));
    EXPECT_EQ(edits.count(), 1);
    EXPECT_TRUE(settles([&] { return openList() == nullptr; }));

    // A list of one blank item writes the blank.
    click(3, 5);
    press(Qt::Key_Return);
    list = openList();
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(settles([&] { return list->view()->isVisible(); }));
    QTest::keyClick(list->view(), Qt::Key_Return);
    EXPECT_TRUE(settles([&] { return grid.textMatrix(3, 5) == u" "_s; }));
}

TEST_F(FlexGridTest, TheKeyHandlerSeesTypedKeysAndMayDiscardThem) {
    QList<QVariantList> seen;
    grid.setKeyPressEditHandler([&](int row, int col, int& key) {
        seen.append({row, col, key});
        const bool digit = key >= '0' && key <= '9';
        if (!digit && key != 13 && key != 8) {
            key = 0;
        }
    });
    click(4, 4);
    type(u"1a2"_s);
    press(Qt::Key_Backspace);
    type(u"5"_s);
    press(Qt::Key_Return);
    EXPECT_TRUE(settles([&] { return grid.textMatrix(4, 4) == u"15"_s; }));
    ASSERT_EQ(seen.size(), 6);
    EXPECT_EQ(seen[0], (QVariantList{4, 4, int('1')}));
    EXPECT_EQ(seen[1][2], int('a'));
    EXPECT_EQ(seen[3][2], 8);
    EXPECT_EQ(seen[5][2], 13);
}

TEST_F(FlexGridTest, TabMovesRightPastHiddenColumnsAndEndsAnEdit) {
    grid.setColHidden(3, true);
    QSignalSpy edits(&grid, &FlexGrid::afterEdit);
    QList<int> order;  // afterEdit before the move
    QObject::connect(&grid, &FlexGrid::afterEdit, [&] { order.append(1); });
    QObject::connect(&grid, &FlexGrid::afterRowColChange, [&] { order.append(2); });

    click(2, 2);
    order.clear();
    type(u"x"_s);
    press(Qt::Key_Tab);
    EXPECT_EQ(grid.textMatrix(2, 2), u"x"_s);
    EXPECT_EQ(grid.currentCol(), 4);
    EXPECT_EQ(order, (QList<int>{1, 2}));
    EXPECT_EQ(QApplication::focusWidget(), &grid);  // no editor opened on the next cell
    press(Qt::Key_Backtab);
    EXPECT_EQ(grid.currentCol(), 2);
    EXPECT_EQ(grid.selectedRows(), (QList<int>{2}));
}

TEST_F(FlexGridTest, ColumnWidthsAreInTwips) {
    ASSERT_EQ(grid.logicalDpiX(), 96);
    grid.setColWidth(1, 1200);
    grid.setColWidth(4, 795);
    EXPECT_EQ(grid.columnWidth(0), 80);
    EXPECT_EQ(grid.columnWidth(3), 53);
    EXPECT_EQ(grid.colWidth(4), 795);
    grid.setColHidden(0, true);
    EXPECT_TRUE(grid.isColHidden(0));
    EXPECT_FALSE(grid.isColHidden(1));
}

TEST_F(FlexGridTest, AClickReportsTheCurrentCellOnceTheSelectionFollowed) {
    QList<QList<int>> seen;
    QObject::connect(&grid, &FlexGrid::afterRowColChange,
                     [&](int, int, int, int) { seen.append(grid.selectedRows()); });
    click(2, 1);
    click(4, 2, Qt::ControlModifier);
    click(5, 1, Qt::ShiftModifier);
    ASSERT_EQ(seen.size(), 3);
    EXPECT_EQ(seen[0], (QList<int>{2}));
    EXPECT_EQ(seen[1], (QList<int>{2, 4}));
    EXPECT_EQ(seen[2], grid.selectedRows());
    EXPECT_TRUE(grid.isRowSelected(5));
}

TEST_F(FlexGridTest, TextColourIsPerCellAndPaintedUnlessSelected) {
    grid.setCellForeColor(2, 1, 2, 2, QColor(128, 128, 128));
    EXPECT_EQ(grid.cellForeColor(2, 2), QColor(128, 128, 128));
    EXPECT_FALSE(grid.cellForeColor(3, 3).isValid());
    grid.moveRow(2, 5);
    EXPECT_EQ(grid.cellForeColor(5, 1), QColor(128, 128, 128));
    EXPECT_FALSE(grid.cellForeColor(2, 1).isValid());

    // Painted: the grey text differs from the black of the same cell without it.
    grid.setTextMatrix(5, 1, u"██████"_s);
    grid.setTextMatrix(6, 1, u"██████"_s);
    const QImage shot = grid.viewport()->grab().toImage();
    const QPoint grey = cellCentre(5, 1) - QPoint(grid.columnWidth(0) / 2 - 8, 0);
    const QPoint black = cellCentre(6, 1) - QPoint(grid.columnWidth(0) / 2 - 8, 0);
    EXPECT_EQ(shot.pixelColor(grey), QColor(128, 128, 128));
    EXPECT_NE(shot.pixelColor(black), QColor(128, 128, 128));
    grid.setCellForeColor(5, 1, 5, 1, QColor());
    EXPECT_FALSE(grid.cellForeColor(5, 1).isValid());
}

TEST_F(FlexGridTest, DeleteAndArrowsInAnEditorAreNotTypedKeys) {
    QList<int> seen;
    grid.setKeyPressEditHandler([&](int, int, int& key) { seen.append(key); });
    click(4, 4);
    type(u"12"_s);
    press(Qt::Key_Left);
    press(Qt::Key_Delete);
    press(Qt::Key_Return);
    EXPECT_TRUE(settles([&] { return grid.textMatrix(4, 4) == u"1"_s; }));
    EXPECT_EQ(seen, (QList<int>{'1', '2', 13}));
}

TEST_F(FlexGridTest, ABatchOfMovesCarriesTheSelectionAndTheCurrentCell) {
    grid.setCurrentCell(5, 2);
    for (int r : {2, 3, 5}) {
        grid.selectRow(r);
    }
    grid.moveRows({{2, 1}, {3, 2}, {5, 4}});
    QStringList ids;
    for (int r = 1; r < grid.rows(); ++r) {
        ids << grid.textMatrix(r, 1);
    }
    EXPECT_EQ(ids, (QStringList{u"id2"_s, u"id3"_s, u"id1"_s, u"id5"_s, u"id4"_s, u"id6"_s}));
    EXPECT_EQ(grid.selectedRows(), (QList<int>{1, 2, 4}));
    EXPECT_EQ(grid.currentRow(), 4);
    EXPECT_EQ(grid.currentCol(), 2);
}

TEST_F(FlexGridTest, AMessageFromTheKeyHandlerLeavesTheEditOpen) {
    QList<int> edits;
    QObject::connect(&grid, &FlexGrid::afterEdit, [&](int, int col) { edits.append(col); });
    grid.setKeyPressEditHandler([&](int, int, int& key) {
        if (key == 'a') {
            rvtest::whenModal([](QWidget* box) { box->close(); });
            controls::MsgBox(u"数字を入力してください。"_s, controls::vbExclamation, u"ravLIN"_s);
            key = 0;
        }
    });
    click(4, 4);
    type(u"1a"_s);
    auto* editor = grid.findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(edits.isEmpty()) << "the box did not end the edit";
    EXPECT_EQ(editor->text(), u"1"_s);
    QTest::keyClick(editor, '2');
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_TRUE(settles([&] { return grid.textMatrix(4, 4) == u"12"_s; }));
    EXPECT_EQ(edits, (QList<int>{4}));
}
