// Moving template entries in the browser: real drags in the tree (mouse events), the
// statements each drop sends (the connection's observer) and the positions it leaves in
// the table (read back raw), the edge scrolling, and Alt+Up / Alt+Down.
#include <gtest/gtest.h>

#include <QTest>

#include "controls/msg_box.h"
#include "databases.h"
#include "raw_db.h"
#include "temp_dir.h"
#include "templates/account_browse.h"

namespace {

using controls::KeyedTree;
using templates::AccountBrowse;
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
const std::string kLoadFolders =
    "select * from TEMP_FIELD where kind='F' ORDER BY P_FIELD_NO,FIELD_NO";

// The browser open on kLibrary.
struct Browser {
    Browser() {
        browser.basconnStr = QString::fromStdString(rvtest::templateLibrary(m_path, kLibrary));
        EXPECT_TRUE(browser.Form_Load());
        browser.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&browser));
        browser.basTable.setObserver([this](std::string_view s) { sent.emplace_back(s); });
        m_before = entries();
    }
    KeyedTree& tree() { return *browser.SSTree1; }
    KeyedTree::Node* node(const char* key) { return tree().node(QString::fromLatin1(key)); }
    QPoint at(const char* key) { return tree().visualItemRect(node(key)).center(); }
    void click(const char* key) {
        QTest::mouseClick(tree().viewport(), Qt::LeftButton, {}, at(key));
    }
    // Presses on `from`, drags over `to` (a key, or "" for below the last row), drops there.
    void drag(const char* from, const char* to) {
        const QPoint start = at(from);
        const QPoint end = *to ? at(to) : QPoint(start.x(), tree().viewport()->height() - 2);
        QTest::mousePress(tree().viewport(), Qt::LeftButton, {}, start);
        QTest::mouseMove(tree().viewport(), start + QPoint(30, 0));
        QTest::mouseMove(tree().viewport(), end);
        const KeyedTree::Node* mark = tree().dropHighlight();
        highlighted = mark != nullptr ? KeyedTree::key(mark).toStdString() : "";
        QTest::mouseRelease(tree().viewport(), Qt::LeftButton, {}, end);
    }
    // "number:parent:position" of every entry, by number.
    Rows entries() {
        return rvtest::RawDb(m_path, "")
            .rows(
                "SELECT FIELD_NO||':'||P_FIELD_NO||':'||ifnull(SORTBY,'') FROM TEMP_FIELD ORDER BY "
                "FIELD_NO");
    }
    // The entries that differ from the start, joined.
    std::string changes() {
        std::string out;
        const Rows now = entries();
        for (std::size_t i = 0; i < now.size(); ++i) {
            if (i >= m_before.size() || now[i] != m_before[i]) {
                out += (out.empty() ? "" : " ") + now[i];
            }
        }
        return out;
    }
    // The statements sent, the tree's reload shown as "reload".
    std::string statements() {
        std::string out;
        for (const std::string& s : sent) {
            if (s != kLoadFolders && s.rfind("select * from TEMP_FIELD where kind='A'", 0) != 0) {
                out += s + "\n";
            } else if (s == kLoadFolders) {
                out += "reload\n";
            }
        }
        return out;
    }

    rvtest::TempDir m_dir;
    std::string m_path = m_dir.file("t.mdb");
    controls::MsgBoxResponder responder{controls::vbOK};
    AccountBrowse browser;
    std::vector<std::string> sent;
    Rows m_before;
    std::string highlighted;  // the drop target's key while over it
};

const std::string kS9 = "SELECT SORTBY FROM TEMP_FIELD WHERE P_FIELD_NO = ";
const std::string kS10 = "SELECT SORTBY FROM TEMP_FIELD WHERE FIELD_NO = ";
const std::string kS17 = "UPDATE TEMP_FIELD SET SORTBY= SORTBY+1 WHERE P_FIELD_NO= ";
const std::string kS18 = "UPDATE TEMP_FIELD SET SORTBY= ";
const std::string kS20 = "UPDATE TEMP_FIELD SET P_FIELD_NO= ";

TEST(MoveDrops, EachDropSendsItsStatementsAndLeavesItsPositions) {
    const struct {
        const char* moved;
        const char* target;
        std::string statements;
        const char* changes;
        const char* refusal = "";
    } cases[] = {
        {"6", "8",
         kS10 + "8\n" + kS17 + "5 AND SORTBY >= 3\n" + kS18 + "3 WHERE FIELD_NO= 6\n" + kS20 +
             "5 WHERE FIELD_NO= 6\nreload\n",
         "6:5:3 8:5:4 9:5:5"},
        {"9", "7",
         kS10 + "7\n" + kS17 + "5 AND SORTBY >= 2\n" + kS18 + "2 WHERE FIELD_NO= 9\n" + kS20 +
             "5 WHERE FIELD_NO= 9\nreload\n",
         "7:5:3 8:5:4 9:5:2"},
        // Its own folder: the end.  Another folder, before a field: the gap stays behind.
        {"6", "5",
         kS9 + "5 ORDER BY SORTBY DESC\n" + kS18 + "5 WHERE FIELD_NO= 6\n" + kS20 +
             "5 WHERE FIELD_NO= 6\nreload\n",
         "6:5:5"},
        {"7", "4",
         kS10 + "4\n" + kS17 + "3 AND SORTBY >= 1\n" + kS18 + "1 WHERE FIELD_NO= 7\n" + kS20 +
             "3 WHERE FIELD_NO= 7\nreload\n",
         "4:3:2 7:3:1"},
        {"5", "0",
         kS9 + "0 ORDER BY SORTBY DESC\n" + kS18 + "2 WHERE FIELD_NO= 5\n" + kS20 +
             "0 WHERE FIELD_NO= 5\nreload\n",
         "5:0:2"},
        {"8", "11",
         kS9 + "11 ORDER BY SORTBY DESC\nUPDATE TEMP_FIELD SET SORTBY= 1 WHERE FIELD_NO= 8\n" +
             kS20 + "11 WHERE FIELD_NO= 8\nreload\n",
         "8:11:1"},
        // A folder holding only subfolders has no last position: nothing, but a reload.
        {"12", "10", kS9 + "10 ORDER BY SORTBY DESC\nreload\n", ""},
        // Into its own subtree at any depth, or below a folder of the same name: refused.
        {"1", "3", "", "", "この場所への移動はできません"},
        {"1", "4", "", "", "この場所への移動はできません"},
        {"6", "4", "", "", "この場所への移動はできません"},
        {"6", "2", "", ""},  // the same name
        {"0", "5", "", ""},  // the root stays
        {"7", "", "", ""},   // no node
    };
    for (const auto& c : cases) {
        Browser t;
        t.click(c.moved);
        t.sent.clear();
        t.drag(c.moved, c.target);
        EXPECT_EQ(t.highlighted, c.target);
        EXPECT_EQ(t.statements(), c.statements) << c.moved << " on " << c.target;
        EXPECT_EQ(t.changes(), c.changes) << c.moved << " on " << c.target;
        const std::vector<QString> prompts = t.responder.prompts();
        EXPECT_EQ(prompts.empty() ? "" : prompts.front().toStdString(), c.refusal);
        EXPECT_EQ(t.tree().dropHighlight(), nullptr);
        EXPECT_FALSE(t.tree().isDragging());
    }
}

TEST(MoveDrops, NoDragBeforeTheFirstClickAndAFailureAfterTheShiftUndoesTheMove) {
    Browser t;
    t.drag("6", "8");
    EXPECT_EQ(t.highlighted, "");
    EXPECT_EQ(t.statements(), "");

    rvtest::RawDb(t.m_path, "")
        .exec(
            "CREATE TRIGGER keep6 BEFORE UPDATE OF SORTBY ON TEMP_FIELD WHEN new.FIELD_NO=6 "
            "BEGIN SELECT RAISE(ABORT,'entry 6 stays'); END");
    t.click("6");
    t.drag("6", "8");
    EXPECT_EQ(t.statements(),
              kS10 + "8\n" + kS17 + "5 AND SORTBY >= 3\n" + kS18 + "3 WHERE FIELD_NO= 6\nreload\n");
    EXPECT_EQ(t.changes(), "");
    ASSERT_EQ(t.responder.calls().size(), 1u);
    EXPECT_TRUE(t.responder.calls()[0].prompt.contains(u"entry 6 stays"));
    EXPECT_TRUE(t.responder.calls()[0].exclamation);
    EXPECT_FALSE(t.browser.basTable.inTransaction());
}

TEST(MoveDrops, ADragScrollsAtTheEdgesIntoTheExpandedFoldersAbove) {
    Browser t;
    t.click("6");
    t.browser.resize(420, 160);
    KeyedTree& tree = t.tree();
    ASSERT_GE(tree.visibleCount(), 3);
    const auto over = [&](KeyedTree::Node* n) {
        QTest::mouseMove(tree.viewport(), tree.visualItemRect(n).center());
    };
    tree.setFirstVisible(t.node("5"));
    QTest::mousePress(tree.viewport(), Qt::LeftButton, {}, t.at("5"));
    QTest::mouseMove(tree.viewport(), t.at("5") + QPoint(30, 0));
    over(t.node("5"));
    EXPECT_EQ(tree.firstVisible(), t.node("4")) << "the last row inside A, K and C";
    KeyedTree::Node* second = tree.visibleNode(2);
    over(tree.visibleNode(tree.visibleCount()));
    EXPECT_EQ(tree.firstVisible(), second);
    tree.setFirstVisible(t.node("0"));
    over(t.node("0"));
    EXPECT_EQ(tree.firstVisible(), t.node("0")) << "the very top";
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
        {"12", Qt::Key_Up, ""},   // after the folders
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
