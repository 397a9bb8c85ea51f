// SPDX-License-Identifier: MIT
#include "controls/tree_find_line.h"

#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QKeySequence>

namespace controls {

namespace {

bool isAscii(QStringView text) {
    for (const QChar c : text) {
        if (c.unicode() >= 0x80) {
            return false;
        }
    }
    return true;
}

// Katakana that have a hiragana twin lie 0x60 above it: ァ (U+30A1) to ヶ (U+30F6), and the
// iteration marks ヽヾ.
constexpr char16_t kKatakanaFirst = 0x30A1;
constexpr char16_t kKatakanaLast = 0x30F6;
constexpr char16_t kKatakanaIteration = 0x30FD;
constexpr char16_t kKatakanaVoicedIteration = 0x30FE;
constexpr char16_t kToHiragana = 0x60;

}  // namespace

QString foldForFind(QStringView text) {
    if (isAscii(text)) {
        return text.toString().toCaseFolded();
    }
    QString folded = text.toString().normalized(QString::NormalizationForm_KC).toCaseFolded();
    for (QChar& c : folded) {
        const char16_t u = c.unicode();
        if ((u >= kKatakanaFirst && u <= kKatakanaLast) || u == kKatakanaIteration ||
            u == kKatakanaVoicedIteration) {
            c = QChar(static_cast<char16_t>(u - kToHiragana));
        }
    }
    return folded;
}

TreeFindLine::TreeFindLine(KeyedTree& tree, QWidget* parent)
    : QLineEdit(parent), m_tree(&tree), m_treeObject(&tree) {
    setObjectName(QStringLiteral("treeFindLine"));
    // The clear button comes with the first find: its icon is looked up in the desktop's icon
    // theme, which costs a window that opens with the line hidden a noticeable part of its start.
    setVisible(false);
    tree.installEventFilter(this);
    connect(this, &QLineEdit::textChanged, this, [this] { filter(); });

    // Whatever changes the nodes makes the entries stale; the filter follows.
    const auto changed = [this] { treeChanged(); };
    const QAbstractItemModel* nodes = tree.model();
    connect(nodes, &QAbstractItemModel::rowsInserted, this, changed);
    connect(nodes, &QAbstractItemModel::rowsAboutToBeRemoved, this, changed);
    connect(nodes, &QAbstractItemModel::rowsAboutToBeMoved, this, changed);
    connect(nodes, &QAbstractItemModel::modelAboutToBeReset, this, changed);
    connect(nodes, &QAbstractItemModel::layoutAboutToBeChanged, this, changed);
    connect(nodes, &QAbstractItemModel::dataChanged, this, changed);
    // The tree itself selects shown rows only (clicks, ranges, Ctrl+A); a choice made while
    // finding is kept when the line closes.
    connect(tree.selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (m_open && !m_applying) {
            m_selectionChanged = true;
        }
    });
}

TreeFindLine::~TreeFindLine() = default;

void TreeFindLine::openFind() {
    if (!m_tree) {
        return;
    }
    if (!m_open) {
        remember();
        refresh();
        m_open = true;
        setClearButtonEnabled(true);
        show();
        Q_EMIT openChanged(true);
    }
    setFocus(Qt::ShortcutFocusReason);
    selectAll();
}

void TreeFindLine::closeFind() {
    if (!m_open) {
        return;
    }
    m_open = false;
    {
        const QSignalBlocker quiet(this);  // emptied without filtering
        clear();
    }
    restore();
    if (m_tree) {
        m_tree->setFocus(Qt::OtherFocusReason);
    }
    hide();
    Q_EMIT openChanged(false);
}

QList<KeyedTree::Node*> TreeFindLine::matches() const {
    QList<KeyedTree::Node*> nodes;
    if (!m_stale) {
        for (const int i : m_matches) {
            nodes.append(m_entries[static_cast<std::size_t>(i)].node);
        }
    }
    return nodes;
}

void TreeFindLine::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_Escape && mods == Qt::NoModifier) {
        closeFind();
    } else if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
               mods == Qt::NoModifier) {
        nextMatch();
    } else if (event->matches(QKeySequence::Find)) {
        selectAll();
    } else {
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
}

bool TreeFindLine::eventFilter(QObject* watched, QEvent* event) {
    // The tree's own events reach here while it is destroyed too: the type is looked at
    // first, and the tree only for a key.
    if (event->type() == QEvent::KeyPress && watched == m_treeObject) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Find)) {
            openFind();
            return true;
        }
        if (m_open && key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier &&
            !m_tree->isDragging()) {
            closeFind();
            return true;
        }
    }
    return QLineEdit::eventFilter(watched, event);
}

void TreeFindLine::remember() {
    m_expanded.clear();
    m_selected.clear();
    for (const KeyedTree::Node* node : m_tree->nodesInDisplayOrder()) {
        if (node->childCount() > 0) {
            m_expanded.insert(KeyedTree::key(node), node->isExpanded());
        }
    }
    for (const KeyedTree::Node* node : m_tree->selectedNodes()) {
        m_selected.append(KeyedTree::key(node));
    }
    const KeyedTree::Node* current = m_tree->currentItem();
    m_current = current != nullptr ? KeyedTree::key(current) : QString();
    const KeyedTree::Node* top = m_tree->firstVisible();
    m_firstVisible = top != nullptr ? KeyedTree::key(top) : QString();
    m_selectionChanged = false;
}

void TreeFindLine::refresh() {
    m_entries.clear();
    m_matches.clear();
    if (m_tree) {
        m_entries.reserve(static_cast<std::size_t>(m_tree->nodeCount()));
        // Display order visits a parent before its children: the parents of the node at
        // hand are the places on the stack.
        std::vector<int> parents;
        for (KeyedTree::Node* node : m_tree->nodesInDisplayOrder()) {
            while (!parents.empty() &&
                   m_entries[static_cast<std::size_t>(parents.back())].node != node->parent()) {
                parents.pop_back();
            }
            QString folded = foldForFind(node->text(0));
            if (const QString more = KeyedTree::searchText(node); !more.isEmpty()) {
                folded += u'\n' + foldForFind(more);
            }
            const int parent = parents.empty() ? -1 : parents.back();
            parents.push_back(static_cast<int>(m_entries.size()));
            m_entries.push_back({node, parent, std::move(folded), node->isHidden()});
        }
    }
    m_stale = false;
}

void TreeFindLine::treeChanged() {
    m_stale = true;
    m_matches.clear();
    if (m_open && !text().isEmpty() && !m_refilterQueued) {
        m_refilterQueued = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_refilterQueued = false;
                if (m_open) {
                    filter();
                }
            },
            Qt::QueuedConnection);
    }
}

void TreeFindLine::setHidden(Entry& entry, bool hidden) {
    entry.node->setHidden(hidden);
    entry.hidden = hidden;
}

void TreeFindLine::filter() {
    if (!m_open || !m_tree) {
        return;
    }
    if (m_stale) {
        refresh();
    }
    const QString needle = foldForFind(text());
    const std::size_t count = m_entries.size();
    std::vector<char> shown(count, needle.isEmpty() ? 1 : 0);
    std::vector<char> expand(count, 0);
    m_matches.clear();
    if (!needle.isEmpty()) {
        for (std::size_t i = 0; i < count; ++i) {
            if (!m_entries[i].folded.contains(needle)) {
                continue;
            }
            m_matches.push_back(static_cast<int>(i));
            shown[i] = 1;
            // Its folders are shown and expanded, up to one shown already.
            for (int p = m_entries[i].parent; p >= 0;
                 p = m_entries[static_cast<std::size_t>(p)].parent) {
                const auto place = static_cast<std::size_t>(p);
                expand[place] = 1;
                if (shown[place]) {
                    break;
                }
                shown[place] = 1;
            }
        }
    }

    m_applying = true;
    // Hidden first: the view then lays out once, and expanding costs no layout of its own.
    for (std::size_t i = 0; i < count; ++i) {
        if (m_entries[i].hidden != !shown[i]) {
            setHidden(m_entries[i], !shown[i]);
        }
    }
    if (needle.isEmpty()) {
        restoreExpansion();
    } else {
        for (std::size_t i = 0; i < count; ++i) {
            if (expand[i] && !m_entries[i].node->isExpanded()) {
                m_entries[i].node->setExpanded(true);
            }
        }
        // What is selected is what is seen.
        deselectHidden();
    }
    m_applying = false;
}

void TreeFindLine::restoreExpansion() {
    for (auto it = m_expanded.cbegin(); it != m_expanded.cend(); ++it) {
        KeyedTree::Node* node = m_tree->node(it.key());
        if (node != nullptr && node->isExpanded() != it.value()) {
            node->setExpanded(it.value());
        }
    }
}

void TreeFindLine::nextMatch() {
    if (m_stale) {
        filter();
    }
    if (m_matches.empty() || !m_tree) {
        return;
    }
    // The first match after the current node in display order, else the first of all.
    const KeyedTree::Node* current = m_tree->currentItem();
    int from = -1;
    for (std::size_t i = 0; current != nullptr && i < m_entries.size(); ++i) {
        if (m_entries[i].node == current) {
            from = static_cast<int>(i);
            break;
        }
    }
    int next = m_matches.front();
    for (const int i : m_matches) {
        if (i > from) {
            next = i;
            break;
        }
    }
    m_tree->moveTo(m_entries[static_cast<std::size_t>(next)].node);
}

void TreeFindLine::restore() {
    if (!m_tree) {
        return;
    }
    if (m_stale) {
        refresh();
    }
    m_applying = true;
    for (Entry& entry : m_entries) {
        if (entry.hidden) {
            setHidden(entry, false);
        }
    }
    restoreExpansion();
    if (!m_selectionChanged) {
        m_tree->clearSelection();
        for (const QString& key : std::as_const(m_selected)) {
            if (KeyedTree::Node* node = m_tree->node(key)) {
                node->setSelected(true);
            }
        }
        if (KeyedTree::Node* current = m_tree->node(m_current)) {
            m_tree->setCurrentItem(current, 0, QItemSelectionModel::NoUpdate);
        }
        if (KeyedTree::Node* top = m_tree->node(m_firstVisible)) {
            m_tree->setFirstVisible(top);
        }
    } else {
        // The nodes chosen while finding stay chosen, and in sight.
        for (const KeyedTree::Node* node : m_tree->selectedNodes()) {
            for (KeyedTree::Node* p = node->parent(); p != nullptr; p = p->parent()) {
                p->setExpanded(true);
            }
        }
        if (KeyedTree::Node* current = m_tree->currentItem()) {
            m_tree->scrollToItem(current);
        }
    }
    m_applying = false;
}

void TreeFindLine::deselectHidden() {
    QItemSelection hidden;
    for (const QModelIndex& index : m_tree->selectionModel()->selectedIndexes()) {
        if (m_tree->isRowHidden(index.row(), index.parent())) {
            hidden.select(index, index);
        }
    }
    if (!hidden.isEmpty()) {
        m_tree->selectionModel()->select(hidden, QItemSelectionModel::Deselect);
    }
}

}  // namespace controls
