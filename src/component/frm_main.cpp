// SPDX-License-Identifier: MIT
#include "component/frm_main.h"

#include <QHBoxLayout>
#include <QPushButton>

#include "component/create_db_sql.h"
#include "component/texts.h"

namespace component {

frmMain::frmMain(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("frmMain"));
    Command1 = new QPushButton(QStringLiteral("Command1"), this);
    Command2 = new QPushButton(QStringLiteral("Command2"), this);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(Command1);
    layout->addWidget(Command2);
    connect(Command1, &QPushButton::clicked, this, &frmMain::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmMain::Command2_Click);
}

QString frmMain::templateConnectionString() {
    return kTestWindowConnPrefix.toString() + kTestWindowConnSource.toString() +
           CreateDBSql::templateLibrary() + kTestWindowConnSuffix.toString();
}

void frmMain::Command1_Click() {
    QString filename =
        CreateDBSql::componentFolder() + QLatin1Char('/') + kTestWindowDatabase.toString();
    QString pass;
    QString conn = templateConnectionString();
    CreateDBSql::showMakeDBForm(filename, pass, conn);
}

void frmMain::Command2_Click() {
    setCursor(Qt::WaitCursor);
}

}  // namespace component
