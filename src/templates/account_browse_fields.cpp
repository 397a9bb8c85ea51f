// The template browser's side of the field editor: loading it, filling it for its mode and
// showing it.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <memory>

#include "templates/account_add.h"
#include "templates/account_browse.h"
#include "templates/texts.h"
#include "vocabulary/msgbox_const.h"

namespace templates {

AccountAdd& AccountBrowse::accountAdd() {
    if (!m_accountAdd) {
        m_accountAdd = new AccountAdd(*this);
    }
    return *m_accountAdd;
}

void AccountBrowse::showAccountAdd() {
    // Loaded now and unloaded when it closes: no state of an earlier opening is carried over.
    const std::unique_ptr<AccountAdd> dialog(&accountAdd());
    switch (basAU.toInt()) {
        case kAddField:
            DefaultAccountAdd();
            dialog->Text1->clear();
            dialog->Text2->clear();
            dialog->Text3->clear();
            dialog->Combo1->setCurrentIndex(0);
            dialog->Combo2->setCurrentIndex(0);
            dialog->setWindowTitle(kFieldAddCaption.toString());
            break;
        case kEditField: {
            FillAccountAdd();
            // A fixed template field can only be looked at.
            const bool changeable = bascopyRs.fixedFlag != u"1";
            for (QWidget* w : std::initializer_list<QWidget*>{dialog->Text1, dialog->Text2,
                                                              dialog->Text3, dialog->Combo1,
                                                              dialog->Combo2, dialog->Command1}) {
                w->setEnabled(changeable);
            }
            dialog->setWindowTitle(kFieldEditCaption.toString());
            break;
        }
        case kCopyField:
            FillAccountAdd();
            dialog->setWindowTitle(kFieldCopyCaption.toString());
            break;
        default:
            return;
    }
    dialog->exec();
}

void AccountBrowse::DefaultAccountAdd() {
    accountAdd().refillLists();
}

void AccountBrowse::FillAccountAdd() {
    DefaultAccountAdd();
    AccountAdd& dialog = accountAdd();
    // A column is filled in when it holds something; each box runs its own check on it.
    const TemplateEntry& row = bascopyRs;
    if (!row.fieldId.isEmpty()) {
        dialog.Text1->setText(row.fieldId);
        dialog.basFIELDIDCopy = row.fieldId;
    }
    if (!row.name.isEmpty()) {
        dialog.Text2->setText(row.name);
    }
    if (!row.attr.isEmpty()) {
        dialog.Combo1->setCurrentIndex(
            dialog.Combo1->findText(MsgBox_Const::getATTRLabel(row.attr)));
    }
    if (!row.size.isEmpty()) {
        dialog.Text3->setText(row.size);
    }
    if (!row.ime.isEmpty()) {
        dialog.Combo2->setCurrentIndex(dialog.Combo2->findText(MsgBox_Const::getONOFF(row.ime)));
    }
}

}  // namespace templates
