// SPDX-License-Identifier: MIT
#pragma once

#include "controls/image_list.h"

#include <QBrush>
#include <QFont>
#include <QHash>
#include <QIcon>
#include <QList>
#include <QMetaType>
#include <QPixmap>
#include <QTreeView>

#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace controls {

class KeyedTreeModel;

// A tree of keyed nodes: every node carries a key that is unique in the tree and is found by
// it. Nodes are added as the last child of the node with a given key; they remember the order
// in which they were added, so the tree can also be read as a flat list by index.
//
// The nodes are plain values kept by the tree's model; the view asks for what it draws, so a
// tree of a hundred thousand nodes costs on screen what its visible rows cost. (Rows keep
// their own heights: a name in another script may need a taller line, as before.)
//
// The column is as wide as the widest name shown: a tree narrower than a name scrolls
// sideways instead of cutting it.
//
// Each node shows an image from the tree's image list by key, and its expanded image while it
// is expanded. Coordinates (hitTest(), the mouse and drag signals) are those of the viewport,
// the same as the mouse events of the tree.
//
// Dragging is the program's own: on mouseMove() a handler may call beginDrag(); from then on
// the tree reports dragOver() while the pointer moves and dragDrop() when the button is
// released (or dragCancelled() on Escape). The tree itself never moves a node.
class KeyedTree : public QTreeView {
    Q_OBJECT

  public:
    // How a node looks: font, text colour, image and expanded image. Made once and given to
    // addNode() for many nodes, it is shared by them rather than set on each.
    class NodeLook {
      public:
        NodeLook(int pointSize, bool bold, const QColor& color, const QString& imageKey,
                 const QString& expandedImageKey = {});

        struct Data {
            QFont font;
            QBrush color;
            QString image;
            QString expandedImage;
        };

      private:
        friend class KeyedTree;
        friend class KeyedTreeModel;
        std::shared_ptr<const Data> m_data;
    };

    // A node of the tree. It lives as long as it is in the tree (removeNode(), clearNodes()
    // and the tree's end delete it); what it shows on screen it tells the tree's view.
    class Node {
      public:
        Node(const Node&) = delete;
        Node& operator=(const Node&) = delete;

        // The name shown (column 0 is the only one).
        QString text(int column = 0) const;
        void setText(int column, const QString& text);

        // The parent node, nullptr at the top level.
        Node* parent() const { return m_parent; }
        int childCount() const { return static_cast<int>(m_children.size()); }
        Node* child(int index) const;

        bool isExpanded() const;
        void setExpanded(bool expanded);
        bool isSelected() const;
        void setSelected(bool selected);
        bool isHidden() const;
        void setHidden(bool hidden);

        QFont font(int column = 0) const;
        QBrush foreground(int column = 0) const;
        QIcon icon(int column = 0) const;

      private:
        friend class KeyedTree;
        friend class KeyedTreeModel;
        Node(KeyedTree* tree, Node* parent, const QString& key, const QString& text,
             std::shared_ptr<const NodeLook::Data> look);
        ~Node() = default;

        KeyedTree* m_tree;
        Node* m_parent;
        int m_row = 0;        // the place among its parent's children
        bool m_gone = false;  // being removed
        std::vector<Node*> m_children;
        QString m_key;
        QString m_text;
        QString m_searchText;
        std::shared_ptr<const NodeLook::Data> m_look;
    };

    // A node to add with addNodes(): below the node of an earlier entry (its index in the
    // same list), or below `under` when parent is -1.
    struct NewNode {
        int parent;
        QString key;
        QString text;
        QString searchText;
        const NodeLook* look;
    };

    enum class LabelEdit {
        Manual,    // only startLabelEdit() edits a label
        Automatic  // also a click on the selected node and the edit key (F2)
    };

    // What a key that makes another node current does besides (see reportKeyMovesAsClicks()
    // in controls/accessibility.h).
    enum class KeyMoves {
        Plain,    // nothing: only a click reports nodeClick
        AsClicks  // reports nodeClick for the new current node; Space toggles its selection
    };

    // The handler sees the new text of a label edit; it may change it, or set cancel to keep
    // the old text.
    using AfterLabelEditHandler = std::function<void(Node* node, QString& newText, bool& cancel)>;

    explicit KeyedTree(QWidget* parent = nullptr);
    ~KeyedTree() override;

    void setImageList(const ImageList& images);
    const ImageList& imageList() const { return m_images; }

    // Adds a node with key and text as the last child of the node keyed parentKey, or at the
    // top level when parentKey is empty, and returns it. Throws std::invalid_argument when no
    // node has parentKey or when key is already used; the tree is then unchanged. An empty key
    // is allowed and is not registered (such a node cannot be found by key).
    Node* addNode(const QString& parentKey, const QString& key, const QString& text);
    // The same, the node already showing look.
    Node* addNode(const QString& parentKey, const QString& key, const QString& text,
                  const NodeLook& look);
    // The same below parentNode (nullptr: the top level), for a caller that has it at hand;
    // throws when key is already used.
    Node* addNode(Node* parentNode, const QString& key, const QString& text, const NodeLook& look);
    // Adds many nodes at once below `under` (nullptr: the top level), as addNode() would one
    // by one, and returns them in the same order; the view hears of them once. Throws, with
    // the tree unchanged, when a key is used twice or already in the tree.
    std::vector<Node*> addNodes(Node* under, std::span<const NewNode> nodes);
    // The node with key, or nullptr.
    Node* node(const QString& key) const;
    // Removes node and everything below it.
    void removeNode(Node* node);
    void clearNodes();

    // All nodes as a flat list in the order they were added, from 0.
    int nodeCount() const { return static_cast<int>(m_order.size()); }
    Node* nodeAt(int index) const;

    static QString key(const Node* node);

    // More text of a node that a find matches besides its name (a field's ID, say); never
    // shown. Setting it changes nothing on screen and tells no one.
    static void setSearchText(Node* node, const QString& text);
    static QString searchText(const Node* node);

    static int fontSize(const Node* node);
    static bool isBold(const Node* node);
    static QColor nodeColor(const Node* node);
    static QString image(const Node* node);
    static QString expandedImage(const Node* node);

    // Navigation; every function returns nullptr where there is no such node.
    static Node* rootOf(Node* node);
    static Node* firstChild(const Node* node);
    static Node* previousSibling(const Node* node);
    static Node* nextSibling(const Node* node);
    static Node* lastSibling(const Node* node);
    int topLevelItemCount() const;
    Node* topLevelItem(int index) const;
    // Every node, each parent before its children, as the rows are shown (hidden ones too).
    std::vector<Node*> nodesInDisplayOrder() const;
    // The node shown in the row below node, or nullptr.
    Node* itemBelow(const Node* node) const;

    // The node of a model index of this tree, and back.
    Node* itemFromIndex(const QModelIndex& index) const;
    QModelIndex indexFromItem(const Node* node) const;

    // Scrolls so that node is the first visible row (as far as the tree can scroll); expands
    // its ancestors when needed.
    void setFirstVisible(Node* node);
    Node* firstVisible() const;
    // Whole rows that fit into the viewport.
    int visibleCount() const;
    // The node shown in visible row row, counting from 1.
    Node* visibleNode(int row) const;
    // Scrolls node into sight.
    void scrollToItem(const Node* node, ScrollHint hint = EnsureVisible);
    // Where node is drawn in the viewport (empty when it is not shown).
    QRect visualItemRect(const Node* node) const;

    // Indentation per level in twips (1/1440 inch).
    void setIndentationTwips(int twips);
    int indentationTwips() const { return m_indentationTwips; }

    // Switches drawing off while the tree is filled, and on again.
    void setDrawing(bool on) { setUpdatesEnabled(on); }

    // The current node, or nullptr; making a node current selects it as a click does, unless
    // command says otherwise.
    Node* currentItem() const;
    void setCurrentItem(const Node* node);
    void setCurrentItem(const Node* node, int column, QItemSelectionModel::SelectionFlags command);
    // The selected nodes in display order.
    QList<Node*> selectedNodes() const;
    // Makes node the current and only selected node and scrolls to it; under
    // KeyMoves::AsClicks it reports nodeClick, as a key that moves there does.
    void moveTo(Node* node);

    void setLabelEdit(LabelEdit mode);
    void startLabelEdit(Node* node);
    void setAfterLabelEditHandler(AfterLabelEditHandler handler) {
        m_afterLabelEdit = std::move(handler);
    }

    void setKeyMoves(KeyMoves mode) { m_keyMoves = mode; }

    // The node at a point of the viewport, or nullptr.
    Node* hitTest(const QPoint& pos) const;
    Node* itemAt(const QPoint& pos) const { return hitTest(pos); }

    // At most one node is drawn as the drop target; nullptr removes the mark.
    void setDropHighlight(Node* node);
    Node* dropHighlight() const { return m_dropHighlight; }

    // A picture of node (its image and text) to show while it is dragged.
    QPixmap createDragImage(const Node* node) const;
    // Starts a drag of the selected nodes; image, when given, is the pointer while dragging.
    void beginDrag(const QPixmap& image = {});
    bool isDragging() const { return m_dragging; }
    // Ends a drag without a drop.
    void cancelDrag();

    // Wide enough for the names shown (up to about sixteen characters; a wider name scrolls).
    QSize minimumSizeHint() const override;

  Q_SIGNALS:
    void nodeClick(controls::KeyedTree::Node* node);
    void nodeDoubleClick(controls::KeyedTree::Node* node);
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint& pos);
    void mouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, const QPoint& pos);
    void dragStarted(const QList<controls::KeyedTree::Node*>& nodes);
    void dragOver(controls::KeyedTree::Node* node, const QPoint& pos);
    void dragDrop(controls::KeyedTree::Node* node, const QPoint& pos);
    void dragCancelled();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;
    // The width of the widest name among the rows the view measures, as QTreeView works it
    // out (it lays out the text of up to 1,000 rows), kept until a node, the scroll position,
    // the indentation or the font changes: the view asks again on every resize and layout.
    int sizeHintForColumn(int column) const override;
    void changeEvent(QEvent* event) override;
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles = QList<int>()) override;
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;

  private:
    friend class KeyedTreeModel;
    friend class LabelDelegate;

    // The node keyed parentKey (nullptr for an empty key: the top level); throws when none is.
    Node* placeFor(const QString& parentKey) const;
    void finishDrag();
    void commitLabel(const QModelIndex& index, const QString& text);
    int rowHeight() const;

    ImageList m_images;
    // Node keys are short texts (mostly numbers) hashed many times while a tree fills:
    // a plain FNV-1a over their characters costs a fraction of QHash's default for text.
    struct NodeKey {
        QString text;
        bool operator==(const NodeKey& other) const { return text == other.text; }
        friend size_t qHash(const NodeKey& key, size_t seed) noexcept {
            size_t hash = 14695981039346656037ULL ^ seed;
            for (const QChar c : key.text) {
                hash = (hash ^ c.unicode()) * 1099511628211ULL;
            }
            return hash;
        }
    };
    QHash<NodeKey, Node*> m_byKey;
    std::vector<Node*> m_order;
    KeyedTreeModel* m_model;
    Node* m_dropHighlight = nullptr;
    int m_indentationTwips = 0;
    LabelEdit m_labelEdit = LabelEdit::Manual;
    KeyMoves m_keyMoves = KeyMoves::Plain;
    mutable int m_widthHint = -1;  // -1: to be worked out
    AfterLabelEditHandler m_afterLabelEdit;
    bool m_dragging = false;
};

}  // namespace controls

Q_DECLARE_METATYPE(controls::KeyedTree::Node*)
