// SPDX-License-Identifier: MIT
#include "controls/keyed_tree.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace controls {

namespace {

constexpr double kTwipsPerInch = 1440.0;

std::invalid_argument nodeError(const char* what, const QString& key) {
    return std::invalid_argument(std::string(what) + " '" + key.toStdString() + "'");
}

QFont nodeFont(int pointSize, bool bold) {
    QFont font;
    font.setPointSize(pointSize);
    font.setBold(bold);
    return font;
}

}  // namespace

// The nodes as the view sees them: one column, a row per node below its parent. Every index
// points at its node; the top level is kept here.
class KeyedTreeModel : public QAbstractItemModel {
  public:
    using Node = KeyedTree::Node;

    explicit KeyedTreeModel(KeyedTree* tree) : QAbstractItemModel(tree) {}

    static Node* nodeOf(const QModelIndex& index) {
        return index.isValid() ? static_cast<Node*>(index.internalPointer()) : nullptr;
    }
    QModelIndex indexOf(const Node* node) const {
        return node == nullptr ? QModelIndex()
                               : createIndex(node->m_row, 0, const_cast<Node*>(node));
    }
    const std::vector<Node*>& childrenOf(const Node* node) const {
        return node == nullptr ? m_top : node->m_children;
    }
    std::vector<Node*>& childrenOf(Node* node) {
        return node == nullptr ? m_top : node->m_children;
    }

    QModelIndex index(int row, int column, const QModelIndex& parent) const override {
        if (column != 0 || row < 0 || parent.column() > 0) {
            return {};
        }
        const std::vector<Node*>& list = childrenOf(nodeOf(parent));
        if (static_cast<std::size_t>(row) >= list.size()) {
            return {};
        }
        return createIndex(row, 0, list[static_cast<std::size_t>(row)]);
    }
    QModelIndex parent(const QModelIndex& child) const override {
        const Node* node = nodeOf(child);
        return node == nullptr ? QModelIndex() : indexOf(node->m_parent);
    }
    int rowCount(const QModelIndex& parent) const override {
        return parent.column() > 0 ? 0 : static_cast<int>(childrenOf(nodeOf(parent)).size());
    }
    int columnCount(const QModelIndex& /*parent*/) const override { return 1; }
    bool hasChildren(const QModelIndex& parent) const override {
        return parent.column() <= 0 && !childrenOf(nodeOf(parent)).empty();
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        if (!index.isValid()) {
            return Qt::NoItemFlags;
        }
        return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        const Node* node = nodeOf(index);
        if (node == nullptr) {
            return {};
        }
        switch (role) {
            case Qt::DisplayRole:
            case Qt::EditRole:
                return node->m_text;
            case Qt::DecorationRole:
                return node->icon();
            case Qt::FontRole:
                return node->m_look ? QVariant(node->m_look->font) : QVariant();
            case Qt::ForegroundRole:
                return node->m_look ? QVariant(node->m_look->color) : QVariant();
            default:
                return {};
        }
    }

    // Each node added below parent as its last child, the view told once.
    void append(Node* parent, std::span<Node* const> nodes) {
        std::vector<Node*>& list = childrenOf(parent);
        const int first = static_cast<int>(list.size());
        beginInsertRows(indexOf(parent), first, first + static_cast<int>(nodes.size()) - 1);
        for (Node* node : nodes) {
            node->m_row = static_cast<int>(list.size());
            list.push_back(node);
        }
        endInsertRows();
    }
    // The new nodes below nodes added in the same go: no view knows their parents yet.
    static void appendUnseen(Node* parent, Node* node) {
        node->m_row = static_cast<int>(parent->m_children.size());
        parent->m_children.push_back(node);
    }
    // Takes node out of its parent's children.
    void detach(Node* node) {
        std::vector<Node*>& list = childrenOf(node->m_parent);
        const int row = node->m_row;
        beginRemoveRows(indexOf(node->m_parent), row, row);
        list.erase(list.begin() + row);
        for (auto i = static_cast<std::size_t>(row); i < list.size(); ++i) {
            list[i]->m_row = static_cast<int>(i);
        }
        endRemoveRows();
    }
    // Takes every node out; returns the top level.
    std::vector<Node*> takeAll() {
        beginResetModel();
        std::vector<Node*> top;
        top.swap(m_top);
        endResetModel();
        return top;
    }
    // Deletes nodes with everything below them, without recursion: a chain tens of thousands
    // of levels deep must not take a stack frame per level.
    static void deleteSubtrees(std::vector<Node*> pending) {
        while (!pending.empty()) {
            Node* n = pending.back();
            pending.pop_back();
            pending.insert(pending.end(), n->m_children.begin(), n->m_children.end());
            n->m_children.clear();
            delete n;
        }
    }
    // The sibling `offset` places from node, or nullptr.
    static Node* sibling(const Node* node, long offset) {
        const std::vector<Node*>& list = node->m_tree->m_model->childrenOf(node->m_parent);
        const long at = node->m_row + offset;
        return at >= 0 && at < static_cast<long>(list.size()) ? list[static_cast<std::size_t>(at)]
                                                              : nullptr;
    }
    void changed(const Node* node) {
        const QModelIndex index = indexOf(node);
        Q_EMIT dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    }

  private:
    std::vector<Node*> m_top;
};

KeyedTree::Node::Node(KeyedTree* tree, Node* parent, const QString& key, const QString& text,
                      std::shared_ptr<const NodeLook::Data> look)
    : m_tree(tree), m_parent(parent), m_key(key), m_text(text), m_look(std::move(look)) {}

QString KeyedTree::Node::text(int /*column*/) const {
    return m_text;
}

void KeyedTree::Node::setText(int /*column*/, const QString& text) {
    if (text != m_text) {
        m_text = text;
        m_tree->m_model->changed(this);
    }
}

KeyedTree::Node* KeyedTree::Node::child(int index) const {
    return index >= 0 && index < childCount() ? m_children[static_cast<std::size_t>(index)]
                                              : nullptr;
}

bool KeyedTree::Node::isExpanded() const {
    return m_tree->isExpanded(m_tree->indexFromItem(this));
}

void KeyedTree::Node::setExpanded(bool expanded) {
    m_tree->setExpanded(m_tree->indexFromItem(this), expanded);
}

bool KeyedTree::Node::isSelected() const {
    return m_tree->selectionModel()->isSelected(m_tree->indexFromItem(this));
}

void KeyedTree::Node::setSelected(bool selected) {
    m_tree->selectionModel()->select(
        m_tree->indexFromItem(this),
        selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
}

bool KeyedTree::Node::isHidden() const {
    return m_tree->isRowHidden(m_row, m_tree->indexFromItem(m_parent));
}

void KeyedTree::Node::setHidden(bool hidden) {
    m_tree->setRowHidden(m_row, m_tree->indexFromItem(m_parent), hidden);
}

QFont KeyedTree::Node::font(int /*column*/) const {
    return m_look ? m_look->font : QFont();
}

QBrush KeyedTree::Node::foreground(int /*column*/) const {
    return m_look ? m_look->color : QBrush();
}

QIcon KeyedTree::Node::icon(int /*column*/) const {
    // The expanded image (when there is one) while expanded: worked out when the node is
    // drawn, so that expanding and collapsing change nothing on the node.
    if (!m_look) {
        return {};
    }
    const bool open = !m_look->expandedImage.isEmpty() && isExpanded();
    return m_tree->imageList().icon(open ? m_look->expandedImage : m_look->image);
}

// Hands a finished label edit to the tree, which asks the after-label-edit handler.
class LabelDelegate : public QStyledItemDelegate {
  public:
    explicit LabelDelegate(KeyedTree* tree) : QStyledItemDelegate(tree), m_tree(tree) {}

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        (void)model;
        if (auto* line = qobject_cast<QLineEdit*>(editor)) {
            m_tree->commitLabel(index, line->text());
        }
    }

  private:
    KeyedTree* m_tree;
};

KeyedTree::KeyedTree(QWidget* parent) : QTreeView(parent), m_model(new KeyedTreeModel(this)) {
    setModel(m_model);
    setHeaderHidden(true);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setItemDelegate(new LabelDelegate(this));
    connect(this, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { Q_EMIT nodeClick(itemFromIndex(index)); });
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { Q_EMIT nodeDoubleClick(itemFromIndex(index)); });
    // The width is forgotten before the view reacts to a change (the view's own handlers
    // below, and the signals that come first), since the view asks for it right away.
    const auto forgetWidth = [this] { m_widthHint = -1; };
    connect(m_model, &QAbstractItemModel::rowsAboutToBeMoved, this, forgetWidth);
    connect(m_model, &QAbstractItemModel::layoutAboutToBeChanged, this, forgetWidth);
    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this, forgetWidth);
    connect(this, &QTreeView::expanded, this, forgetWidth);
    connect(this, &QTreeView::collapsed, this, forgetWidth);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, forgetWidth);
}

void KeyedTree::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                            const QList<int>& roles) {
    m_widthHint = -1;
    QTreeView::dataChanged(topLeft, bottomRight, roles);
}

void KeyedTree::rowsInserted(const QModelIndex& parent, int start, int end) {
    m_widthHint = -1;
    QTreeView::rowsInserted(parent, start, end);
}

void KeyedTree::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) {
    m_widthHint = -1;
    QTreeView::rowsAboutToBeRemoved(parent, start, end);
}

KeyedTree::~KeyedTree() {
    // The model and the scroll bar go with the widgets below this one, after this part of
    // the tree is gone: they must not reach it on their way.
    disconnect(m_model, nullptr, this, nullptr);
    disconnect(verticalScrollBar(), nullptr, this, nullptr);
    KeyedTreeModel::deleteSubtrees(m_model->takeAll());
}

int KeyedTree::sizeHintForColumn(int column) const {
    if (column != 0) {
        return QTreeView::sizeHintForColumn(column);
    }
    if (m_widthHint < 0) {
        m_widthHint = QTreeView::sizeHintForColumn(column);
    }
    return m_widthHint;
}

void KeyedTree::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        m_widthHint = -1;
    }
    QTreeView::changeEvent(event);
}

void KeyedTree::setImageList(const ImageList& images) {
    m_images = images;
    viewport()->update();
}

KeyedTree::NodeLook::NodeLook(int pointSize, bool bold, const QColor& color,
                              const QString& imageKey, const QString& expandedImageKey)
    : m_data(std::make_shared<const Data>(
          Data{nodeFont(pointSize, bold), QBrush(color), imageKey, expandedImageKey})) {}

KeyedTree::Node* KeyedTree::addNode(const QString& parentKey, const QString& key,
                                    const QString& text) {
    const NewNode one{-1, key, text, {}, nullptr};
    return addNodes(placeFor(parentKey), {&one, 1}).front();
}

KeyedTree::Node* KeyedTree::addNode(const QString& parentKey, const QString& key,
                                    const QString& text, const NodeLook& look) {
    const NewNode one{-1, key, text, {}, &look};
    return addNodes(placeFor(parentKey), {&one, 1}).front();
}

KeyedTree::Node* KeyedTree::addNode(Node* parentNode, const QString& key, const QString& text,
                                    const NodeLook& look) {
    const NewNode one{-1, key, text, {}, &look};
    return addNodes(parentNode, {&one, 1}).front();
}

std::vector<KeyedTree::Node*> KeyedTree::addNodes(Node* under, std::span<const NewNode> nodes) {
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (nodes[i].parent >= static_cast<int>(i)) {
            throw nodeError("a node is added before its parent", nodes[i].key);
        }
    }
    std::vector<Node*> made;
    made.reserve(nodes.size());
    std::vector<Node*> direct;  // the new children of under
    for (const NewNode& n : nodes) {
        Node* parent = n.parent < 0 ? under : made[static_cast<std::size_t>(n.parent)];
        Node* node =
            new Node(this, parent, n.key, n.text, n.look != nullptr ? n.look->m_data : nullptr);
        node->m_searchText = n.searchText;
        if (n.parent < 0) {
            direct.push_back(node);
        } else {
            KeyedTreeModel::appendUnseen(parent, node);
        }
        made.push_back(node);
    }
    // One look-up both refuses a used key and keeps the place for the new node. On a refusal
    // the keys taken so far are given back, and the tree is as it was.
    m_byKey.reserve(m_byKey.size() + static_cast<qsizetype>(nodes.size()));
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const QString& key = nodes[i].key;
        if (key.isEmpty()) {
            continue;
        }
        const qsizetype before = m_byKey.size();
        Node*& place = m_byKey[NodeKey{key}];
        if (m_byKey.size() == before) {
            for (std::size_t j = 0; j < i; ++j) {
                if (!nodes[j].key.isEmpty()) {
                    m_byKey.remove(NodeKey{nodes[j].key});
                }
            }
            for (Node* node : made) {
                delete node;
            }
            throw nodeError("a node already has the key", key);
        }
        place = made[i];
    }
    m_order.insert(m_order.end(), made.begin(), made.end());
    if (!direct.empty()) {
        m_model->append(under, direct);
    }
    if (nodes.size() > 1) {
        // The view lays the rows out again before it next draws: nodes expanded meanwhile
        // cost it nothing each.
        scheduleDelayedItemsLayout();
    }
    return made;
}

KeyedTree::Node* KeyedTree::placeFor(const QString& parentKey) const {
    if (parentKey.isEmpty()) {
        return nullptr;
    }
    Node* parentNode = node(parentKey);
    if (parentNode == nullptr) {
        throw nodeError("no node has the key", parentKey);
    }
    return parentNode;
}

KeyedTree::Node* KeyedTree::node(const QString& key) const {
    return m_byKey.value(NodeKey{key}, nullptr);
}

void KeyedTree::removeNode(Node* node) {
    if (node == nullptr) {
        return;
    }
    // Marked first, then taken out of the view, then forgotten and deleted.
    std::vector<Node*> subtree{node};
    for (std::size_t i = 0; i < subtree.size(); ++i) {
        Node* n = subtree[i];
        n->m_gone = true;
        subtree.insert(subtree.end(), n->m_children.begin(), n->m_children.end());
    }
    m_model->detach(node);
    for (const Node* n : subtree) {
        if (!n->m_key.isEmpty()) {
            m_byKey.remove(NodeKey{n->m_key});
        }
        if (m_dropHighlight == n) {
            m_dropHighlight = nullptr;
        }
    }
    std::erase_if(m_order, [](const Node* candidate) { return candidate->m_gone; });
    KeyedTreeModel::deleteSubtrees({node});
}

void KeyedTree::clearNodes() {
    // A tree that is emptied is mostly filled again with about as many nodes.
    const qsizetype previous = m_byKey.size();
    m_byKey.clear();
    m_byKey.reserve(previous);
    m_order.clear();
    m_dropHighlight = nullptr;
    KeyedTreeModel::deleteSubtrees(m_model->takeAll());
}

KeyedTree::Node* KeyedTree::nodeAt(int index) const {
    if (index < 0 || index >= nodeCount()) {
        return nullptr;
    }
    return m_order[static_cast<std::size_t>(index)];
}

QString KeyedTree::key(const Node* node) {
    return node->m_key;
}

void KeyedTree::setSearchText(Node* node, const QString& text) {
    node->m_searchText = text;
}

QString KeyedTree::searchText(const Node* node) {
    return node->m_searchText;
}

int KeyedTree::fontSize(const Node* node) {
    return node->font().pointSize();
}

bool KeyedTree::isBold(const Node* node) {
    return node->font().bold();
}

QColor KeyedTree::nodeColor(const Node* node) {
    return node->foreground().color();
}

QString KeyedTree::image(const Node* node) {
    return node->m_look ? node->m_look->image : QString();
}

QString KeyedTree::expandedImage(const Node* node) {
    return node->m_look ? node->m_look->expandedImage : QString();
}

KeyedTree::Node* KeyedTree::rootOf(Node* node) {
    while (node != nullptr && node->parent() != nullptr) {
        node = node->parent();
    }
    return node;
}

KeyedTree::Node* KeyedTree::firstChild(const Node* node) {
    return node->child(0);
}

KeyedTree::Node* KeyedTree::previousSibling(const Node* node) {
    return KeyedTreeModel::sibling(node, -1);
}

KeyedTree::Node* KeyedTree::nextSibling(const Node* node) {
    return KeyedTreeModel::sibling(node, 1);
}

KeyedTree::Node* KeyedTree::lastSibling(const Node* node) {
    const auto& list = node->m_tree->m_model->childrenOf(node->parent());
    return list.back();
}

int KeyedTree::topLevelItemCount() const {
    return static_cast<int>(m_model->childrenOf(nullptr).size());
}

KeyedTree::Node* KeyedTree::topLevelItem(int index) const {
    const auto& top = m_model->childrenOf(nullptr);
    return index >= 0 && index < static_cast<int>(top.size()) ? top[static_cast<std::size_t>(index)]
                                                              : nullptr;
}

std::vector<KeyedTree::Node*> KeyedTree::nodesInDisplayOrder() const {
    std::vector<Node*> nodes;
    nodes.reserve(m_order.size());
    const std::vector<Node*>& top = m_model->childrenOf(nullptr);
    std::vector<Node*> pending(top.rbegin(), top.rend());
    while (!pending.empty()) {
        Node* n = pending.back();
        pending.pop_back();
        nodes.push_back(n);
        pending.insert(pending.end(), n->m_children.rbegin(), n->m_children.rend());
    }
    return nodes;
}

KeyedTree::Node* KeyedTree::itemBelow(const Node* node) const {
    return itemFromIndex(indexBelow(indexFromItem(node)));
}

KeyedTree::Node* KeyedTree::itemFromIndex(const QModelIndex& index) const {
    return index.model() == m_model ? KeyedTreeModel::nodeOf(index) : nullptr;
}

QModelIndex KeyedTree::indexFromItem(const Node* node) const {
    return m_model->indexOf(node);
}

void KeyedTree::setFirstVisible(Node* node) {
    if (node == nullptr) {
        return;
    }
    if (node == topLevelItem(0)) {
        // The very first row needs no layout of the rows below it, which would otherwise
        // be done here for the whole tree just after it was filled.
        verticalScrollBar()->setValue(0);
        return;
    }
    scrollToItem(node, QAbstractItemView::PositionAtTop);
}

KeyedTree::Node* KeyedTree::firstVisible() const {
    return itemAt(QPoint(1, 1));
}

void KeyedTree::scrollToItem(const Node* node, ScrollHint hint) {
    scrollTo(indexFromItem(node), hint);
}

QRect KeyedTree::visualItemRect(const Node* node) const {
    return visualRect(indexFromItem(node));
}

int KeyedTree::rowHeight() const {
    if (Node* top = firstVisible()) {
        const int height = visualItemRect(top).height();
        if (height > 0) {
            return height;
        }
    }
    return fontMetrics().height() + 2;
}

int KeyedTree::visibleCount() const {
    return viewport()->height() / rowHeight();
}

KeyedTree::Node* KeyedTree::visibleNode(int row) const {
    if (row < 1) {
        return nullptr;
    }
    Node* node = firstVisible();
    for (int i = 1; i < row && node != nullptr; ++i) {
        node = itemBelow(node);
    }
    return node;
}

void KeyedTree::setIndentationTwips(int twips) {
    m_indentationTwips = twips;
    m_widthHint = -1;
    setIndentation(qRound(twips * logicalDpiX() / kTwipsPerInch));
}

KeyedTree::Node* KeyedTree::currentItem() const {
    return itemFromIndex(currentIndex());
}

void KeyedTree::setCurrentItem(const Node* node) {
    setCurrentIndex(indexFromItem(node));
}

void KeyedTree::setCurrentItem(const Node* node, int /*column*/,
                               QItemSelectionModel::SelectionFlags command) {
    selectionModel()->setCurrentIndex(indexFromItem(node), command);
}

QList<KeyedTree::Node*> KeyedTree::selectedNodes() const {
    // In display order: by the places of the nodes and their ancestors, from the top.
    struct Placed {
        std::vector<int> path;
        Node* node;
    };
    std::vector<Placed> placed;
    for (const QModelIndex& index : selectionModel()->selectedIndexes()) {
        Node* node = itemFromIndex(index);
        if (node == nullptr) {
            continue;
        }
        Placed p{{}, node};
        for (const Node* n = node; n != nullptr; n = n->m_parent) {
            p.path.push_back(n->m_row);
        }
        std::reverse(p.path.begin(), p.path.end());
        placed.push_back(std::move(p));
    }
    std::sort(placed.begin(), placed.end(),
              [](const Placed& a, const Placed& b) { return a.path < b.path; });
    QList<Node*> nodes;
    nodes.reserve(static_cast<qsizetype>(placed.size()));
    for (const Placed& p : placed) {
        nodes.append(p.node);
    }
    return nodes;
}

void KeyedTree::moveTo(Node* node) {
    if (node == nullptr) {
        return;
    }
    setCurrentItem(node, 0, QItemSelectionModel::ClearAndSelect);
    scrollToItem(node);
    if (m_keyMoves == KeyMoves::AsClicks) {
        Q_EMIT nodeClick(node);
    }
}

void KeyedTree::setLabelEdit(LabelEdit mode) {
    m_labelEdit = mode;
    setEditTriggers(mode == LabelEdit::Automatic
                        ? QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed
                        : QAbstractItemView::NoEditTriggers);
}

void KeyedTree::startLabelEdit(Node* node) {
    if (node != nullptr) {
        setCurrentItem(node, 0, QItemSelectionModel::NoUpdate);
        edit(indexFromItem(node));
    }
}

void KeyedTree::commitLabel(const QModelIndex& index, const QString& text) {
    Node* node = itemFromIndex(index);
    if (node == nullptr) {
        return;
    }
    QString newText = text;
    bool cancel = false;
    if (m_afterLabelEdit) {
        m_afterLabelEdit(node, newText, cancel);
    }
    if (!cancel) {
        node->setText(0, newText);
    }
}

QSize KeyedTree::minimumSizeHint() const {
    constexpr int kWidestInLines = 16;  // a wider name scrolls
    const int names = std::min(sizeHintForColumn(0), kWidestInLines * fontMetrics().height());
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const QSize base = QTreeView::minimumSizeHint();
    return {std::max(base.width(), 2 * frameWidth() + names + scrollBar), base.height()};
}

KeyedTree::Node* KeyedTree::hitTest(const QPoint& pos) const {
    return itemFromIndex(indexAt(pos));
}

void KeyedTree::setDropHighlight(Node* node) {
    if (node == m_dropHighlight) {
        return;
    }
    m_dropHighlight = node;
    viewport()->update();
}

void KeyedTree::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const {
    if (m_dropHighlight != nullptr && itemFromIndex(index) == m_dropHighlight) {
        QStyleOptionViewItem marked = option;
        marked.state |= QStyle::State_Selected;
        QTreeView::drawRow(painter, marked, index);
        return;
    }
    QTreeView::drawRow(painter, option, index);
}

QPixmap KeyedTree::createDragImage(const Node* node) const {
    if (node == nullptr) {
        return {};
    }
    const QIcon icon = node->icon(0);
    const QString text = node->text(0);
    const QFont font = node->font(0);
    const QFontMetrics metrics(font);
    const int iconSize = 16;
    const int gap = 3;
    const int height = std::max(iconSize, metrics.height()) + 2;
    QPixmap pixmap(iconSize + gap + metrics.horizontalAdvance(text) + 2, height);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    icon.paint(&painter, QRect(0, (height - iconSize) / 2, iconSize, iconSize));
    painter.setFont(font);
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(QRect(iconSize + gap, 0, pixmap.width() - iconSize - gap, height),
                     Qt::AlignVCenter | Qt::AlignLeft, text);
    return pixmap;
}

void KeyedTree::beginDrag(const QPixmap& image) {
    if (m_dragging) {
        return;
    }
    m_dragging = true;
    viewport()->setCursor(image.isNull() ? QCursor(Qt::DragMoveCursor) : QCursor(image, 0, 0));
    Q_EMIT dragStarted(selectedNodes());
}

void KeyedTree::finishDrag() {
    m_dragging = false;
    viewport()->unsetCursor();
    // The press that began the drag left the view selecting; the release never reaches it.
    setState(QAbstractItemView::NoState);
}

void KeyedTree::cancelDrag() {
    if (m_dragging) {
        finishDrag();
        Q_EMIT dragCancelled();
    }
}

void KeyedTree::mousePressEvent(QMouseEvent* event) {
    Q_EMIT mouseDown(event->button(), event->modifiers(), event->position().toPoint());
    QTreeView::mousePressEvent(event);
}

void KeyedTree::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (m_dragging) {
        Q_EMIT dragOver(itemAt(pos), pos);
        return;
    }
    Q_EMIT mouseMove(event->buttons(), event->modifiers(), pos);
    if (!m_dragging) {  // a handler may have begun a drag
        QTreeView::mouseMoveEvent(event);
    }
}

void KeyedTree::mouseReleaseEvent(QMouseEvent* event) {
    if (m_dragging && event->button() == Qt::LeftButton) {
        const QPoint pos = event->position().toPoint();
        finishDrag();
        Q_EMIT dragDrop(itemAt(pos), pos);
        return;
    }
    QTreeView::mouseReleaseEvent(event);
}

void KeyedTree::keyPressEvent(QKeyEvent* event) {
    if (m_dragging && event->key() == Qt::Key_Escape) {
        cancelDrag();
        return;
    }
    if (m_keyMoves == KeyMoves::Plain) {
        QTreeView::keyPressEvent(event);
        return;
    }
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_Space && (mods == Qt::NoModifier || mods == Qt::ControlModifier) &&
        currentIndex().isValid() && state() != QAbstractItemView::EditingState) {
        selectionModel()->select(currentIndex(), QItemSelectionModel::Toggle);
        event->accept();
        return;
    }
    const Node* before = currentItem();
    QTreeView::keyPressEvent(event);
    if (Node* now = currentItem(); now != nullptr && now != before) {
        Q_EMIT nodeClick(now);
    }
}

}  // namespace controls
