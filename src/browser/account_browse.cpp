// SPDX-License-Identifier: MIT
#include "browser/account_browse.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QProgressDialog>
#include <QResizeEvent>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <vector>

#include "browser/account_add.h"
#include "browser/folder_add.h"
#include "browser/library_file_dialogs.h"
#include "browser/texts.h"
#include "browser/tree_key_guard.h"
#include "browser/tree_loader.h"
#include "controls/accessibility.h"
#include "controls/indexed_toolbar.h"
#include "controls/msg_box.h"
#include "controls/tree_find_line.h"
#include "controls/wait_pointer.h"
#include "jet/error.h"
#include "templates/texts.h"

namespace browser {

using controls::IndexedToolbar;
using controls::KeyedTree;
using templates::EditorMode;
using templates::FieldDraft;
using templates::FieldRefusal;
using templates::Library;

namespace {

// The band above the tree that the toolbar takes.
constexpr int kToolbarBandTwips = 600;
constexpr double kTwipsPerInch = 1440.0;

// The action buttons, and the ones each state turns on.
constexpr int kActionButtons[] = {1, 2, 3, 5, 6, 7, 9};
struct StateButtons {
    AccountBrowse::ButtonState state;
    std::initializer_list<int> on;
};
constexpr StateButtons kButtonStates[] = {
    {AccountBrowse::ButtonState::kNone, {}},
    {AccountBrowse::ButtonState::kRoot, {AccountBrowse::kAddFolder}},
    {AccountBrowse::ButtonState::kFolder,
     {AccountBrowse::kAddFolder, AccountBrowse::kRenameFolder, AccountBrowse::kDeleteFolder,
      AccountBrowse::kAddField}},
    {AccountBrowse::ButtonState::kField,
     {AccountBrowse::kAddField, AccountBrowse::kEditField, AccountBrowse::kDeleteField,
      AccountBrowse::kCopyField}},
};

// A walk through a large folder: after a second, a window that says the browser is busy,
// and the browser kept drawn (the user's input waits until the walk is done).
class BusyIndicator {
  public:
    explicit BusyIndicator(QWidget* parent) : m_parent(parent) { m_clock.start(); }
    void tick() {
        if (!m_dialog) {
            if (m_clock.elapsed() < kBusyAfterMs) {
                return;
            }
            m_dialog =
                std::make_unique<QProgressDialog>(kMsgBusy.toString(), QString(), 0, 0, m_parent);
            m_dialog->setWindowTitle(kBrowserCaption.toString());
            m_dialog->setWindowModality(Qt::ApplicationModal);
            m_dialog->setCancelButton(nullptr);
            m_dialog->setMinimumDuration(0);
            m_dialog->show();
        }
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }

  private:
    static constexpr qint64 kBusyAfterMs = 1000;
    QWidget* m_parent;
    QElapsedTimer m_clock;
    std::unique_ptr<QProgressDialog> m_dialog;
};

}  // namespace

AccountBrowse::AccountBrowse(Unloading unloading, QWidget* parent)
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
            [this](int index) { guarded([&] { Toolbar1_ButtonClick(index); }); });
    connect(SSTree1, &KeyedTree::nodeClick, this,
            [this](KeyedTree::Node* node) { guarded([&] { SSTree1_NodeClick(node); }); });
    SSTree1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(SSTree1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { guarded([&] { SSTree1_ContextMenu(pos); }); });
    connectMoves();
    resize(420, 520);
}

AccountBrowse::~AccountBrowse() = default;

bool AccountBrowse::showAccountForm(const templates::LibraryOwner& library) {
    m_library = library;
    const bool usable = Form_Load();
    exec();
    return usable;
}

bool AccountBrowse::Form_Load() {
    const std::optional<QString> refused = openLibrary();
    if (refused) {
        // The engine's reason in the user's words.
        controls::tell(QString::fromUtf8(jet::reasonInJapanese(*m_refusalKind)),
                       controls::vbOKOnly);
    }
    return !refused;
}

std::optional<QString> AccountBrowse::openLibrary() {
    std::optional<QString> refused;
    try {
        basTable.open(m_library);
        // A library the wizard could not read is refused here too; rows it cannot place
        // are left out.
        loadTemplateTree(*SSTree1, basTable.connection(), LoadErrors::kStop);
    } catch (const jet::Error& e) {
        refused = QString::fromStdString(e.what());
        m_refusalKind = e.kind();
    } catch (const TreeLoadError& e) {
        refused = QString::fromStdString(e.what());
        m_refusalKind = e.engineKind();
    }
    if (refused) {
        // Nothing can be changed: the root alone, every action button off for good.
        m_usable = false;
        basTable.close();
        loadRootAlone(*SSTree1);
        SSTree1->setLabelEdit(KeyedTree::LabelEdit::Manual);
    }
    enableAllButton();
    return refused;
}

void AccountBrowse::connectDB() {
    if (!basTable.isOpen()) {
        try {
            basTable.open(m_library);
        } catch (const jet::Error&) {
            // Skipped: the loading below shows the root alone.
        }
    }
    loadTemplateTree(*SSTree1, basTable.connection(), LoadErrors::kSkip);
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
            guarded([&] { moveSelectedField(*step); });
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
        m_unloading(m_library);
    }
    if (m_dialog) {
        m_dialog->close();
    }
    basTable.close();
}

void AccountBrowse::setButtons(ButtonState state) {
    if (!m_usable) {
        state = ButtonState::kNone;
    }
    for (const StateButtons& row : kButtonStates) {
        if (row.state == state) {
            for (int button : kActionButtons) {
                Toolbar1->setButtonEnabled(
                    button, std::find(row.on.begin(), row.on.end(), button) != row.on.end());
            }
        }
    }
}

void AccountBrowse::enableButton() {
    setButtons(ButtonState::kRoot);
}

void AccountBrowse::enableAllButton() {
    setButtons(ButtonState::kNone);
}

void AccountBrowse::SSTree1_NodeClick(KeyedTree::Node* node) {
    basNodeKey = KeyedTree::key(node);
    if (basNodeKey.toLongLong() == 0) {
        enableButton();
    } else {
        setButtons(isFieldNode(*SSTree1, basNodeKey) ? ButtonState::kField : ButtonState::kFolder);
    }
}

void AccountBrowse::SSTree1_AfterLabelEdit(KeyedTree::Node* node, QString& newText, bool& cancel) {
    // The edited node's own row: the node clicked last, or the one reached with the keys.
    try {
        templates::Library(basTable).rename(KeyedTree::key(node), newText);
    } catch (const jet::Error& e) {
        tellFailure(e);
        cancel = true;  // the table still holds the old text
    } catch (...) {
        // The node outlives this handler: what went wrong is shown, and the tree loaded
        // again, once the tree is done with it.
        cancel = true;
        QTimer::singleShot(0, this, [this, failure = std::current_exception()] {
            guarded([&] { std::rethrow_exception(failure); });
        });
    }
}

void AccountBrowse::guarded(const std::function<void()>& work) {
    committed(
        [&] {
            work();
            return true;
        },
        Failure::kReload);
}

bool AccountBrowse::committed(const std::function<bool()>& write, Failure failure) {
    try {
        return write();
    } catch (const jet::Error& e) {
        tellFailure(e);
        if (failure == Failure::kKeep) {
            return false;
        }
    } catch (const templates::EntryGone&) {
        // Deleted by another program meanwhile: the dialog has nothing left to do.
        controls::tell(kMsgEntryGone, controls::vbOKOnly);
        if (m_dialog) {
            m_dialog->reject();
        }
    } catch (const std::exception& e) {
        tellUnexpected(QString::fromUtf8(e.what()));
    } catch (...) {
        tellUnexpected({});
    }
    reloadAfterFailure();
    return false;
}

void AccountBrowse::tellUnexpected(const QString& reason) {
    const QString text = kMsgUnexpected.toString();
    controls::tell(
        controls::Message{reason.isEmpty() ? text : text + u'\n' + reason, controls::vbOKOnly});
}

void AccountBrowse::Toolbar1_ButtonClick(int index) {
    if (index == kClose) {
        close();
        return;
    }
    // A command acts on the node clicked last, which a loading may have left out.
    if (SSTree1->node(basNodeKey) == nullptr) {
        controls::tell(kMsgNotShown, controls::vbOKOnly);
        reloadAfterFailure();
        return;
    }
    switch (index) {
        case kAddFolder:
            addFolder();
            break;
        case kRenameFolder:
            renameFolder();
            break;
        case kDeleteFolder:
            deleteFolder();
            break;
        case kAddField:
            openFieldEditor(EditorMode::kAdd);
            break;
        case kEditField:
            openFieldEditor(EditorMode::kEdit);
            break;
        case kCopyField:
            openFieldEditor(EditorMode::kCopy);
            break;
        case kDeleteField:
            deleteField();
            break;
        default:
            break;
    }
}

void AccountBrowse::addFolder() {
    const QString parent = basNodeKey;
    FolderAdd dialog(
        kFolderAddCaption.toString(), {},
        [&](const QString& name) {
            return committed([&] {
                const QString number = Library(basTable).addFolder(parent, name);
                showAdded(parent, number, name, folderLook());
                return true;
            });
        },
        this);
    m_dialog = &dialog;
    dialog.exec();
}

void AccountBrowse::renameFolder() {
    KeyedTree::Node* node = SSTree1->node(basNodeKey);
    const QString folder = basNodeKey;
    FolderAdd dialog(
        kFolderRenameCaption.toString(), node->text(0),
        [&](const QString& name) {
            return committed([&] {
                Library(basTable).renameFolder(folder, name);
                if (KeyedTree::Node* shown = SSTree1->node(folder)) {
                    shown->setText(0, name);
                }
                return true;
            });
        },
        this);
    m_dialog = &dialog;
    dialog.exec();
}

void AccountBrowse::showAdded(const QString& parent, const QString& number, const QString& name,
                              const KeyedTree::NodeLook& look) {
    KeyedTree::Node* parentNode = SSTree1->node(parent);
    if (parentNode == nullptr || SSTree1->node(number) != nullptr) {
        connectDB();
        return;
    }
    atNode = SSTree1->addNode(parentNode, number, name, look);
    parentNode->setExpanded(true);
}

void AccountBrowse::openFieldEditor(EditorMode mode) {
    if (mode != EditorMode::kAdd) {
        bascopyRs = Library(basTable).entry(basNodeKey);
    }
    AccountAdd dialog(
        mode, bascopyRs,
        [&](const FieldDraft& draft) {
            return committed([&] { return commitField(mode, draft); });
        },
        this);
    m_dialog = &dialog;
    dialog.exec();
}

bool AccountBrowse::commitField(EditorMode mode, const FieldDraft& draft) {
    Library library(basTable);
    // Added beside the selected entry, or the selected field changed in place.
    const QString parent = mode == EditorMode::kEdit ? QString() : library.parentFolder(basNodeKey);
    if (library.refusal(draft, mode, bascopyRs.fieldId)) {
        controls::tell(templates::kMsgDuplicateField, controls::vbOKOnly + controls::vbExclamation);
        return false;
    }
    if (mode == EditorMode::kEdit) {
        library.editField(basNodeKey, draft);
        if (KeyedTree::Node* node = SSTree1->node(basNodeKey)) {
            node->setText(0, draft.name);
            KeyedTree::setSearchText(node, draft.fieldId);
        }
        return true;
    }
    const QString number = library.addField(parent, draft);
    showAdded(parent, number, draft.name, fieldLook());
    if (atNode != nullptr && KeyedTree::key(atNode) == number) {
        KeyedTree::setSearchText(atNode, draft.fieldId);  // a find matches the ID
    }
    return true;
}

void AccountBrowse::deleteFolder() {
    bool fixed = false;
    {
        const controls::WaitPointer wait;
        BusyIndicator busy(this);
        fixed = Library(basTable).holdsFixedField(basNodeKey, [&busy](int) { busy.tick(); });
    }
    if (fixed) {
        controls::tell(kMsgFolderHoldsFixed, controls::vbOKOnly);
        return;
    }
    if (controls::tell(kMsgConfirmDelete, controls::vbOKCancel) != controls::vbOK) {
        return;
    }
    SSTree1->removeNode(SSTree1->node(basNodeKey));
    // All or nothing: a folder is never left half deleted.
    {
        const controls::WaitPointer wait;
        BusyIndicator busy(this);
        Library(basTable).deleteFolder(basNodeKey, [&busy](int) { busy.tick(); });
    }
    enableAllButton();
}

void AccountBrowse::deleteField() {
    bascopyRs = Library(basTable).entry(basNodeKey);
    if (bascopyRs.fixedFlag == u"1") {
        controls::tell(kMsgFixedField, controls::vbOKOnly);
        return;
    }
    if (controls::tell(kMsgConfirmDelete, controls::vbOKCancel) != controls::vbOK) {
        return;
    }
    SSTree1->removeNode(SSTree1->node(basNodeKey));
    Library(basTable).deleteEntry(basNodeKey);
    enableAllButton();
}

void AccountBrowse::SSTree1_ContextMenu(const QPoint& pos) {
    KeyedTree::Node* node = SSTree1->itemAt(pos);
    if (node == nullptr || isFieldNode(*SSTree1, KeyedTree::key(node))) {
        return;
    }
    const QString folder = KeyedTree::key(node);
    QMenu menu(this);
    const QAction* exportAction = menu.addAction(kMenuExport.toString());
    const QAction* importAction = menu.addAction(kMenuImport.toString());
    const QAction* chosen = menu.exec(SSTree1->viewport()->mapToGlobal(pos));
    if (chosen == exportAction) {
        const bool root = folder == templates::kRootKey;
        exportFolderDialog(
            this, basTable.connection(), folder,
            root ? kExportDefaultName.toString() : node->text(0) + QStringLiteral(".tsv"));
    } else if (chosen == importAction) {
        const std::optional<QString> shown = importIntoFolderDialog(this, basTable, folder);
        if (shown) {
            // The tree as the library now is, the imported folder open and in sight.
            loadTemplateTree(*SSTree1, basTable.connection(), LoadErrors::kSkip);
            enableAllButton();
            if (KeyedTree::Node* imported = SSTree1->node(*shown)) {
                imported->setExpanded(true);
                SSTree1->setCurrentItem(imported);
                SSTree1->scrollToItem(imported);
            }
        }
    }
}

void AccountBrowse::reloadAfterFailure() {
    try {
        connectDB();
    } catch (...) {
        SSTree1->clearNodes();  // not even the root could be shown
    }
    enableAllButton();
}

void AccountBrowse::tellFailure(const jet::Error& error) {
    controls::tell(QString::fromUtf8(jet::reasonInJapanese(error.kind())), controls::vbOKOnly);
}

}  // namespace browser
