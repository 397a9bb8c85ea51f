// SPDX-License-Identifier: MIT
#include "component/rv_makedb_form.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "browser/texts.h"
#include "browser/tree_key_guard.h"
#include "browser/tree_loader.h"
#include "component/create_db_sql.h"
#include "component/grid_layout.h"
#include "component/host_text.h"
#include "component/texts.h"
#include "controls/accessibility.h"
#include "controls/flex_grid.h"
#include "controls/keyed_tree.h"
#include "controls/msg_box.h"
#include "controls/tree_find_line.h"
#include "jet/error.h"
#include "productdb/builder.h"
#include "wizard/grid_history.h"
#include "wizard/live_checks.h"

namespace component {

namespace {

QPushButton* button(QStringView caption, QWidget* parent) {
    auto* b = new QPushButton(caption.toString(), parent);
    b->setAutoDefault(false);
    return b;
}

}  // namespace

rv_makeDBForm::rv_makeDBForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("rv_makeDBForm"));
    setWindowTitle(kWizardCaption.toString());

    Label1 = new QLabel(kHelpText.toString(), this);
    Label1->setWordWrap(true);
    fg1 = new controls::FlexGrid(this);
    SSTree1 = new controls::KeyedTree(this);
    m_findLine = new controls::TreeFindLine(*SSTree1, this);
    Command1 = button(kCaptionCancel, this);
    Command2 = button(kCaptionOk, this);
    Command3 = button(kCaptionUp, this);
    Command4 = button(kCaptionUse, this);
    Command5 = button(kCaptionRemove, this);
    Command6 = button(kCaptionDown, this);
    Command7 = button(kCaptionSettings, this);
    Command8 = button(kCaptionAddRow, this);

    // Grid on the left under the help text; the copy buttons between grid and tree; the
    // row commands under the grid; OK and Cancel at the bottom right.
    auto* middle = new QVBoxLayout;
    middle->addStretch();
    middle->addWidget(Command4);
    middle->addWidget(Command5);
    middle->addStretch();

    auto* rowCommands = new QHBoxLayout;
    rowCommands->addWidget(Command8);
    rowCommands->addWidget(Command3);
    rowCommands->addWidget(Command6);
    rowCommands->addStretch();

    auto* left = new QVBoxLayout;
    left->addWidget(Label1);
    left->addWidget(fg1, 1);
    left->addLayout(rowCommands);

    auto* right = new QVBoxLayout;
    right->addWidget(SSTree1, 1);
    right->addWidget(m_findLine);  // hidden until Ctrl+F, and then no room is taken
    auto* treeCommands = new QHBoxLayout;
    treeCommands->addStretch();
    treeCommands->addWidget(Command7);
    right->addLayout(treeCommands);

    auto* body = new QHBoxLayout;
    body->addLayout(left, 3);
    body->addLayout(middle);
    body->addLayout(right, 2);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(Command2);
    bottom->addWidget(Command1);

    auto* top = new QVBoxLayout(this);
    top->addLayout(body, 1);
    top->addLayout(bottom);
    resize(900, 560);

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connectGridCommands();
    connectWorkingAids();
    // The keyboard reaches every control in screen order and the tree's keys act as clicks;
    // screen readers name the grid and the tree (the buttons by their captions).
    controls::setUpDialogKeys(*this, {fg1, Command8, Command3, Command6, Command4, Command5,
                                      SSTree1, m_findLine, Command7, Command2, Command1});
    controls::reportKeyMovesAsClicks(*SSTree1);
    fg1->setAccessibleName(kGridAccessibleName.toString());
    SSTree1->setAccessibleName(browser::kTreeAccessibleName.toString());
    m_findLine->setAccessibleName(browser::kFindAccessibleName.toString());
    m_findLine->setPlaceholderText(browser::kFindPlaceholder.toString());

    connect(SSTree1, &controls::KeyedTree::nodeClick, this,
            [this](controls::KeyedTree::Node* node) {
                basNodeKey = controls::KeyedTree::key(node);
                Command4->setEnabled(basNodeKey.toInt() != 0 &&
                                     browser::isFieldNode(*SSTree1, basNodeKey));
            });
    SSTree1->installEventFilter(this);
    // A double-click on a field node imports it as "<< 使用" does (on a folder it opens or
    // closes the folder).
    connect(SSTree1, &controls::KeyedTree::nodeDoubleClick, this,
            [this](controls::KeyedTree::Node* node) {
                if (browser::isFieldNode(*SSTree1, controls::KeyedTree::key(node))) {
                    node->setSelected(true);
                    Command4_Click();
                }
            });
}

rv_makeDBForm::~rv_makeDBForm() = default;

templates::LeftOut rv_makeDBForm::createTree(const templates::LibraryOwner& library) {
    return browser::loadTemplateTree(*SSTree1, library, browser::LoadErrors::kStop);
}

void rv_makeDBForm::reloadTree() {
    m_treeReader.reset();  // the library as it is now replaces a reading still under way
    try {
        createTree(m_library);
    } catch (const browser::TreeLoadError& e) {
        // The tree keeps what could be loaded. The engine's reason in the user's words.
        controls::tell(controls::Message{QString::fromUtf8(jet::reasonInJapanese(e.engineKind())),
                                         controls::vbExclamation});
    }
    Command4->setEnabled(false);
}

void rv_makeDBForm::Form_Load() {
    layOutGrid(*fg1);
    m_library = templates::LibraryOwner::named(basconnStr, CreateDBSql::dataFolders());
    browser::loadRootAlone(*SSTree1);
    // A library that cannot be opened goes to the caller.
    m_treeReader = std::make_unique<browser::TreeReader>(m_library, this, [this] { showTree(); });
    openProductDatabase(m_status, basFilePath, basPass, *fg1->gridModel());
    // A server's database holds fewer fields than a file: the rows' marks count as OK does.
    m_liveChecks->setMostFields(productdb::maxFields(toHostBytes(basFilePath)));
    startHistory();
}

void rv_makeDBForm::showTree() {
    if (!m_treeReader) {
        return;
    }
    const std::unique_ptr<browser::TreeReader> reader = std::move(m_treeReader);
    try {
        tellLeftOut(
            browser::showTemplateTree(*SSTree1, *reader->take(), browser::LoadErrors::kStop));
    } catch (...) {
        // As when the library cannot be opened: the wizard ends, and the caller hears why.
        m_openingFailure = std::current_exception();
        QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
    }
}

void rv_makeDBForm::throwOpeningFailure() const {
    if (m_openingFailure) {
        std::rethrow_exception(m_openingFailure);
    }
}

void rv_makeDBForm::Form_Activate() {
    Command3->setEnabled(false);
    Command4->setEnabled(false);
    Command5->setEnabled(false);
    Command6->setEnabled(false);
    if (m_status.openFailed && !m_closing) {
        QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
    }
}

void rv_makeDBForm::Form_Unload() {
    closeProductDatabase(m_status, basFilePath, basPass);
}

void rv_makeDBForm::Command1_Click() {
    close();
}

bool rv_makeDBForm::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) {
        Form_Activate();
    }
    return QDialog::event(e);
}

bool rv_makeDBForm::eventFilter(QObject* watched, QEvent* e) {
    // Key events reach the tree only while it has the focus.
    if (watched == SSTree1 && e->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(e);
        if (browser::isGuardedTreeKey(key->key(), key->modifiers())) {
            return true;
        }
        // Enter on selected field nodes imports them as "<< 使用" does.
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
            std::ranges::any_of(
                SSTree1->selectedNodes(), [this](const controls::KeyedTree::Node* node) {
                    return browser::isFieldNode(*SSTree1, controls::KeyedTree::key(node));
                })) {
            Command4_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

void rv_makeDBForm::showEvent(QShowEvent* e) {
    // The help text wraps: at the narrowest the window is still high enough for every line.
    setMinimumHeight(std::max(minimumHeight(), layout()->totalHeightForWidth(minimumWidth())));
    QDialog::showEvent(e);
    // Also counts as an activation where the platform reports none (offscreen).
    Form_Activate();
}

void rv_makeDBForm::done(int result) {
    if (!m_closing) {
        m_closing = true;
        m_treeReader.reset();
        Form_Unload();
    }
    QDialog::done(result);
}

}  // namespace component
