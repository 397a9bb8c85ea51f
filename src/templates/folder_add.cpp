#include "templates/folder_add.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "controls/accessibility.h"
#include "controls/keyed_tree.h"
#include "controls/msg_box.h"
#include "jet/error.h"
#include "templates/account_browse.h"
#include "templates/store.h"
#include "templates/texts.h"
#include "templates/tree_loader.h"

namespace templates {

using controls::KeyedTree;

FolderAdd::FolderAdd(AccountBrowse& browser) : QDialog(&browser), m_browser(browser) {
    setObjectName(QStringLiteral("FolderAdd"));
    setWindowTitle(kFolderAddCaption.toString());

    Label1 = new QLabel(kFolderNameLabel.toString(), this);
    Text1 = new QLineEdit(this);
    Text1->setMaxLength(kFolderNameMaxLength);
    Text1->setAccessibleName(kFolderNameLabel.toString());
    Label1->setBuddy(Text1);
    Command2 = new QPushButton(kCaptionOk.toString(), this);
    Command3 = new QPushButton(kCaptionCancel.toString(), this);
    Command2->setDefault(true);
    Command3->setAutoDefault(false);

    auto* name = new QHBoxLayout;
    name->addWidget(Label1);
    name->addWidget(Text1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command2);
    buttons->addWidget(Command3);
    auto* top = new QVBoxLayout(this);
    top->addLayout(name);
    top->addLayout(buttons);
    controls::setUpDialogKeys(*this, {Text1, Command2, Command3});  // no key closes it
    Text1->setMinimumWidth(Text1->fontMetrics().horizontalAdvance(QString(20, QChar(0x5B57))));

    connect(Text1, &QLineEdit::textChanged, this, [this] { Text1_Change(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { reject(); });
}

void FolderAdd::Text1_Change() {
    const QString text = Text1->text();
    if (!text.contains(u'\'')) {
        return;
    }
    // The cursor stays where it was, less the apostrophes before it.
    const int cursor = Text1->cursorPosition();
    const auto before = text.left(cursor).count(u'\'');
    Text1->setText(QString(text).remove(u'\''));
    Text1->setCursorPosition(cursor - static_cast<int>(before));
}

void FolderAdd::Command2_Click() {
    const QString name = Text1->text();
    if (name.isEmpty()) {
        controls::tell(kMsgEnterText, controls::vbOKOnly);
        return;
    }
    bool written = true;
    switch (m_browser.basAU.toInt()) {
        case 1:
            written = addFolder(name);
            break;
        case 2:
            written = renameFolder(name);
            break;
        default:
            break;
    }
    // A refused write keeps the dialog open with the name as typed.
    if (written) {
        accept();
    }
}

bool FolderAdd::addFolder(const QString& name) {
    TemplateStore store(m_browser.basTable);
    const QString& parent = m_browser.basNodeKey;
    bool inserted = false;
    try {
        store.insertFolder(parent, name);
        inserted = true;
        const QString number = QString::fromStdString(store.selectMaxFieldNo().field(0).toString());
        KeyedTree& tree = *m_browser.SSTree1;
        m_browser.atNode = tree.addNode(parent, number, name, folderLook());
        m_browser.atNode->parent()->setExpanded(true);
    } catch (const jet::Error& e) {
        AccountBrowse::tellFailure(e);
        if (inserted) {
            m_browser.connectDB(m_browser.basconnStr);  // the new row shows after all
        }
        return false;
    }
    return true;
}

bool FolderAdd::renameFolder(const QString& name) {
    KeyedTree::Node* node = m_browser.SSTree1->node(m_browser.basNodeKey);
    const QString old = node != nullptr ? node->text(0) : QString();
    if (node != nullptr) {
        node->setText(0, name);
    }
    try {
        TemplateStore(m_browser.basTable).updateFolderName(name, m_browser.basNodeKey);
    } catch (const jet::Error& e) {
        if (node != nullptr) {
            node->setText(0, old);
        }
        AccountBrowse::tellFailure(e);
        return false;
    }
    return true;
}

}  // namespace templates
