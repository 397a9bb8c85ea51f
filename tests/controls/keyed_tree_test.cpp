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

class TreeTest : public testing::Test {
  protected:
    Node* n(const char* key) const { return tree.node(QString::fromUtf8(key)); }

    QStringList keysInAddOrder() const {
        QStringList keys;
        for (int i = 0; i < tree.nodeCount(); ++i) {
            keys.append(KeyedTree::key(tree.nodeAt(i)));
        }
        return keys;
    }

    // Whether node shows the image keyed `image`.
    bool shows(Node* node, const QString& image) const {
        return pixels(node->icon(0)) == pixels(images.icon(image));
    }

    const ImageList images = ImageList::templateNodeImages();
    KeyedTree tree;
};

// root "0" ─ folder "1" ─ field "3"
//          │            └ field "4"
//          └ folder "2" ─ field "5"
class Library : public TreeTest {
  protected:
    void SetUp() override {
        tree.setImageList(images);
        tree.addNode(QString(), u"0"_s, u"全部の項目"_s);
        tree.addNode(u"0"_s, u"1"_s, u"基本"_s);
        tree.addNode(u"0"_s, u"2"_s, u"連絡先"_s);
        tree.addNode(u"1"_s, u"3"_s, u"氏名"_s);
        tree.addNode(u"2"_s, u"5"_s, u"MAIL1"_s);
        tree.addNode(u"1"_s, u"4"_s, u"フリガナ"_s);
    }
};

// Forty top-level nodes "0" to "39", shown.
class ShownTree : public TreeTest {
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

    QPoint centreOf(const char* key) const { return tree.visualItemRect(n(key)).center(); }

    // A move with the left button held, as the pointer sends it while dragging.
    void dragTo(const char* key) {
        const QPoint pos = centreOf(key);
        QMouseEvent move(QEvent::MouseMove, pos, tree.viewport()->mapToGlobal(pos), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(tree.viewport(), &move);
    }
};

}  // namespace

TEST_F(Library, NodesAreFoundByKeyCountedInAddOrderAndRemovedWithTheirSubtree) {
    EXPECT_EQ(n("1")->child(1), n("4"));  // last child of its parent
    EXPECT_EQ(keysInAddOrder(), (QStringList{u"0"_s, u"1"_s, u"2"_s, u"3"_s, u"5"_s, u"4"_s}));
    EXPECT_EQ(tree.indexOf(n("5")), 4);
    EXPECT_EQ(tree.nodeAt(6), nullptr);
    EXPECT_EQ(KeyedTree::rootOf(n("4")), n("0"));
    EXPECT_EQ(n("9"), nullptr);
    EXPECT_EQ(KeyedTree::previousSibling(n("3")), nullptr);
    EXPECT_EQ(KeyedTree::lastSibling(n("3")), n("4"));
    EXPECT_EQ(KeyedTree::lastSibling(n("0")), n("0"));  // a top-level node

    // An unknown parent or a used key is refused without change.
    EXPECT_THROW(tree.addNode(u"8"_s, u"9"_s, u"orphan"_s), std::invalid_argument);
    EXPECT_THROW(tree.addNode(u"0"_s, u"3"_s, u"twice"_s), std::invalid_argument);
    EXPECT_EQ(tree.nodeCount(), 6);
    EXPECT_EQ(n("3")->text(0), u"氏名"_s);

    // Removing a node forgets its whole subtree.
    tree.setDropHighlight(n("4"));
    tree.removeNode(n("1"));
    EXPECT_EQ(keysInAddOrder(), (QStringList{u"0"_s, u"2"_s, u"5"_s}));
    EXPECT_EQ(n("3"), nullptr);
    EXPECT_EQ(tree.dropHighlight(), nullptr);
    tree.addNode(u"2"_s, u"3"_s, u"again"_s);  // its keys are free again
    EXPECT_EQ(tree.nodeAt(3), n("3"));

    tree.clearNodes();
    EXPECT_EQ(tree.topLevelItemCount(), 0);
}

TEST_F(Library, NodesShareALookUntilOneIsChangedItself) {
    ASSERT_NE(pixels(images.icon(u"close"_s)), pixels(images.icon(u"open"_s)));
    const KeyedTree::NodeLook look(10, false, QColor(0, 0, 255), u"close"_s, u"open"_s);
    Node* a = tree.addNode(u"0"_s, u"6"_s, u"a"_s, look);
    Node* b = tree.addNode(u"0"_s, u"7"_s, u"b"_s, look);
    tree.addNode(u"6"_s, u"8"_s, u"child"_s);
    EXPECT_THROW(tree.addNode(u"0"_s, u"7"_s, u"twice"_s, look), std::invalid_argument);
    tree.expandItem(a);  // the expanded image while expanded
    EXPECT_TRUE(shows(a, u"open"_s));
    tree.collapseItem(a);
    EXPECT_TRUE(shows(a, u"close"_s));
    tree.setNodeColor(a, QColor(0, 80, 0));
    tree.setNodeFont(a, 12, true);
    tree.setImage(a, u"f2"_s);
    EXPECT_TRUE(KeyedTree::isBold(a));
    EXPECT_TRUE(shows(a, u"f2"_s));
    EXPECT_EQ(KeyedTree::nodeColor(b), QColor(0, 0, 255));
    EXPECT_EQ(KeyedTree::fontSize(b), 10);
    EXPECT_FALSE(KeyedTree::isBold(b));
    EXPECT_TRUE(shows(b, u"close"_s));
    tree.setImage(n("3"), u"f2"_s);  // no expanded image: the image stays
    n("3")->setExpanded(true);
    EXPECT_TRUE(shows(n("3"), u"f2"_s));

    tree.setIndentationTwips(250);
    EXPECT_EQ(tree.indentation(), 17);
}

TEST_F(ShownTree, ScrollsANodeToTheFirstVisibleRow) {
    const int rows = tree.visibleCount();
    ASSERT_GT(rows, 2);
    EXPECT_LT(rows, 40);
    EXPECT_EQ(tree.visibleNode(rows), tree.node(QString::number(rows - 1)));
    tree.setFirstVisible(n("10"));
    EXPECT_EQ(tree.firstVisible(), n("10"));
    EXPECT_EQ(tree.visibleNode(2), n("11"));
    tree.setFirstVisible(n("0"));
    EXPECT_EQ(tree.firstVisible(), n("0"));
}

TEST_F(ShownTree, ClicksHitNodesAndSelectSeveral) {
    QSignalSpy clicks(&tree, &KeyedTree::nodeClick);
    EXPECT_EQ(tree.hitTest(centreOf("3")), n("3"));
    for (int i = 39; i >= 10; --i) {
        tree.removeNode(tree.node(QString::number(i)));
    }
    const QRect last = tree.visualItemRect(n("9"));
    EXPECT_EQ(tree.hitTest(last.center() + QPoint(0, last.height())), nullptr);

    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, centreOf("5"));
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, Qt::ControlModifier, centreOf("2"));
    ASSERT_EQ(clicks.count(), 2);
    EXPECT_EQ(clicks[0][0].value<QTreeWidgetItem*>(), n("5"));
    EXPECT_EQ(tree.selectedNodes(), (QList<Node*>{n("2"), n("5")}));
}

TEST_F(ShownTree, AProgramStartedDragReportsOverAndDrop) {
    Node* pressed = nullptr;
    QObject::connect(&tree, &KeyedTree::mouseDown,
                     [&](Qt::MouseButton, Qt::KeyboardModifiers, const QPoint& pos) {
                         pressed = tree.hitTest(pos);
                     });
    QObject::connect(&tree, &KeyedTree::mouseMove, [&](Qt::MouseButtons buttons) {
        if (buttons == Qt::LeftButton && pressed != nullptr) {
            tree.beginDrag(tree.createDragImage(pressed));
        }
    });
    QObject::connect(&tree, &KeyedTree::dragOver,
                     [&](QTreeWidgetItem* node) { tree.setDropHighlight(node); });
    QSignalSpy started(&tree, &KeyedTree::dragStarted);
    QSignalSpy dropped(&tree, &KeyedTree::dragDrop);
    QSignalSpy clicks(&tree, &KeyedTree::nodeClick);

    QTest::mousePress(tree.viewport(), Qt::LeftButton, {}, centreOf("1"));
    dragTo("2");
    ASSERT_TRUE(tree.isDragging());
    ASSERT_EQ(started.count(), 1);
    EXPECT_EQ(started[0][0].value<QList<QTreeWidgetItem*>>(), QList<Node*>{n("1")});
    dragTo("4");
    EXPECT_EQ(tree.dropHighlight(), n("4"));
    EXPECT_EQ(tree.selectedNodes(), QList<Node*>{n("1")});  // no selection moves along

    QTest::mouseRelease(tree.viewport(), Qt::LeftButton, {}, centreOf("4"));
    EXPECT_FALSE(tree.isDragging());
    ASSERT_EQ(dropped.count(), 1);
    EXPECT_EQ(dropped[0][0].value<QTreeWidgetItem*>(), n("4"));
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(tree.topLevelItem(1), n("1"));  // the tree moved nothing itself

    // Escape ends a drag without a drop.
    QSignalSpy cancelled(&tree, &KeyedTree::dragCancelled);
    QTest::mousePress(tree.viewport(), Qt::LeftButton, {}, centreOf("1"));
    dragTo("3");
    QTest::keyClick(&tree, Qt::Key_Escape);
    EXPECT_EQ(cancelled.count(), 1);
    QTest::mouseRelease(tree.viewport(), Qt::LeftButton, {}, centreOf("3"));
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
        tree.startLabelEdit(n("2"));
        QPointer<QLineEdit> editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        ASSERT_TRUE(QTest::qWaitFor([&] { return editor.isNull(); }));
    };
    renameTo(u"abc"_s);
    EXPECT_EQ(offered, u"abc"_s);
    EXPECT_EQ(n("2")->text(0), u"abc"_s);
    refuse = true;
    renameTo(u"xyz"_s);
    EXPECT_EQ(offered, u"xyz"_s);
    EXPECT_EQ(n("2")->text(0), u"abc"_s);
}
