// SPDX-License-Identifier: MIT
#include "controls/keyed_tree.h"
#include "controls/accessibility.h"

#include <QApplication>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace Qt::Literals::StringLiterals;
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
        return pixels(node->icon(0)) == pixels(tree.imageList().icon(image));
    }
    // Adds node `key` under `parent` ("" for the top level).
    void add(const char* parent, const char* key) {
        tree.addNode(QString::fromLatin1(parent), QString::fromLatin1(key),
                     u"node "_s + QString::fromLatin1(key));
    }
    QPoint centreOf(const char* key) const { return tree.visualItemRect(n(key)).center(); }
    void show() {
        tree.resize(240, 200);
        tree.show();
        tree.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));
    }

    KeyedTree tree;
};

// root "0" ─ "1" ─ "3", "4";  "0" ─ "2" ─ "5"
class Library : public TreeTest {
  protected:
    void SetUp() override {
        tree.setImageList(controls::ImageList::templateNodeImages());
        for (const auto& [parent, key] :
             {std::pair{"", "0"}, {"0", "1"}, {"0", "2"}, {"1", "3"}, {"2", "5"}, {"1", "4"}}) {
            add(parent, key);
        }
    }
};

}  // namespace

TEST_F(Library, NodesAreFoundByKeyCountedInAddOrderAndRemovedWithTheirSubtree) {
    EXPECT_EQ(n("1")->child(1), n("4"));  // last child of its parent
    EXPECT_EQ(keysInAddOrder(), (QStringList{u"0"_s, u"1"_s, u"2"_s, u"3"_s, u"5"_s, u"4"_s}));
    EXPECT_EQ(tree.indexOf(n("5")), 4);
    EXPECT_EQ(tree.nodeAt(6), nullptr);
    EXPECT_EQ(KeyedTree::rootOf(n("4")), n("0"));
    EXPECT_EQ(KeyedTree::previousSibling(n("3")), nullptr);
    EXPECT_EQ(KeyedTree::lastSibling(n("3")), n("4"));
    EXPECT_EQ(KeyedTree::lastSibling(n("0")), n("0"));  // a top-level node
    // An unknown parent or a used key is refused without change.
    EXPECT_THROW(add("8", "9"), std::invalid_argument);
    EXPECT_THROW(add("0", "3"), std::invalid_argument);
    EXPECT_EQ(tree.nodeCount(), 6);
    EXPECT_EQ(n("9"), nullptr);

    tree.setDropHighlight(n("4"));
    tree.removeNode(n("1"));
    EXPECT_EQ(keysInAddOrder(), (QStringList{u"0"_s, u"2"_s, u"5"_s}));
    EXPECT_EQ(tree.dropHighlight(), nullptr);
    add("2", "3");  // its keys are free again
    EXPECT_EQ(tree.nodeAt(3), n("3"));
    tree.clearNodes();
    EXPECT_EQ(tree.topLevelItemCount(), 0);
}

// A chain as deep as a hostile library can be: removing part of it, emptying the tree and
// destroying it must not take a stack frame per level.
TEST(DeepTree, AChainTensOfThousandsDeepIsRemovedClearedAndDestroyed) {
    constexpr int kDepth = 60'000;
    const auto chain = [](KeyedTree& tree) {
        QString parent;
        for (int i = 1; i <= kDepth; ++i) {
            const QString key = QString::number(i);
            tree.addNode(parent, key, key);
            parent = key;
        }
    };
    {
        KeyedTree tree;
        chain(tree);
        tree.removeNode(tree.node(u"2"_s));
        EXPECT_EQ(tree.nodeCount(), 1);
        EXPECT_EQ(tree.node(u"3"_s), nullptr);
        tree.clearNodes();
        EXPECT_EQ(tree.topLevelItemCount(), 0);
        chain(tree);
        EXPECT_EQ(tree.nodeCount(), kDepth);
    }  // and destroyed full
}

TEST_F(Library, NodesShareALookUntilOneIsChangedItself) {
    const KeyedTree::NodeLook look(10, false, QColor(0, 0, 255), u"close"_s, u"open"_s);
    Node* a = tree.addNode(u"0"_s, u"6"_s, u"a"_s, look);
    Node* b = tree.addNode(u"0"_s, u"7"_s, u"b"_s, look);
    add("6", "8");
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
    tree.setImage(n("3"), u"f1"_s);  // no expanded image: the image stays
    n("3")->setExpanded(true);
    EXPECT_TRUE(shows(n("3"), u"f1"_s));

    tree.setIndentationTwips(250);
    EXPECT_EQ(tree.indentation(), 17);
}

TEST_F(Library, AClickReportsItsNodeAndCtrlClicksSelectSeveral) {
    show();
    tree.expandAll();
    QSignalSpy clicks(&tree, &KeyedTree::nodeClick);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, centreOf("5"));
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, Qt::ControlModifier, centreOf("3"));
    ASSERT_EQ(clicks.count(), 2);
    EXPECT_EQ(clicks[0][0].value<QTreeWidgetItem*>(), n("5"));
    EXPECT_EQ(tree.selectedNodes(), (QList<Node*>{n("3"), n("5")}));
    EXPECT_EQ(tree.hitTest(centreOf("2")), n("2"));
}

TEST_F(Library, KeysThatMoveTheCurrentNodeReportItAsAClickOnceAskedAndSpaceToggles) {
    show();
    tree.expandAll();
    n("4")->setText(0, u"zeta"_s);
    tree.setFocus();
    tree.setCurrentItem(n("0"));
    QSignalSpy clicks(&tree, &KeyedTree::nodeClick);
    QTest::keyClick(&tree, Qt::Key_Down);
    EXPECT_EQ(clicks.count(), 0) << "not asked yet";
    controls::reportKeyMovesAsClicks(tree);

    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* clicked;  // "" when no click is reported
        QList<const char*> selected;
    } steps[] = {
        {Qt::Key_End, {}, "5", {"5"}},
        {Qt::Key_Home, {}, "0", {"0"}},
        {Qt::Key_Z, {}, "4", {"4"}},  // typing the start of a name
        {Qt::Key_Up, {}, "3", {"3"}},
        {Qt::Key_Space, {}, "", {}},
        {Qt::Key_Space, {}, "", {"3"}},
        {Qt::Key_Down, Qt::ControlModifier, "4", {"3"}},  // moves without selecting
        {Qt::Key_Space, {}, "", {"3", "4"}},
        {Qt::Key_Right, {}, "", {"3", "4"}},  // nowhere to go
    };
    for (const auto& step : steps) {
        clicks.clear();
        QTest::keyClick(&tree, step.key, step.modifiers);
        QList<Node*> selected;
        for (const char* key : step.selected) {
            selected << n(key);
        }
        EXPECT_EQ(tree.selectedNodes(), selected) << step.key;
        if (*step.clicked == '\0') {
            EXPECT_EQ(clicks.count(), 0) << step.key;
        } else {
            ASSERT_EQ(clicks.count(), 1) << step.key;
            EXPECT_EQ(clicks[0][0].value<QTreeWidgetItem*>(), n(step.clicked)) << step.key;
        }
    }
}

TEST_F(Library, ANameWiderThanTheTreeScrollsInsteadOfBeingCut) {
    show();
    tree.expandAll();
    n("5")->setText(0, QString(60, u'名'));
    QApplication::processEvents();
    EXPECT_GE(tree.columnWidth(0), tree.visualItemRect(n("5")).left() +
                                       tree.fontMetrics().horizontalAdvance(n("5")->text(0)));
    EXPECT_TRUE(tree.horizontalScrollBar()->isVisible());
}
