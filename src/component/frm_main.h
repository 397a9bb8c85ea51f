// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class QPushButton;

namespace component {

// The component's test window: Command1 opens the wizard on ravlinDB.mdb in the
// component's folder, without a password, with base.mdb from the same folder as the
// template library (from the installed data folder when the component is installed);
// Command2 shows the wait pointer.
class frmMain : public QWidget {
    Q_OBJECT

  public:
    explicit frmMain(QWidget* parent = nullptr);

    QPushButton* Command1;
    QPushButton* Command2;

    // The template connection string Command1 uses.
    static QString templateConnectionString();

    void Command1_Click();
    void Command2_Click();
};

}  // namespace component
