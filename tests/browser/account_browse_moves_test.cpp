// SPDX-License-Identifier: MIT
// Moves in the browser by real drags (mouse events) and keys: what a drop leaves in the
// table (read raw) and the tree, the messages, the edge scrolling.
#include <gtest/gtest.h>

#include <QTest>

#include "open_browser.h"
#include "raw_db.h"

namespace {

using controls::KeyedTree;
using Rows = std::vector<std::string>;

// A: K: C: c4.  D: K6 L7 M8 N9 at 1-4.  E: S (only a subfolder).  x12 on top.
const Rows kLibrary = {
    "1,0,'F','','A','','',NULL,'',''",    "2,1,'F','','K','','',NULL,'',''",
    "3,2,'F','','C','','',NULL,'',''",    "4,3,'A','C4','c4','T','9',1,'0','1'",
    "5,0,'F','','D','','',NULL,'',''",    "6,5,'A','K6','K','T','9',1,'0','0'",
    "7,5,'A','L7','L','T','9',2,'0','0'", "8,5,'A','M8','M','T','9',3,'0','1'",
    "9,5,'A','N9','N','T','9',4,'0','0'", "10,0,'F','','E','','',NULL,'',''",
    "11,10,'F','','S','','',NULL,'',''",  "12,0,'A','X12','x12','T','9',1,'0','0'",
};

struct Browser : rvtest::OpenBrowser {
    Browser() : OpenBrowser(kLibrary, controls::vbOK) { m_before = entries(); }
    QPoint at(const char* key) { return tree().visualItemRect(node(key)).center(); }
    void click(const char* key) {
        QTest::mouseClick(tree().viewport(), Qt::LeftButton, {}, at(key));
    }
    void press(const char* key, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mousePress(tree().viewport(), button, {}, at(key));
        QTest::mouseMove(tree().viewport(), at(key) + QPoint(30, 0));  // far enough to drag
    }
    void over(KeyedTree::Node* n) {
        QTest::mouseMove(tree().viewport(), tree().visualItemRect(n).center());
    }
    // Drags `from` over `to` ("" for below the last row) and drops it there.
    void drag(const char* from, const char* to, Qt::MouseButton button = Qt::LeftButton) {
        const QPoint end = *to ? at(to) : QPoint(at(from).x(), tree().viewport()->height() - 2);
        press(from, button);
        QTest::mouseMove(tree().viewport(), end);
        QTest::mouseRelease(tree().viewport(), button, {}, end);
    }
    // "number:parent:position" of every entry.
    Rows entries() {
        return rvtest::RawDb(m_path, "")
            .rows(
                "SELECT FIELD_NO||':'||P_FIELD_NO||':'||ifnull(SORTBY,'') FROM TEMP_FIELD ORDER BY "
                "FIELD_NO");
    }
    // The entries changed since the window opened, and the messages shown.
    std::string changes() {
        std::string out;
        for (const std::string& now : entries()) {
            if (std::find(m_before.begin(), m_before.end(), now) == m_before.end()) {
                out += (out.empty() ? "" : " ") + now;
            }
        }
        return out + prompts().join(QString()).toStdString();
    }

    Rows m_before;
};

TEST(MoveDrops, ADropMovesTheEntryOrIsRefusedAndTheTreeShowsTheTable) {
    const struct {
        const char *moved, *target, *changes;
    } cases[] = {
        {"6", "8", "6:5:3 8:5:4 9:5:5"},
        {"8", "11", "8:11:1"},                       // an empty folder
        {"1", "4", "この場所への移動はできません"},  // into its own subtree
        {"0", "5", ""},                              // the root stays
        {"7", "", ""},                               // no node
    };
    for (const auto& c : cases) {
        Browser t;
        t.click(c.moved);
        t.drag(c.moved, c.target);
        EXPECT_EQ(t.changes(), c.changes) << c.moved << " on " << c.target;
        if (*c.changes && std::isdigit(c.changes[0])) {
            EXPECT_EQ(KeyedTree::key(t.node(c.moved)->parent()),
                      QString::fromLatin1(c.changes).section(u':', 1, 1));
        }
        EXPECT_EQ(t.tree().dropHighlight(), nullptr);
        EXPECT_FALSE(t.tree().isDragging());
    }
}

TEST(MoveDrops, ADragNeedsAClickTheLeftButtonAndADistanceAndAFailureUndoesIt) {
    Browser t;
    t.drag("6", "8");
    t.click("6");
    t.drag("6", "8", Qt::RightButton);  // the left button alone drags
    EXPECT_EQ(t.changes(), "");
    const QPoint shaken = t.at("7") + QPoint(2, 0);  // a click with a shaking hand
    QTest::mousePress(t.tree().viewport(), Qt::LeftButton, {}, t.at("7"));
    QTest::mouseMove(t.tree().viewport(), shaken);
    QTest::mouseRelease(t.tree().viewport(), Qt::LeftButton, {}, shaken);
    EXPECT_EQ(t.browser.basNodeKey.toStdString() + t.changes(), "7");

    rvtest::RawDb(t.m_path, "")
        .exec(
            "CREATE TRIGGER keep6 BEFORE UPDATE OF SORTBY ON TEMP_FIELD WHEN new.FIELD_NO=6 "
            "BEGIN SELECT RAISE(ABORT,'entry 6 stays'); END");
    t.click("6");
    t.drag("6", "8");
    EXPECT_EQ(t.changes(), "値がデータベースの規則に合いません。");  // the engine's reason
    EXPECT_FALSE(t.responder.calls().at(0).exclamation);
    EXPECT_FALSE(t.browser.basTable.inTransaction());
    EXPECT_NE(t.node("6"), nullptr);
}

TEST(MoveDrops, ADragScrollsAtTheEdgesIntoTheExpandedFoldersAbove) {
    Browser t;
    t.click("6");
    t.browser.resize(420, 160);
    KeyedTree& tree = t.tree();
    tree.setFirstVisible(t.node("5"));
    t.press("5");
    t.over(t.node("5"));
    EXPECT_EQ(tree.firstVisible(), t.node("4")) << "the last row inside A, K and C";
    KeyedTree::Node* second = tree.visibleNode(2);
    t.over(tree.visibleNode(tree.visibleCount()));
    EXPECT_EQ(tree.firstVisible(), second);
    tree.setFirstVisible(t.node("0"));
    t.over(t.node("0"));
    EXPECT_EQ(tree.firstVisible(), t.node("0")) << "the very top";
    EXPECT_EQ(tree.dropHighlight(), t.node("0"));
    QTest::keyClick(&tree, Qt::Key_Escape);
    EXPECT_FALSE(tree.isDragging());
    EXPECT_EQ(tree.dropHighlight(), nullptr);
    QTest::mouseRelease(tree.viewport(), Qt::LeftButton, {}, t.at("0"));
    EXPECT_EQ(t.changes(), "");
}

// The tree scrolls under a pointer that rests on the last visible row: the drop goes to the
// node marked as the target, not to the one the scroll brought under the pointer.
TEST(MoveDrops, ADropAfterAScrollGoesToTheMarkedNode) {
    Browser t;
    t.click("6");
    t.browser.resize(420, 160);
    KeyedTree& tree = t.tree();
    tree.setFirstVisible(t.node("4"));
    KeyedTree::Node* marked = tree.visibleNode(tree.visibleCount());
    const QPoint end = tree.visualItemRect(marked).center();
    const QString markedKey = KeyedTree::key(marked);
    t.press("6");
    QTest::mouseMove(tree.viewport(), end);
    ASSERT_EQ(tree.dropHighlight(), marked);
    ASSERT_NE(tree.itemAt(end), marked) << "scrolled";
    QTest::mouseRelease(tree.viewport(), Qt::LeftButton, {}, end);
    EXPECT_EQ(markedKey.toStdString() + " " + t.changes(), "9 6:5:4 9:5:5");
}

TEST(MoveDrops, AltUpAndAltDownMoveASelectedFieldPastItsNeighbour) {
    const struct {
        const char* field;
        Qt::Key key;
        const char* changes;
    } cases[] = {
        {"12", Qt::Key_Up, ""},   // the first after the folders
        {"9", Qt::Key_Down, ""},  // the last field
        {"7", Qt::Key_Up, "6:5:2 7:5:1 8:5:4 9:5:5"},
        {"8", Qt::Key_Down, "8:5:5"},  // past the last: the folder's end
    };
    for (const auto& c : cases) {
        Browser t;
        t.click(c.field);
        QTest::keyClick(&t.tree(), c.key, Qt::AltModifier);
        EXPECT_EQ(t.changes(), c.changes) << c.field;
        EXPECT_TRUE(t.node(c.field)->isSelected()) << c.field;
    }
}

}  // namespace
