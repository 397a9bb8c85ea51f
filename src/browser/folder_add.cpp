// SPDX-License-Identifier: MIT
#include "browser/folder_add.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "browser/texts.h"
#include "controls/accessibility.h"
#include "controls/msg_box.h"
#include "templates/texts.h"

namespace browser {

FolderAdd::FolderAdd(const QString& caption, const QString& name, Commit commit, QWidget* parent)
    : QDialog(parent), m_commit(std::move(commit)) {
    setObjectName(QStringLiteral("FolderAdd"));
    setWindowTitle(caption);

    Label1 = new QLabel(kFolderNameLabel.toString(), this);
    Text1 = new QLineEdit(this);
    Text1->setMaxLength(kFolderNameMaxLength);
    Text1->setAccessibleName(kFolderNameLabel.toString());
    Label1->setBuddy(Text1);
    Command2 = new QPushButton(kCaptionOk.toString(), this);
    Command3 = new QPushButton(kCaptionCancel.toString(), this);
    Command2->setDefault(true);
    Command3->setAutoDefault(false);

    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(Label1);
    nameRow->addWidget(Text1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command2);
    buttons->addWidget(Command3);
    auto* top = new QVBoxLayout(this);
    top->addLayout(nameRow);
    top->addLayout(buttons);
    controls::setUpDialogKeys(*this, {Text1, Command2, Command3});  // no key closes it
    Text1->setMinimumWidth(Text1->fontMetrics().horizontalAdvance(QString(20, QChar(0x5B57))));

    connect(Text1, &QLineEdit::textChanged, this, [this] { Text1_Change(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { reject(); });
    Text1->setText(name);  // through the name's own check
}

void dropApostrophes(QLineEdit& edit) {
    const QString text = edit.text();
    if (!text.contains(u'\'')) {
        return;
    }
    // The cursor stays where it was, less the apostrophes before it.
    const int cursor = edit.cursorPosition();
    const auto before = text.left(cursor).count(u'\'');
    edit.setText(QString(text).remove(u'\''));
    edit.setCursorPosition(cursor - static_cast<int>(before));
}

void FolderAdd::Text1_Change() {
    dropApostrophes(*Text1);
}

void FolderAdd::Command2_Click() {
    const QString name = Text1->text();
    if (name.isEmpty()) {
        controls::tell(templates::kMsgEnterText, controls::vbOKOnly);
        return;
    }
    if (m_commit && !m_commit(name)) {
        return;
    }
    accept();
}

}  // namespace browser
