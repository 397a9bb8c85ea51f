// SPDX-License-Identifier: MIT
#pragma once

#include "controls/image_list.h"

#include <QBrush>
#include <QFont>
#include <QHash>
#include <QList>
#include <QPixmap>
#include <QTreeWidget>

#include <functional>
#include <memory>
#include <unordered_set>
#include <vector>

namespace controls {

// A tree of keyed nodes: every node carries a key that is unique in the tree and is found by
// it. Nodes are added as the last child of the node with a given key; they remember the order
// in which they were added, so the tree can also be read as a flat list by index.
//
// Add and remove nodes through addNode(), removeNode() and clearNodes() only: the key index
// and the add order are kept by these, not by QTreeWidget's own item functions.
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
class KeyedTree : public QTreeWidget {
    Q_OBJECT

  public:
    using Node = QTreeWidgetItem;

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

    // How a node looks: font, text colour, image and expanded image. Made once and given to
    // addNode() for many nodes, it is shared by them rather than set on each, so that
    // filling a large tree costs neither a copy of each property per node nor change
    // notifications to the view. Setting a property on a node later overrides its look.
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
        std::shared_ptr<const Data> m_data;
    };

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
    // The node with key, or nullptr.
    Node* node(const QString& key) const;
    // Removes node and everything below it.
    void removeNode(Node* node);
    void clearNodes();

    // All nodes as a flat list in the order they were added, from 0.
    int nodeCount() const { return static_cast<int>(m_order.size()); }
    Node* nodeAt(int index) const;
    int indexOf(const Node* node) const;

    static QString key(const Node* node);

    // More text of a node that a find matches besides its name (a field's ID, say); never
    // shown. Setting it changes nothing on screen and tells no one.
    static void setSearchText(Node* node, const QString& text);
    static QString searchText(const Node* node);

    void setNodeFont(Node* node, int pointSize, bool bold);
    static int fontSize(const Node* node);
    static bool isBold(const Node* node);
    void setNodeColor(Node* node, const QColor& color);
    static QColor nodeColor(const Node* node);
    void setImage(Node* node, const QString& imageKey);
    static QString image(const Node* node);
    void setExpandedImage(Node* node, const QString& imageKey);
    static QString expandedImage(const Node* node);

    // Navigation; every function returns nullptr where there is no such node.
    static Node* rootOf(Node* node);
    static Node* firstChild(const Node* node);
    static Node* previousSibling(const Node* node);
    static Node* nextSibling(const Node* node);
    static Node* lastSibling(const Node* node);

    // Scrolls so that node is the first visible row (as far as the tree can scroll); expands
    // its ancestors when needed.
    void setFirstVisible(Node* node);
    Node* firstVisible() const;
    // Whole rows that fit into the viewport.
    int visibleCount() const;
    // The node shown in visible row row, counting from 1.
    Node* visibleNode(int row) const;

    // Indentation per level in twips (1/1440 inch).
    void setIndentationTwips(int twips);
    int indentationTwips() const { return m_indentationTwips; }

    // Switches drawing off while the tree is filled, and on again.
    void setDrawing(bool on) { setUpdatesEnabled(on); }

    // The selected nodes in display order.
    QList<Node*> selectedNodes() const;
    // Makes node the current and only selected node and scrolls to it; under
    // KeyMoves::AsClicks it reports nodeClick, as a key that moves there does.
    void moveTo(Node* node);

    void setLabelEdit(LabelEdit mode);
    LabelEdit labelEdit() const { return m_labelEdit; }
    void startLabelEdit(Node* node);
    void setAfterLabelEditHandler(AfterLabelEditHandler handler) {
        m_afterLabelEdit = std::move(handler);
    }

    void setKeyMoves(KeyMoves mode) { m_keyMoves = mode; }
    KeyMoves keyMoves() const { return m_keyMoves; }

    // The node at a point of the viewport, or nullptr.
    Node* hitTest(const QPoint& pos) const;

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
    void nodeClick(QTreeWidgetItem* node);
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint& pos);
    void mouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, const QPoint& pos);
    void dragStarted(const QList<QTreeWidgetItem*>& nodes);
    void dragOver(QTreeWidgetItem* node, const QPoint& pos);
    void dragDrop(QTreeWidgetItem* node, const QPoint& pos);
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
    // The node keyed parentKey (nullptr for an empty key: the top level); throws when none is.
    Node* placeFor(const QString& parentKey) const;
    // Registers the key (throws when it is used), then adds the node.
    Node* insertNode(Node* parentNode, const QString& key, const QString& text,
                     std::shared_ptr<const NodeLook::Data> look);
    // Drops the keys of the node and all below it; returns them all.
    std::unordered_set<const Node*> forget(Node* node);
    // Deletes detached nodes with all below them, without recursion.
    static void deleteNodes(QList<QTreeWidgetItem*> nodes);
    void finishDrag();
    void commitLabel(const QModelIndex& index, const QString& text);
    int rowHeight() const;

    friend class LabelDelegate;

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
    Node* m_dropHighlight = nullptr;
    int m_indentationTwips = 0;
    LabelEdit m_labelEdit = LabelEdit::Manual;
    KeyMoves m_keyMoves = KeyMoves::Plain;
    mutable int m_widthHint = -1;  // -1: to be worked out
    AfterLabelEditHandler m_afterLabelEdit;
    bool m_dragging = false;
};

}  // namespace controls
