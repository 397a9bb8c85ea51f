// SPDX-License-Identifier: MIT
// The wizard's grid events and row commands: thin handlers that carry out what the grid
// rules say.
#include <QItemSelectionModel>
#include <QPushButton>
#include <QSet>

#include "browser/account_browse.h"
#include "browser/tree_loader.h"
#include "component/rv_makedb_form.h"
#include "controls/flex_grid.h"
#include "controls/keyed_tree.h"
#include "controls/msg_box.h"
#include "wizard/design_grid.h"
#include "wizard/grid_columns.h"
#include "wizard/grid_rules.h"
#include "wizard/row_commands.h"
#include "wizard/template_import.h"

namespace component {

namespace {

// A refusal, or the moves; the rows are renumbered either way.
void carryOut(controls::FlexGrid& fg1, const wizard::RowMoves& plan) {
    if (plan.refusal) {
        controls::tell(*plan.refusal);
    } else {
        fg1.moveRows(plan.moves);
    }
    wizard::renumberRows(*fg1.gridModel());
}

}  // namespace

void rv_makeDBForm::connectGridCommands() {
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
    connect(Command6, &QPushButton::clicked, this, [this] { Command6_Click(); });
    connect(Command7, &QPushButton::clicked, this, [this] { Command7_Click(); });
    connect(Command8, &QPushButton::clicked, this, [this] { Command8_Click(); });
    connect(fg1, &controls::FlexGrid::afterEdit, this,
            [this](int row, int col) { fg1_AfterEdit(row, col); });
    connect(fg1, &controls::FlexGrid::afterRowColChange, this,
            [this](int oldRow, int oldCol, int newRow, int newCol) {
                fg1_AfterRowColChange(oldRow, oldCol, newRow, newCol);
            });
    fg1->setKeyPressEditHandler(
        [this](int row, int col, int& key) { fg1_KeyPressEdit(row, col, key); });
    // A Ctrl+click on the current row changes the selection without moving the current
    // cell; the buttons follow the selection all the same.
    connect(fg1->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        enableRowCommands(wizard::rowCommandsFor(*fg1->gridModel(), fg1->selectedRows()) ==
                          wizard::RowCommands::kEnabled);
    });
}

// Up, remove and down follow the selection together.
void rv_makeDBForm::enableRowCommands(bool enabled) {
    Command3->setEnabled(enabled);
    Command5->setEnabled(enabled);
    Command6->setEnabled(enabled);
}

void rv_makeDBForm::Command3_Click() {
    recorded([this] { carryOut(*fg1, wizard::moveUp(*fg1->gridModel(), fg1->selectedRows())); });
}

void rv_makeDBForm::Command4_Click() {
    recorded([this] {
        // The chosen field nodes by number; the number of selected nodes counts folders too.
        const QList<controls::KeyedTree::Node*> nodes = SSTree1->selectedNodes();
        QSet<qint64> fieldNumbers;
        for (const controls::KeyedTree::Node* node : nodes) {
            const QString key = controls::KeyedTree::key(node);
            bool isNumber = false;
            const qint64 number = key.toLongLong(&isNumber);
            if (isNumber && browser::isFieldNode(*SSTree1, key)) {
                fieldNumbers.insert(number);
            }
        }
        const wizard::ImportPlan plan = wizard::planImport(
            wizard::readChosenTemplates(m_library, fieldNumbers), *fg1->gridModel(),
            fg1->selectedRows(),
            nodes.size() > 1 ? wizard::ChosenNodes::kSeveral : wizard::ChosenNodes::kOne);
        for (const wizard::ImportRow& row : plan.rows) {
            fg1->addItem(row.cells.join(u'\t'), row.row);
        }
        fg1->setSelectedRows(plan.selected);
        if (plan.current) {
            fg1->setCurrentRow(*plan.current);
        }
        wizard::renumberRows(*fg1->gridModel());
        if (plan.message) {
            controls::tell(*plan.message);
        }
        if (!plan.selected.isEmpty()) {
            Command5->setEnabled(true);
        }
    });
}

void rv_makeDBForm::Command5_Click() {
    recorded([this] {
        if (wizard::mayRemoveRows(*fg1->gridModel(), fg1->selectedRows())) {
            // The first selected row, as often as rows were selected.
            for (auto k = fg1->selectedRows().size(); k > 0 && fg1->firstSelectedRow() != -1; --k) {
                fg1->removeItem(fg1->firstSelectedRow());
            }
        }
        wizard::renumberRows(*fg1->gridModel());
    });
    Command5->setEnabled(false);
}

void rv_makeDBForm::Command6_Click() {
    recorded([this] { carryOut(*fg1, wizard::moveDown(*fg1->gridModel(), fg1->selectedRows())); });
}

void rv_makeDBForm::Command7_Click() {
    // Closing the browser hands the library back and reloads this tree, so that it shows
    // the library as left there: the user's copy once a change made one.
    browser::AccountBrowse browser(
        [this](const templates::LibraryOwner& library) {
            m_library = library;
            reloadTree();
        },
        this);
    browser.showAccountForm(m_library);
}

void rv_makeDBForm::Command8_Click() {
    recorded([this] {
        const int row = wizard::newRowPosition(*fg1->gridModel(), fg1->firstSelectedRow());
        fg1->addItem(wizard::newRowCells().join(u'\t'), row);
        // The new row's ID is typed first: its cell becomes current and the grid takes the keys.
        fg1->setCurrentCell(row, wizard::kColFieldId);
        wizard::renumberRows(*fg1->gridModel());
    });
    fg1->setFocus(Qt::OtherFocusReason);
}

void rv_makeDBForm::fg1_AfterEdit(int row, int col) {
    // The edit and its repairs are one step.
    recorded([&] {
        wizard::afterEditCheck(*fg1->gridModel(), row, col,
                               [](const controls::Message& warning) { controls::tell(warning); });
    });
}

void rv_makeDBForm::fg1_AfterRowColChange(int, int, int newRow, int newCol) {
    const wizard::CellChange change =
        wizard::currentCellChange(*fg1->gridModel(), fg1->selectedRows(), newRow, newCol);
    if (change.imeList) {
        fg1->setColComboList(wizard::kColIme, *change.imeList);
    }
    if (change.editable) {
        fg1->setEditable(*change.editable);
    }
    enableRowCommands(change.rowCommands == wizard::RowCommands::kEnabled);
    settleHistory();
}

void rv_makeDBForm::fg1_KeyPressEdit(int row, int, int& key) {
    if (auto warning = wizard::sizeKeyFilter(*fg1->gridModel(), row, fg1->currentCol(), key)) {
        controls::tell(*warning);
    }
}

}  // namespace component
