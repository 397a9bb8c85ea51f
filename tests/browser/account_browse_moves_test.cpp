// SPDX-License-Identifier: MIT
// Moves in the browser by real drags (mouse events) and keys: what a drop leaves in the
// table (read raw) and the tree, the messages, the edge scrolling.
#include <gtest/gtest.h>

#include "open_browser.h"

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
    void over(KeyedTree::Node* n) {
        QTest::mouseMove(tree().viewport(), tree().visualItemRect(n).center());
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

// A drop before a field and one into an empty folder, each shown by the tree loaded again;
// a folder dropped into its own subtree (known by its name); a drop on no node. (Every row
// of the drop table: the library's test.)
TEST(MoveDrops, ADropMovesTheEntryOrIsRefusedAndTheTreeShowsTheTable) {
    Browser t;
    t.click("6");
    t.drag("6", "8");
    EXPECT_EQ(KeyedTree::nextSibling(t.node("6")), t.node("8"));
    t.click("8");
    t.drag("8", "11");
    EXPECT_EQ(t.node("8")->parent(), t.node("11"));
    t.click("1");
    t.drag("1", "4");
    t.drag("7", "");
    EXPECT_EQ(t.changes(), "6:5:3 8:11:1 9:5:5この場所への移動はできません");
    EXPECT_EQ(t.tree().dropHighlight(), nullptr);
    EXPECT_FALSE(t.tree().isDragging());
}

TEST(MoveDrops, ADragNeedsAClickAndADistanceAndAFailureUndoesIt) {
    Browser t;
    t.drag("6", "8");
    t.click("6");
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
    EXPECT_FALSE(t.browser.basTable.connection().inTransaction());
    EXPECT_NE(t.node("6"), nullptr);
}

// Escape ends a drag: the release after it drops nothing.
TEST(MoveDrops, EscapeEndsADragAndADropGoesToTheMarkedNode) {
    Browser t;
    t.click("6");
    t.browser.resize(420, 160);
    KeyedTree& tree = t.tree();
    t.lift("5");
    t.over(t.node("0"));
    EXPECT_EQ(tree.dropHighlight(), t.node("0"));
    QTest::keyClick(&tree, Qt::Key_Escape);
    EXPECT_FALSE(tree.isDragging());
    EXPECT_EQ(tree.dropHighlight(), nullptr);
    QTest::mouseRelease(tree.viewport(), Qt::LeftButton, {}, t.at("0"));
    EXPECT_EQ(t.changes(), "");

    // The tree scrolls under a pointer that rests on the last visible row: the drop goes to
    // the node marked as the target, not to the one the scroll brought under the pointer.
    tree.setFirstVisible(t.node("4"));
    KeyedTree::Node* marked = tree.visibleNode(tree.visibleCount());
    const QPoint end = tree.visualItemRect(marked).center();
    const QString markedKey = KeyedTree::key(marked);
    t.lift("6");
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
        {"6", Qt::Key_Down, "6:5:3 8:5:4 9:5:5"},  // before the field after its neighbour
        {"8", Qt::Key_Down, "8:5:5"},              // past the last: the folder's end
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
