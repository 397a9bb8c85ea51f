// SPDX-License-Identifier: MIT
#include "controls/keyed_tree.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTreeWidgetItemIterator>

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace controls {

namespace {

constexpr int kKeyRole = Qt::UserRole;
constexpr int kImageRole = Qt::UserRole + 1;
constexpr int kExpandedImageRole = Qt::UserRole + 2;
constexpr int kSearchTextRole = Qt::UserRole + 3;
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

// A node of a KeyedTree: its key, and the look it shares with other nodes (see NodeLook)
// for the properties not set on the node itself.
class KeyedNode : public QTreeWidgetItem {
  public:
    KeyedNode(const QString& key, const QString& text,
              std::shared_ptr<const KeyedTree::NodeLook::Data> look = {})
        : QTreeWidgetItem(QStringList{text}), m_key(key), m_look(std::move(look)) {
        setFlags(flags() | Qt::ItemIsEditable);
    }

    QVariant data(int column, int role) const override {
        if (column == 0 && role == kKeyRole) {
            return m_key;
        }
        if (column == 0 && role == kSearchTextRole) {
            return m_searchText;
        }
        QVariant own = QTreeWidgetItem::data(column, role);
        if (own.isValid() || column != 0) {
            return own;
        }
        if (role == Qt::DecorationRole) {
            return shownImage();
        }
        if (!m_look) {
            return own;
        }
        switch (role) {
            case Qt::FontRole:
                return m_look->font;
            case Qt::ForegroundRole:
                return m_look->color;
            case kImageRole:
                return m_look->image;
            case kExpandedImageRole:
                return m_look->expandedImage;
            default:
                return own;
        }
    }

    // Kept beside the model's data: no role of the view changes with it.
    void setSearchText(const QString& text) { m_searchText = text; }

  private:
    // The image while collapsed, the expanded image (when there is one) while expanded; worked
    // out when the node is drawn, so that expanding and collapsing change nothing on the node.
    QVariant shownImage() const {
        auto* tree = qobject_cast<KeyedTree*>(treeWidget());
        if (tree == nullptr) {
            return {};
        }
        const QString expanded = data(0, kExpandedImageRole).toString();
        const bool open = !expanded.isEmpty() && isExpanded();
        return tree->imageList().icon(open ? expanded : data(0, kImageRole).toString());
    }

    QString m_key;
    QString m_searchText;
    std::shared_ptr<const KeyedTree::NodeLook::Data> m_look;
};

}  // namespace

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

KeyedTree::KeyedTree(QWidget* parent) : QTreeWidget(parent) {
    setColumnCount(1);
    setHeaderHidden(true);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setItemDelegate(new LabelDelegate(this));
    connect(this, &QTreeWidget::itemClicked, this, [this](Node* node) { Q_EMIT nodeClick(node); });
    // The width is forgotten before the view reacts to a change (the view's own handlers
    // below, and the signals that come first), since the view asks for it right away.
    const auto forgetWidth = [this] { m_widthHint = -1; };
    QAbstractItemModel* nodes = model();
    connect(nodes, &QAbstractItemModel::rowsAboutToBeMoved, this, forgetWidth);
    connect(nodes, &QAbstractItemModel::layoutAboutToBeChanged, this, forgetWidth);
    connect(nodes, &QAbstractItemModel::modelAboutToBeReset, this, forgetWidth);
    connect(this, &QTreeView::expanded, this, forgetWidth);
    connect(this, &QTreeView::collapsed, this, forgetWidth);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, forgetWidth);
}

void KeyedTree::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                            const QList<int>& roles) {
    m_widthHint = -1;
    QTreeWidget::dataChanged(topLeft, bottomRight, roles);
}

void KeyedTree::rowsInserted(const QModelIndex& parent, int start, int end) {
    m_widthHint = -1;
    QTreeWidget::rowsInserted(parent, start, end);
}

void KeyedTree::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) {
    m_widthHint = -1;
    QTreeWidget::rowsAboutToBeRemoved(parent, start, end);
}

KeyedTree::~KeyedTree() {
    // The model and the scroll bar go with the widgets below this one, after this part of
    // the tree is gone: they must not reach it on their way.
    disconnect(model(), nullptr, this, nullptr);
    disconnect(verticalScrollBar(), nullptr, this, nullptr);
    deleteNodes(invisibleRootItem()->takeChildren());
}

int KeyedTree::sizeHintForColumn(int column) const {
    if (column != 0) {
        return QTreeWidget::sizeHintForColumn(column);
    }
    if (m_widthHint < 0) {
        m_widthHint = QTreeWidget::sizeHintForColumn(column);
    }
    return m_widthHint;
}

void KeyedTree::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        m_widthHint = -1;
    }
    QTreeWidget::changeEvent(event);
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
    return insertNode(placeFor(parentKey), key, text, {});
}

KeyedTree::Node* KeyedTree::addNode(const QString& parentKey, const QString& key,
                                    const QString& text, const NodeLook& look) {
    return insertNode(placeFor(parentKey), key, text, look.m_data);
}

KeyedTree::Node* KeyedTree::addNode(Node* parentNode, const QString& key, const QString& text,
                                    const NodeLook& look) {
    return insertNode(parentNode, key, text, look.m_data);
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

KeyedTree::Node* KeyedTree::insertNode(Node* parentNode, const QString& key, const QString& text,
                                       std::shared_ptr<const NodeLook::Data> look) {
    Node* item = nullptr;
    if (key.isEmpty()) {
        item = new KeyedNode(key, text, std::move(look));
    } else {
        // One look-up both refuses a used key and keeps the place for the new node.
        const qsizetype before = m_byKey.size();
        Node*& place = m_byKey[NodeKey{key}];
        if (m_byKey.size() == before) {
            throw nodeError("a node already has the key", key);
        }
        item = place = new KeyedNode(key, text, std::move(look));
    }
    if (parentNode != nullptr) {
        parentNode->addChild(item);
    } else {
        addTopLevelItem(item);
    }
    m_order.push_back(item);
    return item;
}

KeyedTree::Node* KeyedTree::node(const QString& key) const {
    return m_byKey.value(NodeKey{key}, nullptr);
}

std::unordered_set<const KeyedTree::Node*> KeyedTree::forget(Node* node) {
    std::unordered_set<const Node*> gone;
    std::vector<Node*> pending{node};
    while (!pending.empty()) {
        Node* n = pending.back();
        pending.pop_back();
        gone.insert(n);
        for (int i = 0; i < n->childCount(); ++i) {
            pending.push_back(n->child(i));
        }
        const QString nodeKey = key(n);
        if (!nodeKey.isEmpty()) {
            m_byKey.remove(NodeKey{nodeKey});
        }
        if (m_dropHighlight == n) {
            m_dropHighlight = nullptr;
        }
    }
    return gone;
}

void KeyedTree::removeNode(Node* node) {
    if (node == nullptr) {
        return;
    }
    const std::unordered_set<const Node*> gone = forget(node);
    std::erase_if(m_order, [&gone](const Node* candidate) { return gone.count(candidate) != 0; });
    deleteNodes(node->takeChildren());
    delete node;
}

void KeyedTree::clearNodes() {
    // A tree that is emptied is mostly filled again with about as many nodes.
    const qsizetype previous = m_byKey.size();
    m_byKey.clear();
    m_byKey.reserve(previous);
    m_order.clear();
    m_dropHighlight = nullptr;
    // Told that the current node is gone, the view would repaint its row, measuring every
    // row above it first (tens of milliseconds deep in a large tree); all rows go at once
    // right after, which resets the view anyway.
    {
        const QSignalBlocker quiet(selectionModel());
        selectionModel()->clear();
    }
    deleteNodes(invisibleRootItem()->takeChildren());
    clear();
}

void KeyedTree::deleteNodes(QList<QTreeWidgetItem*> nodes) {
    // Qt deletes an item's children from the item's destructor, one call deeper for each
    // level: a tree tens of thousands of levels deep would exhaust the stack. Taking the
    // children from the top is no way out either, since each take walks the whole subtree
    // below (quadratic in a deep chain). So the nodes are listed breadth first and emptied
    // from the last: every node is then emptied after all of its descendants, and each
    // take and each delete touches childless nodes only.
    std::vector<QTreeWidgetItem*> order(nodes.begin(), nodes.end());
    for (std::size_t i = 0; i < order.size(); ++i) {
        const QTreeWidgetItem* n = order[i];
        for (int c = 0; c < n->childCount(); ++c) {
            order.push_back(n->child(c));
        }
    }
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        qDeleteAll((*it)->takeChildren());
    }
    qDeleteAll(nodes);
}

KeyedTree::Node* KeyedTree::nodeAt(int index) const {
    if (index < 0 || index >= nodeCount()) {
        return nullptr;
    }
    return m_order[static_cast<std::size_t>(index)];
}

int KeyedTree::indexOf(const Node* node) const {
    const auto it = std::find(m_order.begin(), m_order.end(), node);
    return it == m_order.end() ? -1 : static_cast<int>(it - m_order.begin());
}

QString KeyedTree::key(const Node* node) {
    return node->data(0, kKeyRole).toString();
}

void KeyedTree::setSearchText(Node* node, const QString& text) {
    if (auto* keyed = dynamic_cast<KeyedNode*>(node)) {
        keyed->setSearchText(text);
    }
}

QString KeyedTree::searchText(const Node* node) {
    return node->data(0, kSearchTextRole).toString();
}

void KeyedTree::setNodeFont(Node* node, int pointSize, bool bold) {
    QFont font = node->font(0);
    font.setPointSize(pointSize);
    font.setBold(bold);
    node->setFont(0, font);
}

int KeyedTree::fontSize(const Node* node) {
    return node->font(0).pointSize();
}

bool KeyedTree::isBold(const Node* node) {
    return node->font(0).bold();
}

void KeyedTree::setNodeColor(Node* node, const QColor& color) {
    node->setForeground(0, QBrush(color));
}

QColor KeyedTree::nodeColor(const Node* node) {
    return node->foreground(0).color();
}

void KeyedTree::setImage(Node* node, const QString& imageKey) {
    node->setData(0, kImageRole, imageKey);
}

QString KeyedTree::image(const Node* node) {
    return node->data(0, kImageRole).toString();
}

void KeyedTree::setExpandedImage(Node* node, const QString& imageKey) {
    node->setData(0, kExpandedImageRole, imageKey);
}

QString KeyedTree::expandedImage(const Node* node) {
    return node->data(0, kExpandedImageRole).toString();
}

KeyedTree::Node* KeyedTree::rootOf(Node* node) {
    while (node != nullptr && node->parent() != nullptr) {
        node = node->parent();
    }
    return node;
}

KeyedTree::Node* KeyedTree::firstChild(const Node* node) {
    return node->childCount() > 0 ? node->child(0) : nullptr;
}

namespace {

// The siblings of node: its parent's children, or the top-level nodes.
int siblingCount(const QTreeWidgetItem* node) {
    return node->parent() != nullptr ? node->parent()->childCount()
                                     : node->treeWidget()->topLevelItemCount();
}

QTreeWidgetItem* sibling(const QTreeWidgetItem* node, int index) {
    if (index < 0 || index >= siblingCount(node)) {
        return nullptr;
    }
    return node->parent() != nullptr ? node->parent()->child(index)
                                     : node->treeWidget()->topLevelItem(index);
}

int siblingIndex(const QTreeWidgetItem* node) {
    auto* item = const_cast<QTreeWidgetItem*>(node);
    return node->parent() != nullptr ? node->parent()->indexOfChild(item)
                                     : node->treeWidget()->indexOfTopLevelItem(item);
}

}  // namespace

KeyedTree::Node* KeyedTree::previousSibling(const Node* node) {
    return sibling(node, siblingIndex(node) - 1);
}

KeyedTree::Node* KeyedTree::nextSibling(const Node* node) {
    return sibling(node, siblingIndex(node) + 1);
}

KeyedTree::Node* KeyedTree::lastSibling(const Node* node) {
    return sibling(node, siblingCount(node) - 1);
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

QList<KeyedTree::Node*> KeyedTree::selectedNodes() const {
    QList<Node*> nodes;
    for (QTreeWidgetItemIterator it(const_cast<KeyedTree*>(this),
                                    QTreeWidgetItemIterator::Selected);
         *it != nullptr; ++it) {
        nodes.append(*it);
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
        editItem(node, 0);
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
    const QSize base = QTreeWidget::minimumSizeHint();
    return {std::max(base.width(), 2 * frameWidth() + names + scrollBar), base.height()};
}

KeyedTree::Node* KeyedTree::hitTest(const QPoint& pos) const {
    return itemAt(pos);
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
        QTreeWidget::drawRow(painter, marked, index);
        return;
    }
    QTreeWidget::drawRow(painter, option, index);
}

QPixmap KeyedTree::createDragImage(const Node* node) const {
    if (node == nullptr) {
        return {};
    }
    const QIcon icon = node->icon(0);
    const QString text = node->text(0);
    const QFontMetrics metrics(node->font(0));
    const int iconSize = 16;
    const int gap = 3;
    const int height = std::max(iconSize, metrics.height()) + 2;
    QPixmap pixmap(iconSize + gap + metrics.horizontalAdvance(text) + 2, height);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    icon.paint(&painter, QRect(0, (height - iconSize) / 2, iconSize, iconSize));
    painter.setFont(node->font(0));
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
    QTreeWidget::mousePressEvent(event);
}

void KeyedTree::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (m_dragging) {
        Q_EMIT dragOver(itemAt(pos), pos);
        return;
    }
    Q_EMIT mouseMove(event->buttons(), event->modifiers(), pos);
    if (!m_dragging) {  // a handler may have begun a drag
        QTreeWidget::mouseMoveEvent(event);
    }
}

void KeyedTree::mouseReleaseEvent(QMouseEvent* event) {
    if (m_dragging && event->button() == Qt::LeftButton) {
        const QPoint pos = event->position().toPoint();
        finishDrag();
        Q_EMIT dragDrop(itemAt(pos), pos);
        return;
    }
    QTreeWidget::mouseReleaseEvent(event);
}

void KeyedTree::keyPressEvent(QKeyEvent* event) {
    if (m_dragging && event->key() == Qt::Key_Escape) {
        cancelDrag();
        return;
    }
    if (m_keyMoves == KeyMoves::Plain) {
        QTreeWidget::keyPressEvent(event);
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
    QTreeWidget::keyPressEvent(event);
    if (Node* now = currentItem(); now != nullptr && now != before) {
        Q_EMIT nodeClick(now);
    }
}

}  // namespace controls
