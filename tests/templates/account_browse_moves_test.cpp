// Moves in the browser by real drags (mouse events) and keys: the statements sent (the
// connection's observer), the positions left in the table (read raw), the edge scrolling.
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
    std::string changes() {
        std::string out;
        for (const std::string& now : entries()) {
            if (std::find(m_before.begin(), m_before.end(), now) == m_before.end()) {
                out += (out.empty() ? "" : " ") + now;
            }
        }
        return out;
    }
    // The statements sent, by what they do and their values ("shift 5 3"), and the messages.
    std::string statements() {
        const std::pair<std::string, std::string> names[] = {
            {"SELECT SORTBY FROM TEMP_FIELD WHERE P_FIELD_NO = ", "last "},
            {" ORDER BY SORTBY DESC", ""},
            {"SELECT SORTBY FROM TEMP_FIELD WHERE FIELD_NO = ", "position "},
            {"UPDATE TEMP_FIELD SET SORTBY= SORTBY+1 WHERE P_FIELD_NO= ", "shift "},
            {" AND SORTBY >= ", " "},
            {"UPDATE TEMP_FIELD SET SORTBY= ", "set "},  // at 1: the first position
            {"UPDATE TEMP_FIELD SET P_FIELD_NO= ", "parent "},
            {" WHERE FIELD_NO= ", " "},
            {"select * from TEMP_FIELD where kind='F' ORDER BY P_FIELD_NO,FIELD_NO", "reload"}};
        std::string out;
        for (std::string s : sent) {
            for (const auto& [text, name] : names) {
                if (const auto i = s.find(text); i != std::string::npos) {
                    s.replace(i, text.size(), name);
                }
            }
            if (s.rfind("select * from TEMP_FIELD where kind='A'", 0) != 0) {
                out += (out.empty() ? "" : ", ") + s;
            }
        }
        return out + prompts().join(QString()).toStdString();
    }

    Rows m_before;
};

TEST(MoveDrops, EachDropSendsItsStatementsAndLeavesItsPositions) {
    const struct {
        const char *moved, *target, *statements, *changes;
    } cases[] = {
        {"6", "8", "position 8, shift 5 3, set 3 6, parent 5 6, reload", "6:5:3 8:5:4 9:5:5"},
        {"9", "7", "position 7, shift 5 2, set 2 9, parent 5 9, reload", "7:5:3 8:5:4 9:5:2"},
        {"6", "5", "last 5, set 5 6, parent 5 6, reload", "6:5:5"},  // its own folder: the end
        {"7", "4", "position 4, shift 3 1, set 1 7, parent 3 7, reload", "4:3:2 7:3:1"},  // a gap
        {"5", "0", "last 0, set 2 5, parent 0 5, reload", "5:0:2"},
        {"8", "11", "last 11, set 1 8, parent 11 8, reload", "8:11:1"},  // an empty folder
        {"12", "10", "last 10, reload", ""},  // only subfolders: no last position
        // Into its own subtree at any depth, or below a folder of the same name: refused.
        {"1", "3", "この場所への移動はできません", ""},
        {"1", "4", "この場所への移動はできません", ""},
        {"6", "4", "この場所への移動はできません", ""},
        {"6", "2", "", ""},  // the same name
        {"0", "5", "", ""},  // the root stays
        {"7", "", "", ""},   // no node
    };
    for (const auto& c : cases) {
        Browser t;
        t.click(c.moved);
        t.sent.clear();
        t.drag(c.moved, c.target);
        EXPECT_EQ(t.statements(), c.statements) << c.moved << " on " << c.target;
        EXPECT_EQ(t.changes(), c.changes) << c.moved << " on " << c.target;
        EXPECT_EQ(t.tree().dropHighlight(), nullptr);
        EXPECT_FALSE(t.tree().isDragging());
    }
}

TEST(MoveDrops, ADragNeedsAClickTheLeftButtonAndADistanceAndAFailureUndoesIt) {
    Browser t;
    t.drag("6", "8");
    t.click("6");
    t.drag("6", "8", Qt::RightButton);  // the left button alone drags
    EXPECT_EQ(t.statements(), "");
    const QPoint shaken = t.at("7") + QPoint(2, 0);  // a click with a shaking hand
    QTest::mousePress(t.tree().viewport(), Qt::LeftButton, {}, t.at("7"));
    QTest::mouseMove(t.tree().viewport(), shaken);
    QTest::mouseRelease(t.tree().viewport(), Qt::LeftButton, {}, shaken);
    EXPECT_EQ(t.browser.basNodeKey.toStdString() + t.statements(), "7");

    rvtest::RawDb(t.m_path, "")
        .exec(
            "CREATE TRIGGER keep6 BEFORE UPDATE OF SORTBY ON TEMP_FIELD WHEN new.FIELD_NO=6 "
            "BEGIN SELECT RAISE(ABORT,'entry 6 stays'); END");
    t.click("6");
    t.drag("6", "8");
    EXPECT_EQ(t.statements(), "position 8, shift 5 3, set 3 6, reloadentry 6 stays");
    EXPECT_EQ(t.changes(), "");
    EXPECT_TRUE(t.responder.calls().at(0).exclamation);
    EXPECT_FALSE(t.browser.basTable.inTransaction());
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

TEST(MoveDrops, AltUpAndAltDownMoveASelectedFieldPastItsNeighbour) {
    const struct {
        const char* field;
        Qt::Key key;
        const char* changes;
    } cases[] = {
        {"6", Qt::Key_Up, ""},    // the first field
        {"12", Qt::Key_Up, ""},   // the first after the folders
        {"9", Qt::Key_Down, ""},  // the last field
        {"7", Qt::Key_Up, "6:5:2 7:5:1 8:5:4 9:5:5"},
        {"6", Qt::Key_Down, "6:5:3 8:5:4 9:5:5"},
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
