// SPDX-License-Identifier: MIT
#include "controls/flex_grid_model.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

using namespace Qt::Literals::StringLiterals;
using controls::FlexGridModel;

namespace {

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

class ModelTest : public testing::Test {
  protected:
    void SetUp() override { model.setGridCols(3); }
    FlexGridModel model;
};

}  // namespace

TEST(FlexGridModel, PassesTheModelTesterThroughEveryChangeOfShape) {
    FlexGridModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);

    model.setGridCols(10);
    model.setGridRows(4);
    fill(model, 3);
    model.insertGridRow(1, {u"x"_s, u"first"_s});
    model.moveGridRow(6, 2);
    model.moveGridRows({{2, 1}, {4, 3}, {1, 6}});
    model.removeGridRow(3);
    model.setText(2, 3, u"文字"_s);
    model.setText(0, 1, u"フィールドID"_s);
    model.setGridColHidden(3, true);
    model.setBackground(1, 1, 3, 8, 0xFFC0C0FF);
    model.setForeground(0, 0, 3, 8, 0xFF808080);
    model.setGridColHidden(3, false);
    model.setGridCols(4);
    model.setGridRows(1);
    model.setGridCols(1);
    model.setGridRows(3);
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.columnCount(), 0);
}

TEST_F(ModelTest, HeadingRowAndNumberColumnAreTheHeaders) {
    model.setGridRows(3);
    QSignalSpy headers(&model, &QAbstractItemModel::headerDataChanged);
    QSignalSpy cells(&model, &QAbstractItemModel::dataChanged);

    model.setText(0, 2, u"項目名"_s);
    model.setText(2, 0, u"2"_s);
    model.setText(1, 1, u"ID"_s);

    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), u"項目名"_s);
    EXPECT_EQ(model.headerData(1, Qt::Vertical).toString(), u"2"_s);
    ASSERT_EQ(headers.count(), 2);
    EXPECT_EQ(headers[0], (QVariantList{QVariant::fromValue(Qt::Horizontal), 1, 1}));
    EXPECT_EQ(headers[1], (QVariantList{QVariant::fromValue(Qt::Vertical), 1, 1}));
    ASSERT_EQ(cells.count(), 1);
    EXPECT_EQ(cells[0][0].toModelIndex(), model.index(0, 0));
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

TEST_F(ModelTest, CoordinatesOutsideTheGridAreRefused) {
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
    EXPECT_EQ(column(model, 1), (QStringList{u"1"_s, u"2"_s}));
}

TEST_F(ModelTest, InsertTakesCellsFromColumnZero) {
    model.insertGridRow(1, {u"0"_s, u"a"_s});
    model.insertGridRow(1, {u"n"_s, u"255"_s, u"文字"_s, u"surplus"_s});
    EXPECT_EQ(model.text(1, 0), u"n"_s);
    EXPECT_EQ(column(model, 1), (QStringList{u"255"_s, u"a"_s}));
    EXPECT_EQ(column(model, 2), (QStringList{u"文字"_s, QString()}));
}

// Many cells written at once reach the views as one change of the rows they touch.
TEST_F(ModelTest, ColumnsAndRowsWrittenWholeAreReportedOnce) {
    fill(model, 4);
    QSignalSpy headers(&model, &QAbstractItemModel::headerDataChanged);
    QSignalSpy cells(&model, &QAbstractItemModel::dataChanged);

    model.setTexts(1, 0, {u"1"_s, u"x"_s, u"y"_s, u"4"_s});
    model.setTexts(1, 1, {u"1"_s, u"2"_s});  // as they are: nothing to report
    model.changeRows(2, 3, [&] {
        model.setText(2, 2, u"a"_s);
        model.setBackground(3, 1, 3, 2, 0xFF000000u);
    });

    EXPECT_EQ(column(model, 0), (QStringList{u"1"_s, u"x"_s, u"y"_s, u"4"_s}));
    EXPECT_EQ(model.text(2, 2), u"a"_s);
    EXPECT_EQ(model.background(3, 2), 0xFF000000u);
    ASSERT_EQ(headers.count(), 2);
    EXPECT_EQ(headers[0], (QVariantList{QVariant::fromValue(Qt::Vertical), 0, 3}));
    EXPECT_EQ(headers[1], (QVariantList{QVariant::fromValue(Qt::Vertical), 1, 2}));
    ASSERT_EQ(cells.count(), 1);
    EXPECT_EQ(cells[0][0].toModelIndex(), model.index(1, 0));
    EXPECT_EQ(cells[0][1].toModelIndex(), model.index(2, 1));
}
