// SPDX-License-Identifier: MIT
#include "controls/flex_grid.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "controls/msg_box.h"
#include "modal.h"

using namespace Qt::Literals::StringLiterals;
using controls::FlexGrid;

namespace {

class FlexGridTest : public testing::Test {
  protected:
    void SetUp() override {
        grid.resize(640, 400);
        grid.setCols(6);
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
        return grid.visualRect(grid.gridModel()->cellIndex(row, col)).center();
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

    // The cell's drop-down list once it shows, or nullptr.
    QComboBox* shownList() const {
        auto* list = grid.findChild<QComboBox*>();
        return list && QTest::qWaitFor([&] { return list->view()->isVisible(); }) ? list : nullptr;
    }

    FlexGrid grid;
};

}  // namespace

TEST_F(FlexGridTest, ClicksSelectRowsAsInAListBoxBeforeTheMoveIsReported) {
    QList<QList<int>> seen;  // the selection as each move report finds it
    QObject::connect(&grid, &FlexGrid::afterRowColChange,
                     [&] { seen.append(grid.selectedRows()); });
    click(2, 1);
    click(4, 2, Qt::ControlModifier);
    EXPECT_EQ(seen, (QList<QList<int>>{{2}, {2, 4}}));
    click(2, 1, Qt::ControlModifier);
    EXPECT_EQ(grid.selectedRows(), (QList<int>{4}));
    // Shift extends from the row clicked last without it.
    click(4, 1);
    click(6, 1, Qt::ShiftModifier);
    EXPECT_EQ(grid.selectedRows(), (QList<int>{4, 5, 6}));
    EXPECT_EQ(seen.last(), grid.selectedRows());
}

TEST_F(FlexGridTest, RowChangesReportTheCurrentCellOnceTheRowsAreSettled) {
    grid.setCurrentCell(6, 2);
    grid.selectRow(6);
    QList<QVariantList> seen;
    QObject::connect(&grid, &FlexGrid::afterRowColChange, [&](int, int, int row, int col) {
        seen.append({row, col, grid.textMatrix(row, 1)});  // the rows as they now are
    });

    grid.moveRow(6, 2);
    EXPECT_EQ(grid.selectedRows(), (QList<int>{2}));

    grid.removeItem(2);  // the current row goes; the one above takes over
    EXPECT_EQ(seen, (QList<QVariantList>{{1, 2, u"id1"_s}}));
    EXPECT_TRUE(grid.selectedRows().isEmpty());

    grid.addItem(u"\tnew"_s, 1);
    grid.addItem(u"\tlast"_s);
    EXPECT_EQ(grid.textMatrix(1, 1) + grid.textMatrix(2, 1) + grid.textMatrix(7, 1),
              u"newid1last"_s);
}

TEST_F(FlexGridTest, TypingEditsATextCellWhileEditingIsOnAndReportsTheCommit) {
    QSignalSpy edits(&grid, &FlexGrid::afterEdit);
    click(2, 2);
    type(u"ab"_s);
    press(Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return grid.textMatrix(2, 2) == u"ab"_s; }));
    ASSERT_EQ(edits.count(), 1);
    EXPECT_EQ(edits[0], (QVariantList{2, 2}));

    // F2 and Enter open the editor with the cell's text selected: typing replaces it, End
    // keeps it; Escape leaves it unchanged.
    press(Qt::Key_F2);
    press(Qt::Key_Escape);
    for (const auto& [keep, result] : {std::pair{false, u"20"_s}, {true, u"2020"_s}}) {
        press(Qt::Key_Return);
        ASSERT_NE(qobject_cast<QLineEdit*>(QApplication::focusWidget()), nullptr);
        if (keep) {
            press(Qt::Key_End);
        }
        type(u"20"_s);
        press(Qt::Key_Return);
        EXPECT_TRUE(QTest::qWaitFor([&] { return grid.textMatrix(2, 2) == result; }));
    }
    EXPECT_EQ(edits.count(), 3);

    // Nothing is edited while editing is off.
    grid.setEditable(false);
    click(3, 2);
    type(u"x"_s);
    press(Qt::Key_F2);
    press(Qt::Key_Return);
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, cellCentre(3, 2));
    EXPECT_EQ(QApplication::focusWidget(), &grid);
    EXPECT_EQ(grid.textMatrix(3, 2), QString());
}

TEST_F(FlexGridTest, AListCellIsEditedByPickingAnItem) {
    QSignalSpy edits(&grid, &FlexGrid::afterEdit);
    click(3, 3);
    press(Qt::Key_F2);
    QComboBox* list = shownList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->currentText(), u"文字"_s);
    QTest::keyClick(list->view(), Qt::Key_Down);
    QTest::keyClick(list->view(), Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return grid.textMatrix(3, 3) == u"数字"_s; }));
    EXPECT_EQ(edits.count(), 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return grid.findChild<QComboBox*>() == nullptr; }));

    // A list of one blank item writes the blank.
    click(3, 5);
    press(Qt::Key_Return);
    list = shownList();
    ASSERT_NE(list, nullptr);
    QTest::keyClick(list->view(), Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return grid.textMatrix(3, 5) == u" "_s; }));
}

TEST_F(FlexGridTest, TheKeyHandlerSeesTypedKeysOnlyMayDiscardThemAndShowABox) {
    QList<int> seen;
    QList<QVariantList> edits;
    QObject::connect(&grid, &FlexGrid::afterEdit, [&](int row, int col) {
        edits.append({row, col});
    });
    grid.setKeyPressEditHandler([&](int, int, int& key) {
        seen.append(key);
        if (key == 'a') {  // a box takes the focus for a moment: the edit goes on
            rvtest::whenModal([](QWidget* box) { box->close(); });
            controls::MsgBox(u"数字を入力してください。"_s, controls::vbExclamation, u"ravLIN"_s);
        }
        if ((key < '0' || key > '9') && key != 13 && key != 8) {
            key = 0;
        }
    });
    click(4, 4);
    type(u"1a"_s);
    auto* editor = grid.findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(edits.isEmpty()) << "the box did not end the edit";
    // Neither arrows nor Delete are typed keys.
    for (int key : {int('2'), int(Qt::Key_Backspace), int('5'), int('3'), int(Qt::Key_Left),
                    int(Qt::Key_Delete), int(Qt::Key_Return)}) {
        key < 128 ? QTest::keyClick(editor, char(key)) : QTest::keyClick(editor, Qt::Key(key));
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return grid.textMatrix(4, 4) == u"15"_s; }));
    EXPECT_EQ(seen, (QList<int>{'1', 'a', '2', 8, '5', '3', 13}));
    EXPECT_EQ(edits, (QList<QVariantList>{{4, 4}}));
}

TEST_F(FlexGridTest, AHiddenColumnKeepsItsCellsButNoViewOrScreenReaderSeesIt) {
    grid.setTextMatrix(0, 3, u"属性"_s);
    grid.setTextMatrix(0, 4, u"サイズ"_s);
    grid.setColWidth(3, 1500);
    grid.setColHidden(3, true);
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&grid);
    ASSERT_NE(table->tableInterface(), nullptr);
    EXPECT_EQ(table->tableInterface()->columnCount(), 4);
    EXPECT_EQ(table->tableInterface()->columnDescription(2), u"サイズ"_s);
    EXPECT_EQ(grid.textMatrix(2, 3), u"文字"_s);

    // The keys pass over it; edits and moves are told in the grid's own columns.
    QList<QVariantList> seen;
    QObject::connect(&grid, &FlexGrid::afterRowColChange, [&](int, int, int row, int col) {
        seen.append({row, col});
    });
    QObject::connect(&grid, &FlexGrid::afterEdit, [&](int row, int col) {
        seen.append({u"edit"_s, row, col});
    });
    click(2, 2);
    press(Qt::Key_Right);
    type(u"9"_s);
    press(Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return grid.textMatrix(2, 4) == u"9"_s; }));
    EXPECT_EQ(seen, (QList<QVariantList>{{2, 2}, {2, 4}, {u"edit"_s, 2, 4}}));

    grid.setColHidden(3, false);
    EXPECT_EQ(table->tableInterface()->columnCount(), 5);
    EXPECT_EQ(grid.colWidth(3), 1500) << "the width it was given";
    EXPECT_EQ(grid.currentCol(), 4);
}

namespace {

// A row's note marks its heading in red and is the heading's tooltip; it moves with its row.
TEST_F(FlexGridTest, ARowNoteMarksItsHeadingAndIsItsTooltip) {
    controls::FlexGridModel& cells = *grid.gridModel();
    cells.setRowNote(2, u"2行目"_s);
    cells.moveGridRow(2, 4);
    const auto marked = [&](int row) {
        const QImage header = grid.verticalHeader()->grab().toImage();
        const int top = grid.verticalHeader()->sectionViewportPosition(row - 1);
        int red = 0;
        for (int y = top; y < top + grid.verticalHeader()->sectionSize(row - 1); ++y) {
            for (int x = 0; x < header.width(); ++x) {
                const QColor c = header.pixelColor(x, y);
                red += c.red() > 180 && c.green() < 60 && c.blue() < 60;
            }
        }
        return red > 10;
    };
    EXPECT_TRUE(marked(4));
    EXPECT_FALSE(marked(2));
    EXPECT_EQ(cells.headerData(3, Qt::Vertical, Qt::ToolTipRole).toString(), u"2行目"_s);
    cells.setRowNote(4, {});
    EXPECT_FALSE(marked(4));
    EXPECT_FALSE(cells.headerData(3, Qt::Vertical, Qt::ToolTipRole).isValid());
}

}  // namespace
