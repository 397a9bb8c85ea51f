// The wizard as a host sees it: opening, activation, the create command, closing, and what
// is left on disk afterwards.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "component/create_db_sql.h"
#include "component/make_db.h"
#include "component/rv_makedb.h"
#include "component/rv_makedb_form.h"
#include "controls/flex_grid.h"
#include "controls/keyed_tree.h"
#include "controls/mouse_pointer.h"
#include "controls/msg_box.h"
#include "databases.h"
#include "jet/connection.h"
#include "jet/connection_string.h"
#include "modal.h"
#include "raw_db.h"
#include "temp_dir.h"

namespace {

using namespace Qt::Literals::StringLiterals;
using component::rv_makeDBForm;

class WizardLife : public ::testing::Test {
  protected:
    // Opens the wizard through the host's entry, runs `inside` on it, then presses Cancel
    // unless `inside` closed it.
    void run(const std::string& password, const std::function<void(rv_makeDBForm&)>& inside) {
        rvtest::whenModal([inside](QWidget* w) {
            auto* form = qobject_cast<rv_makeDBForm*>(w);
            ASSERT_NE(form, nullptr);
            inside(*form);
            if (form->isVisible()) {
                form->Command1->click();
            }
        });
        auto timedOut = rvtest::closeModalsAfter(20000);
        std::string file = m_path, pass = password, conn = m_templates;
        makeDB().CreateDatabase(file, pass, conn);
        EXPECT_FALSE(*timedOut) << "the wizard did not close";
    }
    // Fills the grid with "ID|name|attribute|size" rows and presses OK; true when it closed.
    static bool ok(rv_makeDBForm& form, const QStringList& rows) {
        for (const QString& row : rows) {
            form.fg1->addItem(u"\t"_s + QString(row).replace(u'|', u'\t') + u"\tON"_s);
        }
        form.Command2->click();
        return !form.isVisible();
    }
    QStringList prompts() const {
        const std::vector<QString> all = m_responder.prompts();
        return QStringList(all.begin(), all.end());
    }

    rvtest::TempDir m_dir;
    std::string m_templates = rvtest::templateLibrary(m_dir.file("base.mdb"));
    std::string m_path = m_dir.file("product.mdb");
    controls::MsgBoxResponder m_responder;
};

TEST_F(WizardLife, ANewPathGetsAProtectedFileThatCancelRemoves) {
    for (const std::string password : {"secret", ""}) {
        bool sawFile = false;
        run(password, [&](rv_makeDBForm& form) {
            sawFile = QFileInfo::exists(QString::fromStdString(m_path));
            EXPECT_FALSE(form.dbExists());
            EXPECT_EQ(rvtest::readBytes(m_path).substr(0, 15) == "SQLite format 3",
                      password.empty());
            jet::Connection c;
            EXPECT_NO_THROW(c.open(jet::ConnectionString::build(m_path, password)));
            EXPECT_EQ(form.fg1->rows(), 1) << "only the heading row";
            EXPECT_NE(form.SSTree1->node(u"137"_s), nullptr) << "the library's tree";
        });
        EXPECT_TRUE(sawFile);
        EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(m_path)));
    }
}

TEST_F(WizardLife, AnExistingDatabaseIsLoadedAndLeftAlone) {
    rvtest::productDatabase(m_path, "pw",
                            {"INSERT INTO FIELD(FIELD_ID,FIELD_NAME,ATTR,IME,DISP_SEQNO) "
                             "VALUES('NAME','氏名','T','1',1)"});
    const std::string before = rvtest::readBytes(m_path);
    run("pw", [&](rv_makeDBForm& form) {
        EXPECT_TRUE(form.dbExists());
        ASSERT_EQ(form.fg1->rows(), 2);
        EXPECT_EQ(form.fg1->textMatrix(1, 9), u"1"_s);
    });
    EXPECT_EQ(rvtest::readBytes(m_path), before);
}

TEST_F(WizardLife, AWrongPasswordSaysSoOnceAndClosesByItself) {
    rvtest::productDatabase(m_path, "right", {});
    const std::string before = rvtest::readBytes(m_path);
    auto timedOut = rvtest::closeModalsAfter(10000);
    std::string file = m_path, pass = "wrong", conn = m_templates;
    makeDB().CreateDatabase(file, pass, conn);
    EXPECT_FALSE(*timedOut);
    EXPECT_EQ(prompts(), QStringList{u"データベースがエラーです"_s});
    EXPECT_EQ(m_responder.calls()[0].title, u"ravLIN"_s);
    EXPECT_TRUE(m_responder.calls()[0].exclamation);
    EXPECT_EQ(rvtest::readBytes(m_path), before);
}

TEST_F(WizardLife, AnUnreadableTemplateLibraryFailsTheCallBeforeAnythingHappens) {
    const std::string missing = rvtest::connectionString(m_dir.file("missing.mdb"));
    for (std::string conn : {missing, std::string("Provider=SQLOLEDB;Data Source=x")}) {
        std::string file = m_path, pass = "pw";
        EXPECT_ANY_THROW(makeDB().CreateDatabase(file, pass, conn)) << conn;
        EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(m_path)));
        EXPECT_EQ(CreateDBSql::currentWizard(), nullptr);
    }
    EXPECT_NE(rv_makeDB_CreateDatabase(m_path.c_str(), "pw", missing.c_str()), 0);
    EXPECT_NE(std::string(rv_makeDB_LastError()).find("missing.mdb"), std::string::npos);
}

TEST_F(WizardLife, TheWindowShowsItsTextsAndDisablesTheRowButtonsOnEveryActivation) {
    run("", [&](rv_makeDBForm& form) {
        EXPECT_EQ(form.windowTitle(), u"データベース作成ウイザード"_s);
        EXPECT_EQ(form.Label1->text(),
                  u"データベース項目を作成します。主な項目は右のリストにあります。"
                  u"「<< 使用」ボタンを用いることで簡単に使用することができます。"
                  u"また、左側のリストに直接設定することも可能です。"_s);
        const std::vector<std::tuple<QPushButton*, QString, QString>> buttons = {
            {form.Command1, u"キャンセル(C)"_s, {}},
            {form.Command2, u"OK(O)"_s, {}},
            {form.Command3, u"上へ(&U)"_s, u"Alt+U"_s},
            {form.Command4, u"<< 使用(&A)"_s, u"Alt+A"_s},
            {form.Command5, u"削除(&R) >>"_s, u"Alt+R"_s},
            {form.Command6, u"下へ(&D)"_s, u"Alt+D"_s},
            {form.Command7, u"設定"_s, {}},
            {form.Command8, u"項目追加"_s, {}}};
        for (const auto& [b, caption, key] : buttons) {
            EXPECT_EQ(b->text(), caption);
            EXPECT_EQ(b->shortcut(), QKeySequence(key));
            b->setEnabled(true);
        }
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(&form, &activate);
        for (const auto& [b, caption, key] : buttons) {
            const bool rowCommand = b == form.Command3 || b == form.Command4 ||
                                    b == form.Command5 || b == form.Command6;
            EXPECT_EQ(b->isEnabled(), !rowCommand) << caption.toStdString();
        }
        const QStringList headings = {
            {},          u"フィールドID"_s, u"項目名"_s,         u"属性"_s,
            u"サイズ"_s, u"IME"_s,          u"メールアドレス"_s, u"FAX番号"_s};
        for (int c = 1; c < headings.size(); ++c) {
            EXPECT_EQ(form.fg1->textMatrix(0, c), headings[c]);
        }
        EXPECT_EQ(form.fg1->cols(), 10);
        for (int c : {6, 7, 8, 9}) {
            EXPECT_TRUE(form.fg1->isColHidden(c)) << c;
        }
    });
}

TEST_F(WizardLife, OkChecksAsksAndWritesNothingUntilTheBuildSucceeds) {
    m_responder.setDefaultAnswer(controls::vbCancel);
    run("pw", [&](rv_makeDBForm& form) {
        EXPECT_FALSE(ok(form, {u"MAIL1|a|文字|"_s}));
        EXPECT_EQ(controls::mousePointer(), controls::kPointerNormal);
        form.fg1->setTextMatrix(1, 1, u"mail1"_s);
        form.fg1->setTextMatrix(1, 4, u"10"_s);
        EXPECT_FALSE(ok(form, {u"SELECT|b|数字|"_s}));  // the question, answered Cancel
        EXPECT_EQ(rvtest::RawDb(m_path, "pw").scalar("SELECT count(*) FROM sqlite_master"), "0");
        m_responder.setDefaultAnswer(controls::vbOK);
        EXPECT_FALSE(ok(form, {}));  // now the build fails on the reserved word
        EXPECT_TRUE(form.buildFailed());
        EXPECT_EQ(controls::mousePointer(), controls::kPointerNormal);
        form.fg1->setTextMatrix(2, 1, u"B"_s);
        EXPECT_TRUE(ok(form, {}));
        EXPECT_TRUE(form.dbExists());
    });
    EXPECT_EQ(prompts(), (QStringList{
                             u"1行目のデータサイズは必須です｡"_s,
                             u"メール項目が存在しないため、メールを送信することが出来ません。"
                             u"よろしいですか。"_s,
                             u"メール項目が存在しないため、メールを送信することが出来ません。"
                             u"よろしいですか。"_s,
                             u"項目ＩＤが誤っています。行= 2　項目ＩＤ=SELECT"_s,
                             u"メール項目が存在しないため、メールを送信することが出来ません。"
                             u"よろしいですか。"_s,
                         }));
    EXPECT_EQ(rvtest::RawDb(m_path, "pw").rows("SELECT FIELD_ID FROM FIELD ORDER BY DISP_SEQNO"),
              (std::vector<std::string>{"mail1", "B"}));
}

TEST_F(WizardLife, TheTreeEnablesUseCopiesIntoTheGridAndNeverSeesCutCopyOrPaste) {
    run("", [&](rv_makeDBForm& form) {
        controls::KeyedTree& tree = *form.SSTree1;
        for (const auto& [key, enables] : {std::pair{"137", true}, {"9", false}, {"0", false}}) {
            Q_EMIT tree.nodeClick(tree.node(QString::fromLatin1(key)));
            EXPECT_EQ(form.Command4->isEnabled(), enables) << key;
            EXPECT_EQ(form.basNodeKey, QString::fromLatin1(key));
        }
        tree.node(u"9"_s)->setSelected(true);
        tree.node(u"137"_s)->setSelected(true);
        form.Command4->setEnabled(true);
        form.Command4->click();
        EXPECT_EQ(form.fg1->textMatrix(1, 1), u"MAIL1"_s);
        EXPECT_TRUE(form.Command5->isEnabled());

        tree.setFocus();
        tree.setCurrentItem(tree.node(u"137"_s));
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        for (Qt::Key k : {Qt::Key_X, Qt::Key_C, Qt::Key_V}) {
            QTest::keyClick(&tree, k, Qt::ControlModifier);
        }
        EXPECT_TRUE(clipboard->text().isEmpty());
        tree.removeEventFilter(&form);  // unguarded, the tree copies the node's text
        QTest::keyClick(&tree, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(clipboard->text(), u"PCメール"_s);
    });
}

}  // namespace
