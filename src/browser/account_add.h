// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QString>

#include <functional>

#include "templates/library.h"

class QComboBox;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;

namespace browser {

// The field editor: a modal dialog that takes a template field for its mode — add
// (starting empty), edit or copy (starting from the entry's row) — and is made afresh for
// every opening. In edit mode a fixed template field can only be looked at.
//
// The ID, the name and the size are checked as they are typed; OK checks that the draft is
// complete and its ID free, then hands it to the opener's `commit`, which checks it against
// the library and writes it. A draft it refuses keeps the dialog open with what was typed.
// The dialog itself touches neither the library nor the tree.
class AccountAdd : public QDialog {
    Q_OBJECT

  public:
    using Commit = std::function<bool(const templates::FieldDraft& draft)>;
    // `entry` is the row to start from in edit and copy mode.
    AccountAdd(templates::EditorMode mode, const templates::TemplateEntry& entry, Commit commit,
               QWidget* parent = nullptr);

    // The code of an attribute label: "文字" "T", "数字" "N", "日付" "D", "YESNO" "B",
    // "メモ" "M"; anything else an empty text.
    static QString getATTR(const QString& ATTR);

    // Both lists emptied and filled afresh: the five attribute labels, then "ON" (item data
    // 1) and "OFF" (item data 0); nothing selected, and nothing else changed.
    void refillLists();

    // FIELD_ID of the row the editor started from; the edit's duplicate check skips its rows.
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
    // The boxes and the caption for the mode.
    void prepare(templates::EditorMode mode, const templates::TemplateEntry& entry);
    // The lists refilled, then each box that the row has a value for filled in, through its
    // own check.
    void FillAccountAdd(const templates::TemplateEntry& row);
    void Combo1_Click();
    void Text1_Change();
    void Text2_Change();
    // False when the key is discarded.
    bool Text3_KeyPress(const QKeyEvent& key);
    void Text3_Change();
    void Command1_Click();
    void addImeEntries();

    Commit m_commit;
};

}  // namespace browser
