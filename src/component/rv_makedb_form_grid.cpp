// The wizard's grid events and row commands: thin handlers over the grid rules.
#include <QPushButton>

#include "component/rv_makedb_form.h"
#include "controls/flex_grid.h"

namespace component {

void rv_makeDBForm::connectGridCommands() {
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
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
}

void rv_makeDBForm::Command3_Click() {}
void rv_makeDBForm::Command5_Click() {}
void rv_makeDBForm::Command6_Click() {}
void rv_makeDBForm::Command7_Click() {}
void rv_makeDBForm::Command8_Click() {}
void rv_makeDBForm::fg1_AfterEdit(int, int) {}
void rv_makeDBForm::fg1_AfterRowColChange(int, int, int, int) {}
void rv_makeDBForm::fg1_KeyPressEdit(int, int, int&) {}

}  // namespace component
