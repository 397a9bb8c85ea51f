// SPDX-License-Identifier: MIT
#include "controls/flex_grid.h"

#include <QAbstractItemModelTester>
#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "controls/msg_box.h"
#include "modal.h"

using namespace Qt::Literals::StringLiterals;
using controls::FlexGrid;
using controls::FlexGridModel;

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

// The texts of grid column col, rows 1 to the end.
QStringList column(const FlexGridModel& model, int col) {
    QStringList texts;
    for (int r = 1; r < model.gridRows(); ++r) {
        texts.append(model.text(r, col));
    }
    return texts;
}

void fill(FlexGridModel& model, int rows) {
    for (int r = 0; r < rows; ++r) {
        model.insertGridRow(model.gridRows(), {QString(), QString::number(r + 1)});
    }
}

// Every model test runs under Qt's model tester, which stops at the first inconsistent
// report to the views.
class ModelTest : public testing::Test {
  protected:
    void SetUp() override { model.setGridCols(3); }
    FlexGridModel model;
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};
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

TEST_F(FlexGridTest, RowChangesReportTheCurrentCellOnceTheRowsAreSettledNotesGoAlong) {
    FlexGridModel& cells = *grid.gridModel();
    cells.setRowNote(6, u"6行目"_s);
    grid.setCurrentCell(6, 2);
    grid.selectRow(6);
    QList<QVariantList> seen;
    QObject::connect(&grid, &FlexGrid::afterRowColChange, [&](int, int, int row, int col) {
        seen.append({row, col, grid.textMatrix(row, 1)});  // the rows as they now are
    });

    grid.moveRow(6, 2);
    EXPECT_EQ(grid.selectedRows(), (QList<int>{2}));
    // A row's note goes along as its heading's tooltip.
    EXPECT_EQ(cells.headerData(1, Qt::Vertical, Qt::ToolTipRole).toString(), u"6行目"_s);

    grid.removeItem(2);  // the current row goes; the one above takes over
    EXPECT_EQ(seen, (QList<QVariantList>{{1, 2, u"id1"_s}}));
    EXPECT_TRUE(grid.selectedRows().isEmpty());

    grid.addItem(u"\tnew"_s, 1);
    grid.addItem(u"\tlast"_s);
    EXPECT_EQ(grid.textMatrix(1, 1) + grid.textMatrix(2, 1) + grid.textMatrix(7, 1),
              u"newid1last"_s);
}

TEST_F(FlexGridTest, EditKeysOpenATextCellWithItsTextSelectedAndAListCellByPicking) {
    QSignalSpy edits(&grid, &FlexGrid::afterEdit);
    grid.setTextMatrix(2, 2, u"ab"_s);
    click(2, 2);
    // F2 and Enter open the editor with the cell's text selected: typing replaces it, End
    // keeps it; Escape leaves it unchanged and reports no edit.
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
    EXPECT_EQ(edits.count(), 2);

    // A list cell is edited by picking an item.
    click(3, 3);
    press(Qt::Key_F2);
    QComboBox* list = shownList();
    ASSERT_NE(list, nullptr);
    QTest::keyClick(list->view(), Qt::Key_Down);
    QTest::keyClick(list->view(), Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return grid.textMatrix(3, 3) == u"数字"_s; }));
    EXPECT_EQ(edits.count(), 3);
    EXPECT_TRUE(QTest::qWaitFor([&] { return grid.findChild<QComboBox*>() == nullptr; }));

    // A list of one blank item writes the blank.
    click(3, 5);
    press(Qt::Key_Return);
    list = shownList();
    ASSERT_NE(list, nullptr);
    QTest::keyClick(list->view(), Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return grid.textMatrix(3, 5) == u" "_s; }));

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

// Typed keys pass the key handler, which may discard them and show a box. A hidden column
// keeps its cells; the keys and a screen reader pass over it, and moves and edits are told
// in the grid's own columns.
TEST_F(FlexGridTest, TheKeyHandlerSeesTypedKeysOnlyAndKeysPassOverAHiddenColumn) {
    grid.setTextMatrix(0, 4, u"サイズ"_s);
    grid.setColHidden(3, true);
    // A screen reader sees the shown columns only, each under its own heading.
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&grid);
    ASSERT_NE(table->tableInterface(), nullptr);
    EXPECT_EQ(table->tableInterface()->columnCount(), 4);
    EXPECT_EQ(table->tableInterface()->columnDescription(2), u"サイズ"_s);
    QList<QVariantList> seen;  // moves, the keys the handler sees, and edits
    QObject::connect(&grid, &FlexGrid::afterRowColChange, [&](int, int, int row, int col) {
        seen.append({row, col});
    });
    QObject::connect(&grid, &FlexGrid::afterEdit, [&](int row, int col) {
        seen.append({u"edit"_s, row, col});
    });
    grid.setKeyPressEditHandler([&](int, int, int& key) {
        seen.append(QVariantList{key});
        if (key == 'a') {  // a box takes the focus for a moment: the edit goes on
            rvtest::whenModal([](QWidget* box) { box->close(); });
            controls::MsgBox(u"数字を入力してください。"_s, controls::vbExclamation, u"ravLIN"_s);
        }
        if ((key < '0' || key > '9') && key != 13 && key != 8) {
            key = 0;
        }
    });
    click(4, 2);
    press(Qt::Key_Right);
    type(u"1a"_s);
    auto* editor = grid.findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(seen.size(), 4) << "the box did not end the edit";
    // Neither arrows nor Delete are typed keys.
    for (int key : {int('2'), int(Qt::Key_Backspace), int('5'), int('3'), int(Qt::Key_Left),
                    int(Qt::Key_Delete), int(Qt::Key_Return)}) {
        key < 128 ? QTest::keyClick(editor, char(key)) : QTest::keyClick(editor, Qt::Key(key));
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return grid.textMatrix(4, 4) == u"15"_s; }));
    EXPECT_EQ(
        seen,
        (QList<QVariantList>{
            {4, 2}, {4, 4}, {'1'}, {'a'}, {'2'}, {8}, {'5'}, {'3'}, {13}, {u"edit"_s, 4, 4}}));
    EXPECT_EQ(grid.textMatrix(4, 3), u"文字"_s);
}

// The model alone ------------------------------------------------------------

TEST_F(ModelTest, ChangesOfShapePassTheModelTester) {
    model.setGridCols(10);
    model.setGridRows(4);
    fill(model, 3);
    model.moveGridRows({{2, 1}, {4, 3}, {1, 6}});
    model.removeGridRow(3);
    model.setGridColHidden(3, true);
    model.setBackground(1, 1, 3, 8, 0xFFC0C0FF);
    model.setGridColHidden(3, false);
    model.setGridCols(4);
    model.setGridRows(1);
    model.setGridCols(1);
    model.setGridRows(3);
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.columnCount(), 0);
}

TEST_F(ModelTest, MovedRowsTakeTheirCellsAndColoursAlong) {
    fill(model, 5);
    model.setBackground(2, 1, 2, 1, 0xFF102030);
    QSignalSpy moves(&model, &QAbstractItemModel::rowsMoved);

    model.moveGridRow(2, 4);  // down: 3 and 4 close up
    EXPECT_EQ(column(model, 1), (QStringList{u"1"_s, u"3"_s, u"4"_s, u"2"_s, u"5"_s}));
    EXPECT_EQ(model.background(2, 1), std::nullopt);

    model.setForeground(5, 1, 5, 2, 0xFF808080);
    model.moveGridRow(5, 1);  // up
    EXPECT_EQ(column(model, 1), (QStringList{u"5"_s, u"1"_s, u"3"_s, u"4"_s, u"2"_s}));
    EXPECT_EQ(model.data(model.index(4, 0), FlexGridModel::kBackgroundRole).toUInt(), 0xFF102030u);
    EXPECT_EQ(model.foreground(1, 2), 0xFF808080u);
    // Views and selections follow the rows through these signals (model rows; the destination
    // is counted before the move).
    ASSERT_EQ(moves.count(), 2);
    EXPECT_EQ(moves[0], (QVariantList{QModelIndex(), 1, 1, QModelIndex(), 4}));
    EXPECT_EQ(moves[1], (QVariantList{QModelIndex(), 4, 4, QModelIndex(), 0}));
}

TEST_F(ModelTest, CoordinatesOutsideTheGridAreRefusedAndInsertsKeepToIt) {
    fill(model, 2);
    for (const auto& outside : std::vector<std::function<void()>>{
             [&] { (void)model.text(3, 0); }, [&] { model.setText(0, 3, u"x"_s); },
             [&] { model.removeGridRow(0); },  // the heading row stays
             [&] { model.insertGridRow(4, {}); }, [&] { model.moveGridRow(1, 3); },
             [&] {
                 model.moveGridRows({{1, 2}, {0, 1}});
             }}) {  // a batch moves all or none
        EXPECT_THROW(outside(), std::out_of_range);
    }
    // A row inserted takes its cells from column 0 on, as many as there are columns.
    model.insertGridRow(1, {u"n"_s, u"255"_s, u"文字"_s, u"surplus"_s});
    EXPECT_EQ(model.text(1, 0), u"n"_s);
    EXPECT_EQ(column(model, 1), (QStringList{u"255"_s, u"1"_s, u"2"_s}));
    EXPECT_EQ(column(model, 2), (QStringList{u"文字"_s, QString(), QString()}));
}

// The heading row and the number column are the headers. Many cells written at once reach
// the views as one change of the rows they touch.
TEST_F(ModelTest, CellsAndHeadersReportTheirChangesOnce) {
    fill(model, 4);
    QSignalSpy headers(&model, &QAbstractItemModel::headerDataChanged);
    QSignalSpy cells(&model, &QAbstractItemModel::dataChanged);

    model.setTexts(1, 0, {u"1"_s, u"x"_s, u"y"_s, u"4"_s});
    model.setTexts(1, 1, {u"1"_s, u"2"_s});  // as they are: nothing to report
    model.changeRows(2, 3, [&] {
        model.setText(2, 2, u"a"_s);
        model.setBackground(3, 1, 3, 2, 0xFF000000u);
    });
    model.setText(0, 2, u"項目名"_s);
    model.setText(4, 0, u"n"_s);
    model.setText(1, 1, u"ID"_s);

    EXPECT_EQ(column(model, 0), (QStringList{u"1"_s, u"x"_s, u"y"_s, u"n"_s}));
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), u"項目名"_s);
    EXPECT_EQ(model.headerData(3, Qt::Vertical).toString(), u"n"_s);
    const auto header = [](Qt::Orientation o, int first, int last) {
        return QVariantList{QVariant::fromValue(o), first, last};
    };
    EXPECT_EQ(headers,
              (QList<QVariantList>{header(Qt::Vertical, 0, 3), header(Qt::Vertical, 1, 2),
                                   header(Qt::Horizontal, 1, 1), header(Qt::Vertical, 3, 3)}));
    ASSERT_EQ(cells.count(), 2);
    EXPECT_EQ(cells[0][0].toModelIndex(), model.index(1, 0));
    EXPECT_EQ(cells[0][1].toModelIndex(), model.index(2, 1));
    EXPECT_EQ(cells[1][0].toModelIndex(), model.index(0, 0));
}
