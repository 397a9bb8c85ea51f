// SPDX-License-Identifier: MIT
// Finding in a keyed tree: how texts compare, what the filtered tree shows, and the tree
// put back afterwards.
#include "controls/tree_find_line.h"
#include "controls/accessibility.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using controls::KeyedTree;
using controls::TreeFindLine;
using Node = KeyedTree::Node;

TEST(FoldForFind, WidthKanaAndCaseAreIgnored) {
    const struct {
        QString text;
        QString typed;
        bool found;
    } cases[] = {
        {u"ＭＡＩＬ１"_s, u"mail1"_s, true},  // full-width letters and digits
        {u"Mail"_s, u"MAIL"_s, true},        {u"ｶﾅ"_s, u"カナ"_s, true},  // half-width katakana
        {u"ｶﾞｲﾄﾞ"_s, u"ガイド"_s, true},  // with their voicing marks
        {u"カナ"_s, u"かな"_s, true},     // katakana and hiragana
        {u"ﾒｰﾙｱﾄﾞﾚｽ"_s, u"めーる"_s, true},  {u"ヴィラ"_s, u"ゔぃ"_s, true},
        {u"携帯メール"_s, u"メモ"_s, false}, {u"郵便番号"_s, u"番号"_s, true},
        {u"NAME"_s, u"nmae"_s, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(controls::foldForFind(c.text).contains(controls::foldForFind(c.typed)), c.found)
            << c.text.toStdString() << " / " << c.typed.toStdString();
    }
}

namespace {

// "0" 全部の項目 ─ "1" 連絡先 ─ "3" 氏名 (NAME), "4" メール (MAIL1)
//               ─ "2" その他 ─ "5" ﾒｰﾙ2 (MAIL2), "6" 備考 (NOTE)
//               ─ "7" 住所 ─ "8" 郵便番号 (ZIP)
// with "2" and "7" collapsed, "3" selected and current.
class Finding : public testing::Test {
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

TEST_F(Finding, TypingKeepsTheMatchesAndTheirFoldersAndEscapePutsTheTreeBack) {
    const std::string whole = shown();
    ASSERT_EQ(whole, "0+ 1+ 2 7 3 4 5 6 8");  // nodes in add order
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
}

TEST_F(Finding, EnterWalksTheMatchesAndWhatItChoseStaysChosenAfterEscape) {
    controls::reportKeyMovesAsClicks(tree);
    QSignalSpy clicks(&tree, &KeyedTree::nodeClick);
    line.openFind();
    line.setText(u"MAIL"_s);
    EXPECT_EQ(line.matches(), (QList<Node*>{n("4"), n("5")}));
    // From the current 氏名 on, and round again.
    for (const char* expected : {"4", "5", "4", "5"}) {
        QTest::keyClick(&line, Qt::Key_Return);
        EXPECT_EQ(selected(), expected);
        EXPECT_EQ(clicks.takeLast()[0].value<QTreeWidgetItem*>(), n(expected));
    }
    EXPECT_EQ(QApplication::focusWidget(), &line);

    tree.setFocus();
    QTest::keyClick(&tree, Qt::Key_Escape);  // from the tree as well
    EXPECT_FALSE(line.isVisible());
    EXPECT_EQ(shown(), "0+ 1+ 2+ 7 3 4 5 6 8") << "collapsed as before, but for the choice";
    EXPECT_EQ(selected(), "5");
}

TEST_F(Finding, TheFilterFollowsTheTreeWhenItIsLoadedAgain) {
    line.openFind();
    line.setText(u"名"_s);
    ASSERT_EQ(shown(), "0+ 1+ 3");
    load();
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown() == "0+ 1+ 3"; }));
    n("4")->setText(0, u"名刺"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown() == "0+ 1+ 3 4"; }));
    EXPECT_EQ(line.matches(), (QList<Node*>{n("3"), n("4")}));
    line.closeFind();
    EXPECT_EQ(shown(), "0+ 1+ 2 7 3 4 5 6 8");
}
