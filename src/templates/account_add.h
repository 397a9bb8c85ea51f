#pragma once

#include <QDialog>
#include <QString>

class QComboBox;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;

namespace templates {

class AccountBrowse;

// The field editor: adds a template field to the selected folder (the browser's basAU "5"),
// changes the selected template field ("6") or adds a copy of it to its folder ("9"),
// through the browser's connection, and puts the change into the browser's tree itself.
// The browser fills it (DefaultAccountAdd, FillAccountAdd), sets the caption and shows it
// modally; it is made afresh for every opening.
//
// The ID, the name and the size are checked as they are typed; OK checks them once more,
// then writes one row. A write the engine refuses is shown with the engine's message and the
// dialog stays open with what was typed; nothing of it is left in the table or the tree.
class AccountAdd : public QDialog {
    Q_OBJECT

  public:
    explicit AccountAdd(AccountBrowse& browser);

    // The code of an attribute label: "文字" "T", "数字" "N", "日付" "D", "YESNO" "B",
    // "メモ" "M"; anything else an empty text.
    static QString getATTR(const QString& ATTR);

    // Both lists emptied and filled afresh: the five attribute labels, then "ON" (item data
    // 1) and "OFF" (item data 0); nothing selected, and nothing else changed.
    void refillLists();

    // FIELD_ID of the row the browser filled in; the edit's duplicate check skips its rows.
    QString basFIELDIDCopy;

    QGroupBox* Frame1;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label7;
    QLineEdit* Text1;       // the ID: ASCII letters and digits only, at most 31, no input method
    QLineEdit* Text2;       // the name: at most 31 characters, never an apostrophe
    QComboBox* Combo1;      // the attribute label, picked from the list
    QLineEdit* Text3;       // the size: digits from 1 to 255, no input method; 文字 only
    QComboBox* Combo2;      // the IME: ON or OFF; 文字 and メモ only
    QPushButton* Command1;  // OK(&O), the default button
    QPushButton* Command2;  // ｷｬﾝｾﾙ(&C)

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Form_Load();
    void Combo1_Click();
    void Text1_Change();
    void Text2_Change();
    // False when the key is discarded.
    bool Text3_KeyPress(const QKeyEvent& key);
    void Text3_Change();
    void Command1_Click();
    // True when no other template field has the typed ID or name.
    bool CheckDuplicateAdd();
    bool CheckDuplicateEdit();
    bool checkDuplicate(bool skipOwnRows);
    void addImeEntries();
    // The folder a new field goes into: the selected folder, or the selected field's folder.
    QString parentFolder();
    // The writes of each mode; false (after the message) when the engine refused.
    bool addField(const QString& parent, const QString& ime);
    bool editField(const QString& ime);

    AccountBrowse& m_browser;
};

}  // namespace templates
