#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace templates {

class AccountBrowse;

// The folder editor: adds a template folder below the selected entry (the browser's basAU
// "1") or renames the selected folder ("2"), through the browser's connection, and puts the
// change into the browser's tree itself. The opener sets the caption and, to rename, the
// name; the dialog is modal and made afresh for every opening.
class FolderAdd : public QDialog {
    Q_OBJECT

  public:
    explicit FolderAdd(AccountBrowse& browser);

    QLabel* Label1;
    QLineEdit* Text1;       // the name: at most 30 characters, never an apostrophe
    QPushButton* Command2;  // OK(&O), the default button
    QPushButton* Command3;  // ｷｬﾝｾﾙ(&C)

  private:
    void Text1_Change();
    void Command2_Click();
    // The writes of each mode; false (after the message) when the engine refused.
    bool addFolder(const QString& name);
    bool renameFolder(const QString& name);

    AccountBrowse& m_browser;
};

}  // namespace templates
