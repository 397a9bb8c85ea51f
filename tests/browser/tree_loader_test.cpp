// SPDX-License-Identifier: MIT
// The template tree on screen: order, looks, the wiring of a refused row (the rows a tree
// shows are the plan's, tests/templates/tree_plan_test.cpp); and the keys it never sees.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include "browser/tree_key_guard.h"
#include "browser/tree_loader.h"
#include "controls/keyed_tree.h"
#include "databases.h"
#include "raw_db.h"
#include "temp_dir.h"

namespace {

using namespace Qt::Literals::StringLiterals;
using controls::KeyedTree;

QStringList childKeys(const KeyedTree::Node* node) {
    QStringList keys;
    for (int i = 0; i < node->childCount(); ++i) {
        keys << KeyedTree::key(node->child(i));
    }
    return keys;
}

class TreeLoader : public ::testing::Test {
  protected:
    templates::LibraryOwner library(const std::vector<std::string>& rows) {
        return templates::LibraryOwner(
            QString::fromStdString(rvtest::templateLibrary(m_dir.file("t.mdb"), rows)));
    }
    rvtest::TempDir m_dir;
    KeyedTree m_tree;
};

TEST_F(TreeLoader, FoldersComeFirstThenFieldsByPositionAndNumber) {
    const templates::LibraryOwner conn = library({
        "5,0,'F','','会社','','',NULL,'',''",
        "3,0,'F','','個人','','',NULL,'',''",
        "7,3,'F','','住所','','',NULL,'',''",
        "10,3,'A','TEL','電話','T','20',2,'0','0'",
        "11,3,'A','ZIP','郵便番号','T','8',1,'0',''",
        "12,3,'A','FAXNO','FAX','T','20',2,'0','1'",
        "13,3,'A','NOTE','備考','M','',NULL,'1',NULL",
        "14,0,'A','NAME','氏名','T','40',1,'1','0'",
    });
    browser::loadTemplateTree(m_tree, conn, browser::LoadErrors::kStop);

    const KeyedTree::Node* root = m_tree.node(QStringLiteral("0"));
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->text(0), QStringLiteral("全部の項目"));
    EXPECT_EQ(childKeys(root), (QStringList{u"3"_s, u"5"_s, u"14"_s}));
    EXPECT_EQ(childKeys(m_tree.node(QStringLiteral("3"))),
              (QStringList{u"7"_s, u"13"_s, u"11"_s, u"10"_s, u"12"_s}))
        << "subfolders, then fields: no position first, then by position, ties by number";

    // Image, expanded image, colour, font size and boldness.
    auto looks = [&](const char* key) {
        const KeyedTree::Node* n = m_tree.node(QString::fromLatin1(key));
        return QStringList{KeyedTree::image(n), KeyedTree::expandedImage(n),
                           KeyedTree::nodeColor(n).name(), QString::number(KeyedTree::fontSize(n)),
                           KeyedTree::isBold(n) ? u"bold"_s : u""_s};
    };
    EXPECT_EQ(looks("0"), (QStringList{u"close"_s, u"open"_s, u"#c8a032"_s, u"10"_s, u""_s}));
    EXPECT_EQ(looks("3"), (QStringList{u"close"_s, u"open"_s, u"#0000ff"_s, u"10"_s, u""_s}));
    EXPECT_EQ(looks("13"), (QStringList{u"f1"_s, u""_s, u"#005000"_s, u"10"_s, u""_s}));
    EXPECT_EQ(looks("12")[0] + looks("10")[0] + looks("11")[0], u"f2f1f1"_s);

    EXPECT_TRUE(root->isExpanded());
    EXPECT_TRUE(m_tree.node(QStringLiteral("3"))->isExpanded());
    EXPECT_FALSE(m_tree.node(QStringLiteral("5"))->isExpanded()) << "an empty folder";
    EXPECT_EQ(m_tree.firstVisible(), root);
    EXPECT_EQ(m_tree.indentationTwips(), 250);
}

// A row that can never be placed (the plan's tests show which) is left out by both loads and
// counted; a query that fails stops the wizard's load only, drawing back on.
TEST_F(TreeLoader, ALeftOutRowIsCountedAndAFailingQueryStopsOnlyTheWizard) {
    const templates::LibraryOwner conn =
        library({"3,0,'F','','親','','',NULL,'',''", "2,9,'F','','子','','',NULL,'',''",
                 "5,3,'A','Y','Y','T','1',1,'0','0'"});
    EXPECT_EQ(browser::loadTemplateTree(m_tree, conn, browser::LoadErrors::kStop),
              (templates::LeftOut{1, u"2"_s, u"子"_s}));
    EXPECT_EQ(m_tree.nodeCount(), 3);

    rvtest::RawDb(m_dir.file("t.mdb"), "").exec("ALTER TABLE TEMP_FIELD RENAME TO OLD_FIELD");
    EXPECT_THROW(browser::loadTemplateTree(m_tree, conn, browser::LoadErrors::kStop),
                 browser::TreeLoadError);
    EXPECT_TRUE(m_tree.updatesEnabled()) << "drawing is back on after a failure";
    EXPECT_EQ(browser::loadTemplateTree(m_tree, conn, browser::LoadErrors::kSkip),
              templates::LeftOut{});
    EXPECT_EQ(m_tree.nodeCount(), 1);
}

// The window's own reading: the same tree as a load, `ready` on the window's thread once the
// rows are in; a library that cannot be opened refuses at once; a reader dropped halfway
// stops its reading (well before it would have ended) and never calls back.
TEST_F(TreeLoader, AReaderOnItsOwnThreadGivesTheLoadsTreeAndStopsWhenDropped) {
    int ready = 0;
    QObject window;
    const auto countReady = [&ready] { ++ready; };
    const templates::LibraryOwner small =
        library({"3,0,'F','','親','','',NULL,'',''", "2,9,'F','','子','','',NULL,'',''",
                 "5,3,'A','Y','Y','T','1',1,'0','0'"});
    {
        browser::TreeReader reader(small, &window, countReady);
        const std::unique_ptr<browser::TreeRead> read = reader.take();
        EXPECT_EQ(browser::showTemplateTree(m_tree, *read, browser::LoadErrors::kStop),
                  (templates::LeftOut{1, u"2"_s, u"子"_s}));
        EXPECT_EQ(reader.take(), nullptr);
    }
    EXPECT_EQ(childKeys(m_tree.node(u"3"_s)), QStringList{u"5"_s});
    QCoreApplication::processEvents();
    EXPECT_EQ(ready, 1);

    const templates::LibraryOwner none(QString::fromStdString(m_dir.file("none.mdb")));
    EXPECT_THROW({ const browser::TreeReader refused(none, &window, countReady); },
                 browser::TreeLoadError);

    // 200,000 fields (one statement of the engine below, not 200,000).
    rvtest::RawDb(m_dir.file("t.mdb"), "")
        .exec(
            "WITH RECURSIVE n(i) AS (SELECT 10 UNION ALL SELECT i + 1 FROM n WHERE i < 200009) "
            "INSERT INTO TEMP_FIELD(FIELD_NO, P_FIELD_NO, KIND, FIELD_ID, FIELD_NAME) "
            "SELECT i, 3, 'A', 'F' || i, 'field ' || i FROM n");
    QElapsedTimer whole;
    whole.start();
    browser::TreeReader(small, &window, countReady).take();
    const qint64 wholeMs = whole.elapsed();
    QElapsedTimer dropped;
    dropped.start();
    { const browser::TreeReader dropping(small, &window, countReady); }
    EXPECT_LT(dropped.elapsed() * 4, wholeMs) << "the whole read took " << wholeMs << " ms";
    QCoreApplication::processEvents();
    EXPECT_EQ(ready, 2) << "the read taken whole called back; the dropped one did not";

    // A failure while reading (here the table is gone) is the read's, shown as a load's.
    rvtest::RawDb(m_dir.file("t.mdb"), "").exec("ALTER TABLE TEMP_FIELD RENAME TO OLD_FIELD");
    const std::unique_ptr<browser::TreeRead> failed =
        browser::TreeReader(small, &window, countReady).take();
    EXPECT_THROW(browser::showTemplateTree(m_tree, *failed, browser::LoadErrors::kStop),
                 browser::TreeLoadError);
}

TEST(TreeKeyGuard, EveryClipboardKeyIsHeldBackAndNothingElse) {
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        bool guarded;
    } cases[] = {
        {Qt::Key_X, Qt::ControlModifier, true},
        {Qt::Key_C, Qt::ControlModifier, true},
        {Qt::Key_V, Qt::ControlModifier | Qt::KeypadModifier, true},
        {Qt::Key_C, Qt::NoModifier, false},
        {Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier, false},
        {Qt::Key_V, Qt::ControlModifier | Qt::AltModifier, false},
        {Qt::Key_A, Qt::ControlModifier, false},
        {Qt::Key_F3, Qt::ControlModifier, false},
        {Qt::Key_Insert, Qt::ControlModifier, true},
        {Qt::Key_Insert, Qt::ShiftModifier, true},
        {Qt::Key_Delete, Qt::ShiftModifier, true},
        {Qt::Key_Insert, Qt::NoModifier, false},
        {Qt::Key_Delete, Qt::NoModifier, false},
        {Qt::Key_Delete, Qt::ControlModifier, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(browser::isGuardedTreeKey(c.key, c.modifiers), c.guarded)
            << c.key << " " << c.modifiers.toInt();
    }
}

}  // namespace
