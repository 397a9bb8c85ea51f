// SPDX-License-Identifier: MIT
// The keyed tree, and finding in it: how texts compare, what the filtered tree shows, and
// the tree put back afterwards.
#include "controls/keyed_tree.h"
#include "controls/accessibility.h"
#include "controls/tree_find_line.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

using namespace Qt::Literals::StringLiterals;
using controls::KeyedTree;
using controls::TreeFindLine;
using Node = KeyedTree::Node;

namespace {

// "0" 全部の項目 ─ "1" 連絡先 ─ "3" 氏名 (NAME), "4" メール (MAIL1)
//               ─ "2" その他 ─ "5" ﾒｰﾙ2 (MAIL2), "6" 備考 (NOTE)
//               ─ "7" 住所 ─ "8" 郵便番号 (ZIP)
// with "2" and "7" collapsed, "3" selected and current.
class Tree : public testing::Test {
  protected:
    void SetUp() override {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(&tree);
        layout->addWidget(&line);
        load();
        window.resize(240, 320);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        tree.setFocus();
    }
    void load() {
        tree.clearNodes();
        // parent key name [ID]; "-": the top level
        for (const QString& row :
             {u"- 0 全部の項目"_s, u"0 1 連絡先"_s, u"0 2 その他"_s, u"0 7 住所"_s,
              u"1 3 氏名 NAME"_s, u"1 4 メール MAIL1"_s, u"2 5 ﾒｰﾙ2 MAIL2"_s, u"2 6 備考 NOTE"_s,
              u"7 8 郵便番号 ZIP"_s}) {
            const QStringList cells = row.split(u' ') << QString();
            const QString parent = cells[0] == u"-" ? QString() : cells[0];
            KeyedTree::setSearchText(tree.addNode(parent, cells[1], cells[2]), cells[3]);
        }
        tree.expandAll();
        n("2")->setExpanded(false);
        n("7")->setExpanded(false);
        tree.setCurrentItem(n("3"));
    }
    Node* n(const char* key) const { return tree.node(QString::fromLatin1(key)); }
    QPoint centreOf(const char* key) const { return tree.visualItemRect(n(key)).center(); }
    // The keys of the nodes shown, in add order; "+" marks an expanded folder.
    std::string shown() const {
        QStringList keys;
        for (int i = 0; i < tree.nodeCount(); ++i) {
            const Node* node = tree.nodeAt(i);
            if (!node->isHidden()) {
                const bool open = node->childCount() > 0 && node->isExpanded();
                keys << KeyedTree::key(node) + (open ? u"+"_s : u""_s);
            }
        }
        return keys.join(u' ').toStdString();
    }
    std::string selected() const {
        QStringList keys;
        for (const Node* node : tree.selectedNodes()) {
            keys << KeyedTree::key(node);
        }
        return keys.join(u' ').toStdString();
    }

    QWidget window;
    KeyedTree tree;
    TreeFindLine line{tree};
};

}  // namespace

TEST_F(Tree, NodesAreFoundByKeyCountedInAddOrderAndRemovedWithTheirSubtree) {
    EXPECT_EQ(n("1")->child(1), n("4"));  // last child of its parent
    EXPECT_EQ(KeyedTree::rootOf(n("4")), n("0"));
    // An unknown parent or a used key is refused without change.
    EXPECT_THROW(tree.addNode(u"9"_s, u"10"_s, {}), std::invalid_argument);
    EXPECT_THROW(tree.addNode(u"0"_s, u"3"_s, {}), std::invalid_argument);
    EXPECT_EQ(shown(), "0+ 1+ 2 7 3 4 5 6 8");

    tree.setDropHighlight(n("4"));
    tree.removeNode(n("1"));
    EXPECT_EQ(shown(), "0+ 2 7 5 6 8");
    EXPECT_EQ(tree.dropHighlight(), nullptr);
    tree.addNode(u"2"_s, u"3"_s, {});  // its keys are free again
    EXPECT_EQ(tree.nodeAt(6), n("3"));
}

// Many nodes at once, as a load adds them: each below an earlier one of the same list or
// below the given node; a key used twice, or one the tree holds, refuses the whole list.
TEST_F(Tree, NodesAddedAtOnceGoBelowTheirParentsOrNotAtAll) {
    using New = KeyedTree::NewNode;
    const std::string before = shown();
    const struct {
        std::vector<New> nodes;
        const char* refused;  // nullptr: added
    } cases[] = {
        {{New{-1, u"20"_s, u"a"_s, {}, nullptr}, New{0, u"3"_s, u"b"_s, {}, nullptr}}, "3"},
        {{New{-1, u"20"_s, u"a"_s, {}, nullptr}, New{0, u"20"_s, u"b"_s, {}, nullptr}}, "20"},
        {{New{1, u"20"_s, u"a"_s, {}, nullptr}, New{-1, u"21"_s, u"b"_s, {}, nullptr}}, "20"},
    };
    for (const auto& c : cases) {
        EXPECT_THROW(tree.addNodes(n("7"), c.nodes), std::invalid_argument) << c.refused;
        EXPECT_EQ(shown(), before) << c.refused;
        EXPECT_EQ(n("20"), nullptr) << c.refused;
    }
    const std::vector<New> nodes{New{-1, u"20"_s, u"a"_s, u"ID"_s, nullptr},
                                 New{0, u"21"_s, u"b"_s, {}, nullptr},
                                 New{-1, u"22"_s, u"c"_s, {}, nullptr}};
    const std::vector<Node*> made = tree.addNodes(n("7"), nodes);
    ASSERT_EQ(made.size(), 3U);
    EXPECT_EQ(made[1], n("21"));
    EXPECT_EQ(n("21")->parent(), n("20"));
    EXPECT_EQ(n("7")->child(2), n("22"));
    EXPECT_EQ(KeyedTree::searchText(n("20")), u"ID"_s);
    EXPECT_EQ(tree.nodeAt(tree.nodeCount() - 1), n("22"));
}

// A node shows its expanded image while it is expanded, its image otherwise.
TEST_F(Tree, TheExpandedImageShowsWhileExpanded) {
    controls::ImageList images;
    QPixmap closed(16, 16), open(16, 16);
    closed.fill(Qt::red);
    open.fill(Qt::blue);
    images.add(u"close"_s, QIcon(closed));
    images.add(u"open"_s, QIcon(open));
    tree.setImageList(images);
    const KeyedTree::NodeLook folder(10, false, Qt::blue, u"close"_s, u"open"_s);
    tree.addNode(u"0"_s, u"30"_s, u"folder"_s, folder);
    tree.addNode(u"30"_s, u"31"_s, u"inside"_s);
    const auto shownColour = [&] {
        const QIcon icon =
            tree.model()->data(tree.indexFromItem(n("30")), Qt::DecorationRole).value<QIcon>();
        return icon.pixmap(16, 16).toImage().pixelColor(8, 8);
    };
    EXPECT_EQ(shownColour(), QColor(Qt::red));
    n("30")->setExpanded(true);
    EXPECT_EQ(shownColour(), QColor(Qt::blue));
}

// A chain as deep as a hostile library can be: removing part of it, emptying the tree and
// destroying it must not take a stack frame per level.
TEST(DeepTree, AChainTensOfThousandsDeepIsRemovedClearedAndDestroyed) {
    KeyedTree tree;
    const auto chain = [&tree] {
        for (int i = 1; i <= 60'000; ++i) {
            tree.addNode(i == 1 ? QString() : QString::number(i - 1), QString::number(i), {});
        }
    };
    chain();
    tree.removeNode(tree.node(u"2"_s));
    EXPECT_EQ(tree.nodeCount(), 1);
    tree.clearNodes();
    EXPECT_EQ(tree.topLevelItemCount(), 0);
    chain();  // and destroyed full
}

// A click reports its node and Ctrl+clicks select several; keys that move the current node
// report it as a click once asked to, and Space toggles.
TEST_F(Tree, ClicksAndKeysThatMoveTheCurrentNodeReportItAndSpaceToggles) {
    tree.expandAll();
    QSignalSpy clicks(&tree, &KeyedTree::nodeClick);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, centreOf("5"));
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, Qt::ControlModifier, centreOf("4"));
    ASSERT_EQ(clicks.count(), 2);
    EXPECT_EQ(clicks[0][0].value<Node*>(), n("5"));
    EXPECT_EQ(selected(), "4 5");

    n("4")->setText(0, u"zeta"_s);
    tree.setCurrentItem(n("0"));
    controls::reportKeyMovesAsClicks(tree);

    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* clicked;  // "" when no click is reported
        std::string selected;
    } steps[] = {
        {Qt::Key_Z, {}, "4", "4"},  // typing the start of a name
        {Qt::Key_Up, {}, "3", "3"},
        {Qt::Key_Space, {}, "", ""},
        {Qt::Key_Space, {}, "", "3"},
        {Qt::Key_Down, Qt::ControlModifier, "4", "3"},  // moves without selecting
        {Qt::Key_Space, {}, "", "3 4"},
    };
    for (const auto& step : steps) {
        clicks.clear();
        QTest::keyClick(&tree, step.key, step.modifiers);
        EXPECT_EQ(selected(), step.selected) << step.key;
        ASSERT_EQ(clicks.count(), *step.clicked ? 1 : 0) << step.key;
        if (*step.clicked) {
            EXPECT_EQ(clicks[0][0].value<Node*>(), n(step.clicked)) << step.key;
        }
    }
}

TEST(FoldForFind, WidthKanaAndCaseAreIgnored) {
    const struct {
        QString text;
        QString typed;
        bool found;
    } cases[] = {
        {u"ＭＡＩＬ１"_s, u"mail1"_s, true},  // full-width letters and digits, any case
        {u"ｶﾞｲﾄﾞ"_s, u"ガイド"_s, true},      // half-width katakana, voicing marks too
        {u"ﾒｰﾙｱﾄﾞﾚｽ"_s, u"めーる"_s, true},   // katakana and hiragana
        {u"ヴィラ"_s, u"ゔぃ"_s, true},      {u"携帯メール"_s, u"メモ"_s, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(controls::foldForFind(c.text).contains(controls::foldForFind(c.typed)), c.found)
            << c.text.toStdString() << " / " << c.typed.toStdString();
    }
}

TEST_F(Tree, TypingKeepsTheMatchesAndTheirFoldersAndEscapePutsTheTreeBack) {
    const std::string whole = shown();
    EXPECT_FALSE(line.isVisible());
    QTest::keyClick(&tree, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(line.isVisible());
    EXPECT_EQ(QApplication::focusWidget(), &line);

    const struct {
        QString typed;
        std::string shown;
    } steps[] = {
        {u"mail"_s, "0+ 1+ 2+ 4 5"},    // by ID, and the hidden folder's field opens it
        {u"メール"_s, "0+ 1+ 2+ 4 5"},  // by name, the half-width one too
        {u"zip"_s, "0+ 7+ 8"},
        {u"なし"_s, ""},
        {u""_s, whole},  // nothing typed: the whole tree as it was
        {u"備"_s, "0+ 2+ 6"},
    };
    for (const auto& step : steps) {
        line.setText(step.typed);  // as typed: the text changes, the filter follows
        EXPECT_EQ(shown(), step.shown) << step.typed.toStdString();
    }
    line.setText(u"mail"_s);
    EXPECT_EQ(selected(), "") << "the hidden 氏名 is not selected meanwhile";

    QTest::keyClick(&line, Qt::Key_Escape);
    EXPECT_FALSE(line.isVisible());
    EXPECT_EQ(line.text(), QString());
    EXPECT_EQ(QApplication::focusWidget(), &tree);
    EXPECT_EQ(shown(), whole);
    EXPECT_EQ(selected(), "3");
    EXPECT_EQ(tree.currentItem(), n("3"));

    // Loaded again and renamed while finding: the filter follows.
    line.openFind();
    line.setText(u"mail"_s);
    load();
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown() == "0+ 1+ 2+ 4 5"; }));
    n("6")->setText(0, u"Mailbox"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown() == "0+ 1+ 2+ 4 5 6"; }));
    EXPECT_EQ(line.matches(), (QList<Node*>{n("4"), n("5"), n("6")}));
    line.closeFind();
    EXPECT_EQ(shown(), "0+ 1+ 2 7 3 4 5 6 8");
}

TEST_F(Tree, EnterWalksTheMatchesAndWhatItChoseStaysChosenAfterEscape) {
    controls::reportKeyMovesAsClicks(tree);
    QSignalSpy clicks(&tree, &KeyedTree::nodeClick);
    line.openFind();
    line.setText(u"MAIL"_s);
    // From the current 氏名 on, and round again.
    for (const char* expected : {"4", "5", "4", "5"}) {
        QTest::keyClick(&line, Qt::Key_Return);
        EXPECT_EQ(selected(), expected);
        EXPECT_EQ(clicks.takeLast()[0].value<Node*>(), n(expected));
    }
    EXPECT_EQ(QApplication::focusWidget(), &line);

    tree.setFocus();
    QTest::keyClick(&tree, Qt::Key_Escape);  // from the tree as well
    EXPECT_FALSE(line.isVisible());
    EXPECT_EQ(shown(), "0+ 1+ 2+ 7 3 4 5 6 8") << "collapsed as before, but for the choice";
    EXPECT_EQ(selected(), "5");
}
