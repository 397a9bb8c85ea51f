// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace browser {

// Takes every apostrophe out of `edit`, the cursor kept behind the character it followed:
// no name the editors write holds one.
void dropApostrophes(QLineEdit& edit);

// The folder editor: a modal dialog that takes a folder's name, made afresh for every
// opening with its caption and the name to start with. OK hands the name to the opener's
// `commit`, which writes it; a write it refuses keeps the dialog open with the name as
// typed. The dialog itself touches neither the library nor the tree.
class FolderAdd : public QDialog {
    Q_OBJECT

  public:
    using Commit = std::function<bool(const QString& name)>;
    FolderAdd(const QString& caption, const QString& name, Commit commit,
              QWidget* parent = nullptr);

    QLabel* Label1;
    QLineEdit* Text1;       // the name: at most 30 characters, never an apostrophe
    QPushButton* Command2;  // OK(&O), the default button
    QPushButton* Command3;  // ｷｬﾝｾﾙ(&C)

  private:
    void Text1_Change();
    void Command2_Click();

    Commit m_commit;
};

}  // namespace browser
