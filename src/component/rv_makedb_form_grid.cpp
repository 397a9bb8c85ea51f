// The wizard's grid events and row commands: thin handlers over the grid rules.
#include <QItemSelectionModel>
#include <QPushButton>

#include "component/rv_makedb_form.h"
#include "controls/flex_grid.h"
#include "controls/keyed_tree.h"
#include "wizard/grid_rules.h"
#include "wizard/row_commands.h"
#include "wizard/template_import.h"

namespace component {

namespace {

// Up, remove and down follow the selection together.
void enableRowCommands(rv_makeDBForm& form, wizard::RowCommands commands) {
    const bool enabled = commands == wizard::RowCommands::kEnabled;
    form.Command3->setEnabled(enabled);
    form.Command5->setEnabled(enabled);
    form.Command6->setEnabled(enabled);
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
    connect(fg1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { enableRowCommands(*this, wizard::rowCommandsFor(*fg1)); });
}

void rv_makeDBForm::Command3_Click() {
    wizard::moveUp(*fg1);
}

void rv_makeDBForm::Command4_Click() {
    if (wizard::importTemplates(*fg1, *SSTree1, basconnStr) == wizard::RemoveCommand::kEnable) {
        Command5->setEnabled(true);
    }
}

void rv_makeDBForm::Command5_Click() {
    wizard::removeRows(*fg1);
    Command5->setEnabled(false);
}

void rv_makeDBForm::Command6_Click() {
    wizard::moveDown(*fg1);
}

void rv_makeDBForm::Command7_Click() {
    // Opens the template browser once that window exists.
}

void rv_makeDBForm::Command8_Click() {
    wizard::addRow(*fg1);
}

void rv_makeDBForm::fg1_AfterEdit(int row, int col) {
    wizard::afterEditCheck(*fg1, row, col);
}

void rv_makeDBForm::fg1_AfterRowColChange(int, int, int newRow, int newCol) {
    enableRowCommands(*this, wizard::currentCellChange(*fg1, newRow, newCol));
}

void rv_makeDBForm::fg1_KeyPressEdit(int row, int, int& key) {
    wizard::sizeKeyFilter(*fg1, row, key);
}

}  // namespace component
