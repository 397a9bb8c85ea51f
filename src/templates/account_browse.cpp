#include "templates/account_browse.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QLineEdit>
#include <QResizeEvent>

#include <algorithm>
#include <vector>

#include "controls/accessibility.h"
#include "controls/indexed_toolbar.h"
#include "controls/mouse_pointer.h"
#include "controls/msg_box.h"
#include "controls/tree_find_line.h"
#include "jet/error.h"
#include "templates/account_add.h"
#include "templates/folder_add.h"
#include "templates/texts.h"
#include "templates/tree_key_guard.h"
#include "templates/tree_loader.h"
#include "vocabulary/host_text.h"

namespace templates {

using controls::IndexedToolbar;
using controls::KeyedTree;

namespace {

// The band above the tree that the toolbar takes.
constexpr int kToolbarBandTwips = 600;
constexpr double kTwipsPerInch = 1440.0;

// The action buttons in the order of the button-state table.
constexpr int kActionButtons[7] = {1, 2, 3, 5, 6, 7, 9};

QString text(const jet::Value& value) {
    return QString::fromStdString(value.toString());
}

}  // namespace

AccountBrowse::AccountBrowse(std::function<void()> unloading, QWidget* parent)
    : QDialog(parent), m_unloading(std::move(unloading)) {
    setObjectName(QStringLiteral("AccountBrowse"));
    setWindowTitle(kBrowserCaption.toString());

    ImageList2 = controls::ImageList::browserToolbarImages();
    Toolbar1 = new IndexedToolbar(this);
    Toolbar1->setImageList(ImageList2);
    using Style = IndexedToolbar::ButtonStyle;
    const struct {
        Style style;
        QStringView caption;
        QStringView image;
        QStringView tip;
    } buttons[] = {
        {Style::kDefault, kButtonAdd, kImageFolderAdd, kTipAddFolder},
        {Style::kDefault, kButtonEdit, kImageFolderEdit, kTipRenameFolder},
        {Style::kDefault, kButtonDelete, kImageFolderDelete, kTipDeleteFolder},
        {Style::kSeparator, {}, {}, {}},
        {Style::kDefault, kButtonAdd, kImageFieldAdd, kTipAddField},
        {Style::kDefault, kButtonEdit, kImageFieldEdit, kTipEditField},
        {Style::kDefault, kButtonDelete, kImageFieldDelete, kTipDeleteField},
        {Style::kSeparator, {}, {}, {}},
        {Style::kDefault, kButtonCopy, kImageCopy, kTipCopyField},
        {Style::kSeparator, {}, {}, {}},
        {Style::kDefault, kButtonClose, kImageCloseWindow, kTipClose},
    };
    for (const auto& b : buttons) {
        Toolbar1->addButton(b.style, b.caption.toString(), b.image.toString(), b.tip.toString());
    }

    SSTree1 = new KeyedTree(this);
    SSTree1->setObjectName(QStringLiteral("SSTree1"));
    SSTree1->setAccessibleName(kTreeAccessibleName.toString());
    SSTree1->setSelectionMode(QAbstractItemView::SingleSelection);
    SSTree1->setLabelEdit(KeyedTree::LabelEdit::Automatic);
    SSTree1->setAfterLabelEditHandler(
        [this](KeyedTree::Node* node, QString& newText, bool& cancel) {
            SSTree1_AfterLabelEdit(node, newText, cancel);
        });
    SSTree1->installEventFilter(this);
    m_findLine = new controls::TreeFindLine(*SSTree1, this);
    m_findLine->setAccessibleName(kFindAccessibleName.toString());
    m_findLine->setPlaceholderText(kFindPlaceholder.toString());
    connect(m_findLine, &controls::TreeFindLine::openChanged, this, [this] { Form_Resize(); });

    // The tree first, where the keys work at once, then the buttons in their order.
    QList<QWidget*> tabOrder{SSTree1, m_findLine};
    for (int i = 1; i <= Toolbar1->buttonCount(); ++i) {
        if (QWidget* w = Toolbar1->buttonWidget(i)) {
            tabOrder.append(w);
        }
    }
    controls::setUpDialogKeys(*this, tabOrder);
    controls::reportKeyMovesAsClicks(*SSTree1);

    connect(Toolbar1, &IndexedToolbar::buttonClick, this,
            [this](int index) { Toolbar1_ButtonClick(index); });
    connect(SSTree1, &KeyedTree::nodeClick, this,
            [this](KeyedTree::Node* node) { SSTree1_NodeClick(node); });
    connectMoves();
    resize(420, 520);
}

AccountBrowse::~AccountBrowse() = default;

bool AccountBrowse::showAccountForm(const QString& connStr) {
    basconnStr = connStr;
    if (!Form_Load()) {
        return false;
    }
    exec();
    return true;
}

bool AccountBrowse::Form_Load() {
    try {
        basTable.open(vocabulary::toHostBytes(basconnStr));
    } catch (const jet::Error& e) {
        tellFailure(e);
        return false;
    }
    connectDB(basconnStr);
    enableAllButton();
    return true;
}

void AccountBrowse::connectDB(const QString& DBStr) {
    if (!basTable.isOpen()) {
        try {
            basTable.open(vocabulary::toHostBytes(DBStr));
        } catch (const jet::Error&) {
            // Skipped: the loading below shows the root alone.
        }
    }
    loadTemplateTree(*SSTree1, basTable, LoadErrors::kSkip);
}

void AccountBrowse::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Form_Resize();
}

void AccountBrowse::Form_Resize() {
    const int band = qRound(kToolbarBandTwips * logicalDpiY() / kTwipsPerInch);
    const int treeHeight = std::max(0, height() - band);
    Toolbar1->setGeometry(0, 0, width(), height() - treeHeight);
    // An open find line takes its height from the bottom of the tree.
    const int findHeight =
        m_findLine->isVisibleTo(this) ? std::min(treeHeight, m_findLine->sizeHint().height()) : 0;
    SSTree1->setGeometry(0, height() - treeHeight, width(), treeHeight - findHeight);
    m_findLine->setGeometry(0, height() - findHeight, width(), findHeight);
}

bool AccountBrowse::eventFilter(QObject* watched, QEvent* event) {
    if (watched == SSTree1 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (isGuardedTreeKey(key->key(), key->modifiers())) {
            return true;
        }
        if (const std::optional<FieldStep> step = fieldStepKey(key->key(), key->modifiers())) {
            moveSelectedField(*step);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void AccountBrowse::done(int result) {
    if (!m_unloaded) {
        m_unloaded = true;
        Form_Unload();
    }
    QDialog::done(result);
}

void AccountBrowse::Form_Unload() {
    if (m_unloading) {
        m_unloading();
    }
    if (m_folderAdd) {
        m_folderAdd->close();
    }
    if (m_accountAdd) {
        m_accountAdd->close();
    }
    basTable.close();
}

void AccountBrowse::setActionButtons(const bool (&on)[7]) {
    for (int i = 0; i < 7; ++i) {
        Toolbar1->setButtonEnabled(kActionButtons[i], on[i]);
    }
}

void AccountBrowse::enableButton() {
    setActionButtons({true, false, false, false, false, false, false});
}

void AccountBrowse::enableAllButton() {
    setActionButtons({false, false, false, false, false, false, false});
}

void AccountBrowse::SSTree1_NodeClick(KeyedTree::Node* node) {
    basNodeKey = KeyedTree::key(node);
    if (basNodeKey.toLongLong() == 0) {
        enableButton();
    } else if (isFieldNode(*SSTree1, basNodeKey)) {
        setActionButtons({false, false, false, true, true, true, true});
    } else {
        setActionButtons({true, true, true, true, false, false, false});
    }
}

void AccountBrowse::SSTree1_AfterLabelEdit(KeyedTree::Node* node, QString& newText, bool& cancel) {
    // The edited node's own row: the node clicked last, or the one reached with the keys.
    try {
        TemplateStore(basTable).rename(newText, KeyedTree::key(node));
    } catch (const jet::Error& e) {
        tellFailure(e);
        cancel = true;  // the table still holds the old text
    }
}

void AccountBrowse::Toolbar1_ButtonClick(int index) {
    switch (index) {
        case kAddFolder:
            basAU = QStringLiteral("1");
            showFolderAdd(kFolderAddCaption, {});
            break;
        case kRenameFolder:
            if (const KeyedTree::Node* node = SSTree1->node(basNodeKey)) {
                basAU = QStringLiteral("2");
                showFolderAdd(kFolderRenameCaption, node->text(0));
            }
            break;
        case kDeleteFolder:
            deleteFolder();
            break;
        case kAddField:
            basAU = QStringLiteral("5");
            showAccountAdd();
            break;
        case kEditField:
        case kCopyField:
            basAU = QString::number(index);
            if (readSelectedRow()) {
                showAccountAdd();
            }
            break;
        case kDeleteField:
            deleteField();
            break;
        case kClose:
            close();
            break;
        default:
            break;
    }
}

void AccountBrowse::showFolderAdd(QStringView caption, const QString& name) {
    FolderAdd dialog(*this);
    m_folderAdd = &dialog;
    dialog.Text1->setText(name);
    dialog.setWindowTitle(caption.toString());
    dialog.exec();
}

bool AccountBrowse::readSelectedRow() {
    try {
        bascopyRs = entryAt(TemplateStore(basTable).selectEntry(basNodeKey));
        return true;
    } catch (const jet::Error& e) {
        tellFailure(e);
        return false;
    }
}

void AccountBrowse::deleteFolder() {
    basCanDelete = true;
    try {
        CheckChild(basNodeKey);
    } catch (const jet::Error& e) {
        tellFailure(e);
        return;
    }
    if (!basCanDelete) {
        controls::tell(kMsgFolderHoldsFixed, controls::vbOKOnly);
        return;
    }
    if (controls::tell(kMsgConfirmDelete, controls::vbOKCancel) != controls::vbOK) {
        return;
    }
    SSTree1->removeNode(SSTree1->node(basNodeKey));
    // All or nothing: a folder is never left half deleted.
    controls::setMousePointer(controls::kPointerWait);
    try {
        basTable.beginTrans();
        TemplateStore(basTable).deleteEntry(basNodeKey);
        DeleteChild(basNodeKey);
        basTable.commitTrans();
    } catch (const jet::Error& e) {
        controls::setMousePointer(controls::kPointerNormal);
        tellFailure(e);
        reloadAfterFailure();
    }
    controls::setMousePointer(controls::kPointerNormal);
    enableAllButton();
}

void AccountBrowse::deleteField() {
    if (!readSelectedRow()) {
        return;
    }
    if (bascopyRs.fixedFlag == u"1") {
        controls::tell(kMsgFixedField, controls::vbOKOnly);
        return;
    }
    if (controls::tell(kMsgConfirmDelete, controls::vbOKCancel) != controls::vbOK) {
        return;
    }
    SSTree1->removeNode(SSTree1->node(basNodeKey));
    try {
        TemplateStore(basTable).deleteEntry(basNodeKey);
    } catch (const jet::Error& e) {
        tellFailure(e);
        reloadAfterFailure();
    }
    enableAllButton();
}

void AccountBrowse::CheckChild(const QString& P_ID) {
    for (jet::Recordset rs = TemplateStore(basTable).selectChildrenWithFixedMark(P_ID); !rs.eof();
         rs.moveNext()) {
        if (text(rs.field("DIS_ALT_FLG")) == u"1") {
            basCanDelete = false;
            return;
        }
        CheckChild(text(rs.field("FIELD_NO")));
    }
}

void AccountBrowse::DeleteChild(const QString& P_ID) {
    TemplateStore store(basTable);
    // The children are read before any of them goes.
    std::vector<QString> children;
    for (jet::Recordset rs = store.selectChildren(P_ID); !rs.eof(); rs.moveNext()) {
        children.push_back(text(rs.field("FIELD_NO")));
    }
    for (const QString& child : children) {
        DeleteChild(child);
    }
    store.deleteEntry(P_ID);
}

void AccountBrowse::reloadAfterFailure() {
    if (basTable.inTransaction()) {
        try {
            basTable.rollbackTrans();
        } catch (const jet::Error&) {
            // Nothing was committed: closing the connection would drop it all the same.
        }
    }
    connectDB(basconnStr);
}

void AccountBrowse::tellFailure(const jet::Error& error) {
    controls::tell(
        controls::Message{QString::fromStdString(error.what()), controls::vbExclamation});
}

}  // namespace templates
