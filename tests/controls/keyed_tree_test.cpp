#include "controls/keyed_tree.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace Qt::Literals::StringLiterals;
using controls::ImageList;
using controls::KeyedTree;
using Node = KeyedTree::Node;

namespace {

QImage pixels(const QIcon& icon) {
    return icon.pixmap(16, 16).toImage();
}

// root "0" ─ folder "1" ─ field "3"
//          │            └ field "4"
//          └ folder "2" ─ field "5"
void fillLibrary(KeyedTree& tree) {
    tree.addNode(QString(), u"0"_s, u"全部の項目"_s);
    tree.addNode(u"0"_s, u"1"_s, u"基本"_s);
    tree.addNode(u"0"_s, u"2"_s, u"連絡先"_s);
    tree.addNode(u"1"_s, u"3"_s, u"氏名"_s);
    tree.addNode(u"2"_s, u"5"_s, u"MAIL1"_s);
    tree.addNode(u"1"_s, u"4"_s, u"フリガナ"_s);
}

QStringList keysInAddOrder(const KeyedTree& tree) {
    QStringList keys;
    for (int i = 0; i < tree.nodeCount(); ++i) {
        keys.append(KeyedTree::key(tree.nodeAt(i)));
    }
    return keys;
}

class ShownTree : public testing::Test {
  protected:
    void SetUp() override {
        tree.resize(240, 200);
        for (int i = 0; i < 40; ++i) {
            tree.addNode(QString(), QString::number(i), u"node "_s + QString::number(i));
        }
        tree.show();
        tree.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));
    }

    QPoint centreOf(const QString& key) const {
        return tree.visualItemRect(tree.node(key)).center();
    }

    // A move with the left button held, as the pointer sends it while dragging.
    void dragTo(const QPoint& pos) {
        QMouseEvent move(QEvent::MouseMove, pos, tree.viewport()->mapToGlobal(pos), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(tree.viewport(), &move);
    }

    KeyedTree tree;
};

}  // namespace

TEST(KeyedTree, NodesAreFoundByKeyAndCountedInAddOrder) {
    KeyedTree tree;
    fillLibrary(tree);

    EXPECT_EQ(tree.topLevelItemCount(), 1);
    Node* folder = tree.node(u"1"_s);
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(folder->text(0), u"基本"_s);
    EXPECT_EQ(KeyedTree::key(folder->child(1)), u"4"_s);  // last child of its parent
    EXPECT_EQ(keysInAddOrder(tree), (QStringList{u"0"_s, u"1"_s, u"2"_s, u"3"_s, u"5"_s, u"4"_s}));
    EXPECT_EQ(tree.indexOf(tree.node(u"5"_s)), 4);
    EXPECT_EQ(tree.nodeAt(6), nullptr);
    EXPECT_EQ(KeyedTree::rootOf(tree.nodeAt(tree.nodeCount() - 1)), tree.node(u"0"_s));
    EXPECT_EQ(tree.node(u"9"_s), nullptr);

    // Navigation between siblings.
    Node* first = tree.node(u"3"_s);
    EXPECT_EQ(KeyedTree::firstChild(folder), first);
    EXPECT_EQ(KeyedTree::previousSibling(first), nullptr);
    EXPECT_EQ(KeyedTree::nextSibling(first), tree.node(u"4"_s));
    EXPECT_EQ(KeyedTree::lastSibling(first), tree.node(u"4"_s));
    EXPECT_EQ(KeyedTree::previousSibling(tree.node(u"2"_s)), folder);
    EXPECT_EQ(KeyedTree::lastSibling(tree.node(u"0"_s)), tree.node(u"0"_s));
}

TEST(KeyedTree, AnUnknownParentOrAUsedKeyIsRefusedWithoutChange) {
    KeyedTree tree;
    fillLibrary(tree);
    EXPECT_THROW(tree.addNode(u"8"_s, u"9"_s, u"orphan"_s), std::invalid_argument);
    EXPECT_THROW(tree.addNode(u"0"_s, u"3"_s, u"twice"_s), std::invalid_argument);
    EXPECT_EQ(tree.nodeCount(), 6);
    EXPECT_EQ(tree.node(u"3"_s)->text(0), u"氏名"_s);
    EXPECT_EQ(tree.node(u"9"_s), nullptr);
}

TEST(KeyedTree, RemovingANodeForgetsItsWholeSubtree) {
    KeyedTree tree;
    fillLibrary(tree);
    tree.setDropHighlight(tree.node(u"4"_s));

    tree.removeNode(tree.node(u"1"_s));
    EXPECT_EQ(keysInAddOrder(tree), (QStringList{u"0"_s, u"2"_s, u"5"_s}));
    EXPECT_EQ(tree.node(u"3"_s), nullptr);
    EXPECT_EQ(tree.dropHighlight(), nullptr);
    // Its keys are free again.
    tree.addNode(u"2"_s, u"3"_s, u"again"_s);
    EXPECT_EQ(tree.nodeAt(3), tree.node(u"3"_s));

    tree.clearNodes();
    EXPECT_EQ(tree.nodeCount(), 0);
    EXPECT_EQ(tree.topLevelItemCount(), 0);
    tree.addNode(QString(), u"0"_s, u"root"_s);
    EXPECT_EQ(tree.nodeCount(), 1);
}

TEST(KeyedTree, ANodeShowsItsExpandedImageWhileExpanded) {
    const ImageList images = ImageList::templateNodeImages();
    for (const QString& key : {u"close"_s, u"open"_s, u"f1"_s, u"f2"_s}) {
        ASSERT_TRUE(images.contains(key));
        EXPECT_EQ(images.icon(key).availableSizes().value(0), QSize(16, 16));
    }
    EXPECT_NE(pixels(images.icon(u"f1"_s)), pixels(images.icon(u"f2"_s)));
    EXPECT_NE(pixels(images.icon(u"close"_s)), pixels(images.icon(u"open"_s)));

    KeyedTree tree;
    tree.setImageList(images);
    fillLibrary(tree);
    Node* folder = tree.node(u"1"_s);
    tree.setImage(folder, u"close"_s);
    tree.setExpandedImage(folder, u"open"_s);
    tree.setImage(tree.node(u"3"_s), u"f2"_s);

    EXPECT_EQ(pixels(folder->icon(0)), pixels(images.icon(u"close"_s)));
    tree.expandItem(folder);
    EXPECT_TRUE(folder->isExpanded());
    EXPECT_EQ(pixels(folder->icon(0)), pixels(images.icon(u"open"_s)));
    tree.collapseItem(folder);
    EXPECT_EQ(pixels(folder->icon(0)), pixels(images.icon(u"close"_s)));
    // A node without an expanded image keeps its image.
    Node* field = tree.node(u"3"_s);
    field->setExpanded(true);
    EXPECT_EQ(KeyedTree::image(field), u"f2"_s);
    EXPECT_EQ(pixels(field->icon(0)), pixels(images.icon(u"f2"_s)));
}

TEST(KeyedTree, FontAndColourPerNode) {
    KeyedTree tree;
    fillLibrary(tree);
    Node* root = tree.node(u"0"_s);
    tree.setNodeFont(root, 10, false);
    tree.setNodeColor(root, QColor(200, 160, 50));
    EXPECT_EQ(KeyedTree::fontSize(root), 10);
    EXPECT_FALSE(KeyedTree::isBold(root));
    EXPECT_EQ(KeyedTree::nodeColor(root), QColor(200, 160, 50));
    tree.setIndentationTwips(250);
    EXPECT_EQ(tree.indentation(), 17);
    EXPECT_EQ(tree.indentationTwips(), 250);
}

TEST(KeyedTree, NodesShareALookUntilOneIsChangedItself) {
    const ImageList images = ImageList::templateNodeImages();
    KeyedTree tree;
    tree.setImageList(images);
    const KeyedTree::NodeLook folder(10, false, QColor(0, 0, 255), u"close"_s, u"open"_s);
    tree.addNode(QString(), u"0"_s, u"全部の項目"_s, folder);
    Node* a = tree.addNode(u"0"_s, u"1"_s, u"基本"_s, folder);
    Node* b = tree.addNode(u"0"_s, u"2"_s, u"連絡先"_s, folder);
    tree.addNode(u"1"_s, u"3"_s, u"氏名"_s);
    EXPECT_THROW(tree.addNode(u"0"_s, u"2"_s, u"twice"_s, folder), std::invalid_argument);
    EXPECT_EQ(tree.nodeCount(), 4);

    for (Node* n : {a, b}) {
        EXPECT_EQ(KeyedTree::fontSize(n), 10);
        EXPECT_FALSE(KeyedTree::isBold(n));
        EXPECT_EQ(KeyedTree::nodeColor(n), QColor(0, 0, 255));
        EXPECT_EQ(KeyedTree::image(n), u"close"_s);
        EXPECT_EQ(KeyedTree::expandedImage(n), u"open"_s);
        EXPECT_EQ(pixels(n->icon(0)), pixels(images.icon(u"close"_s)));
    }
    EXPECT_EQ(tree.node(u"2"_s), b);

    tree.expandItem(a);
    EXPECT_EQ(pixels(a->icon(0)), pixels(images.icon(u"open"_s)));
    tree.collapseItem(a);
    EXPECT_EQ(pixels(a->icon(0)), pixels(images.icon(u"close"_s)));

    tree.setNodeColor(a, QColor(0, 80, 0));
    tree.setNodeFont(a, 12, true);
    tree.setImage(a, u"f2"_s);
    EXPECT_EQ(KeyedTree::nodeColor(a), QColor(0, 80, 0));
    EXPECT_EQ(KeyedTree::fontSize(a), 12);
    EXPECT_TRUE(KeyedTree::isBold(a));
    EXPECT_EQ(pixels(a->icon(0)), pixels(images.icon(u"f2"_s)));
    EXPECT_EQ(KeyedTree::nodeColor(b), QColor(0, 0, 255));
    EXPECT_EQ(KeyedTree::fontSize(b), 10);
    EXPECT_EQ(KeyedTree::image(b), u"close"_s);
}

TEST_F(ShownTree, ScrollsANodeToTheFirstVisibleRow) {
    EXPECT_EQ(tree.firstVisible(), tree.node(u"0"_s));
    const int rows = tree.visibleCount();
    ASSERT_GT(rows, 2);
    EXPECT_LT(rows, 40);
    EXPECT_EQ(tree.visibleNode(rows), tree.node(QString::number(rows - 1)));

    tree.setFirstVisible(tree.node(u"10"_s));
    EXPECT_EQ(tree.firstVisible(), tree.node(u"10"_s));
    EXPECT_EQ(tree.visibleNode(2), tree.node(u"11"_s));
    // Back to the top, as a reload does through the last node's root.
    tree.setFirstVisible(KeyedTree::rootOf(tree.nodeAt(0)));
    EXPECT_EQ(tree.firstVisible(), tree.node(u"0"_s));
}

TEST_F(ShownTree, ClicksHitNodesAndSelectSeveral) {
    QSignalSpy clicks(&tree, &KeyedTree::nodeClick);
    EXPECT_EQ(tree.hitTest(centreOf(u"3"_s)), tree.node(u"3"_s));
    for (int i = 39; i >= 10; --i) {
        tree.removeNode(tree.node(QString::number(i)));
    }
    const QRect last = tree.visualItemRect(tree.node(u"9"_s));
    EXPECT_EQ(tree.hitTest(last.center() + QPoint(0, last.height())), nullptr);

    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, centreOf(u"5"_s));
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, Qt::ControlModifier, centreOf(u"2"_s));
    ASSERT_EQ(clicks.count(), 2);
    EXPECT_EQ(clicks[0][0].value<QTreeWidgetItem*>(), tree.node(u"5"_s));
    EXPECT_EQ(tree.selectedNodes(), (QList<Node*>{tree.node(u"2"_s), tree.node(u"5"_s)}));
}

TEST_F(ShownTree, AProgramStartedDragReportsOverAndDrop) {
    Node* pressed = nullptr;
    QObject::connect(&tree, &KeyedTree::mouseDown,
                     [&](Qt::MouseButton, Qt::KeyboardModifiers, const QPoint& pos) {
                         pressed = tree.hitTest(pos);
                     });
    QObject::connect(&tree, &KeyedTree::mouseMove,
                     [&](Qt::MouseButtons buttons, Qt::KeyboardModifiers, const QPoint&) {
                         if (buttons == Qt::LeftButton && pressed != nullptr) {
                             tree.beginDrag(tree.createDragImage(pressed));
                         }
                     });
    QObject::connect(&tree, &KeyedTree::dragOver,
                     [&](QTreeWidgetItem* node, const QPoint&) { tree.setDropHighlight(node); });
    QSignalSpy started(&tree, &KeyedTree::dragStarted);
    QSignalSpy dropped(&tree, &KeyedTree::dragDrop);
    QSignalSpy clicks(&tree, &KeyedTree::nodeClick);

    QTest::mousePress(tree.viewport(), Qt::LeftButton, {}, centreOf(u"1"_s));
    dragTo(centreOf(u"2"_s));
    ASSERT_TRUE(tree.isDragging());
    ASSERT_EQ(started.count(), 1);
    EXPECT_EQ(started[0][0].value<QList<QTreeWidgetItem*>>(), QList<Node*>{tree.node(u"1"_s)});
    dragTo(centreOf(u"4"_s));
    EXPECT_EQ(tree.dropHighlight(), tree.node(u"4"_s));
    // Dragging moves no selection along.
    EXPECT_EQ(tree.selectedNodes(), QList<Node*>{tree.node(u"1"_s)});

    QTest::mouseRelease(tree.viewport(), Qt::LeftButton, {}, centreOf(u"4"_s));
    EXPECT_FALSE(tree.isDragging());
    ASSERT_EQ(dropped.count(), 1);
    EXPECT_EQ(dropped[0][0].value<QTreeWidgetItem*>(), tree.node(u"4"_s));
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(tree.topLevelItem(1), tree.node(u"1"_s));  // the tree moved nothing itself

    // Escape ends a drag without a drop.
    QSignalSpy cancelled(&tree, &KeyedTree::dragCancelled);
    QTest::mousePress(tree.viewport(), Qt::LeftButton, {}, centreOf(u"1"_s));
    dragTo(centreOf(u"3"_s));
    QTest::keyClick(&tree, Qt::Key_Escape);
    EXPECT_EQ(cancelled.count(), 1);
    QTest::mouseRelease(tree.viewport(), Qt::LeftButton, {}, centreOf(u"3"_s));
    EXPECT_EQ(dropped.count(), 1);
}

TEST_F(ShownTree, ALabelEditCanBeChangedOrCancelledByTheHandler) {
    QString offered;
    bool refuse = false;
    tree.setAfterLabelEditHandler([&](Node*, QString& newText, bool& cancel) {
        offered = newText;
        cancel = refuse;
    });
    const auto renameTo = [&](const QString& text) {
        tree.startLabelEdit(tree.node(u"2"_s));
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        const QPointer<QLineEdit> open(editor);
        ASSERT_TRUE(QTest::qWaitFor([&] { return open.isNull(); }));
    };

    renameTo(u"abc"_s);
    EXPECT_EQ(offered, u"abc"_s);
    EXPECT_EQ(tree.node(u"2"_s)->text(0), u"abc"_s);
    refuse = true;
    renameTo(u"xyz"_s);
    EXPECT_EQ(offered, u"xyz"_s);
    EXPECT_EQ(tree.node(u"2"_s)->text(0), u"abc"_s);
}
