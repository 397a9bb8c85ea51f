// OK in the wizard: the checks with their exact messages, the mail question, and the
// build that closes the wizard.
#include <gtest/gtest.h>

#include <QFile>
#include <QPushButton>

#include "component/create_db_sql.h"
#include "component/rv_makedb_form.h"
#include "controls/flex_grid.h"
#include "controls/mouse_pointer.h"
#include "controls/msg_box.h"
#include "db_fixtures.h"
#include "jet/temp_dir.h"
#include "modal.h"
#include "raw_db.h"

namespace {

using component::rv_makeDBForm;

QString row(const char* id, const char* name, const char* attr = "文字", const char* size = "10") {
    return QStringLiteral("\t%1\t%2\t%3\t%4\tON\t\t\t\t")
        .arg(QString::fromUtf8(id), QString::fromUtf8(name), QString::fromUtf8(attr),
             QString::fromUtf8(size));
}

class CreateCommand : public ::testing::Test {
  protected:
    void SetUp() override {
        m_templates = QString::fromStdString(rvtest::makeTemplateDb(m_dir.file("base.mdb"), {}));
        m_path = QString::fromStdString(m_dir.file("p.mdb"));
    }
    // Opens the wizard on a new file, fills the grid, presses OK, then runs `after`;
    // returns whether OK closed the wizard.
    bool ok(const QStringList& rows, const std::function<void(rv_makeDBForm&)>& after = {}) {
        bool closedByOk = false;
        rvtest::whenModal([&](QWidget* w) {
            auto* form = qobject_cast<rv_makeDBForm*>(w);
            ASSERT_NE(form, nullptr);
            for (const QString& r : rows) {
                form->fg1->addItem(r);
            }
            form->Command2->click();
            closedByOk = !form->isVisible();
            if (after && !closedByOk) {
                after(*form);
            }
            if (form->isVisible()) {
                form->Command1->click();
            }
        });
        auto timedOut = rvtest::closeModalsAfter(20000);
        QString pass = QStringLiteral("pw");
        CreateDBSql::showMakeDBForm(m_path, pass, m_templates);
        EXPECT_FALSE(*timedOut);
        return closedByOk;
    }
    QStringList prompts() const {
        QStringList out;
        for (const auto& c : m_responder.calls()) {
            out << c.prompt;
        }
        return out;
    }

    rvtest::TempDir m_dir;
    QString m_templates;
    QString m_path;
    controls::MsgBoxResponder m_responder;
};

TEST_F(CreateCommand, EachCheckStopsWithItsMessage) {
    struct Case {
        QStringList rows;
        QString message;
    };
    const std::vector<Case> cases = {
        {{}, QStringLiteral("データベースを作成するには、項目を入力してください。")},
        {{row("MAIL1", "a"), row("B", "b"), row("C", "")},
         QStringLiteral("3行目の 項目IDと項目名を入力してください。")},
        {{row("MAIL1", "a"), row("", "b")},
         QStringLiteral("2行目の 項目IDと項目名を入力してください。")},
        {{row("MAIL1", "a"), row("B", "b", "文字", "")},
         QStringLiteral("2行目のデータサイズは必須です｡")},
        {{row("MAIL1", "a"), row("tel", "b"), row("C", "c"), row("D", "d"), row("TEL", "e")},
         QStringLiteral("項目ID あるいは項目名は重複しています。 \r\n行： 2　と  5　重複")},
        {{row("MAIL1", "a"), row("B", "同じ"), row("C", "同じ")},
         QStringLiteral("項目ID あるいは項目名は重複しています。 \r\n行： 2　と  3　重複")},
        {{row("MAIL1", "項目名")},
         QStringLiteral("項目ID あるいは項目名は重複しています。 \r\n行： 0　と  1　重複")},
        {{row("MAIL1", "a"), row("フィールドID", "b")},
         QStringLiteral("項目ID あるいは項目名は重複しています。 \r\n行： 0　と  2　重複")},
    };
    for (const auto& c : cases) {
        m_responder.clear();
        EXPECT_FALSE(ok(c.rows));
        ASSERT_EQ(m_responder.calls().size(), 1u) << c.message.toStdString();
        EXPECT_EQ(m_responder.calls()[0].prompt, c.message);
        EXPECT_EQ(m_responder.calls()[0].title, QStringLiteral("ravLIN"));
        EXPECT_TRUE(m_responder.calls()[0].exclamation);
        EXPECT_FALSE(m_responder.calls()[0].okCancel);
        EXPECT_EQ(controls::mousePointer(), controls::kPointerNormal);
        EXPECT_FALSE(QFile::exists(m_path)) << "Cancel removed the empty file";
    }
}

TEST_F(CreateCommand, OnlyTextFieldsNeedASize) {
    EXPECT_TRUE(ok({row("MAIL1", "a"), row("N", "n", "数字", ""), row("D", "d", "日付", ""),
                    row("B", "b", "YESNO", ""), row("M", "m", "メモ", "")}));
    EXPECT_TRUE(m_responder.calls().empty()) << prompts().join(u'|').toStdString();
    rvtest::RawDb raw(m_path.toStdString(), "pw");
    EXPECT_EQ(raw.scalar("SELECT count(*) FROM FIELD"), "5");
}

TEST_F(CreateCommand, MailQuestionOnlyWithoutAMailFieldAndCancelWritesNothing) {
    m_responder.setDefaultAnswer(controls::vbCancel);
    bool sawNoTables = false;
    EXPECT_FALSE(ok({row("mail1", "a")}, [&](rv_makeDBForm& form) {
        EXPECT_FALSE(form.dbExists());
        rvtest::RawDb raw(m_path.toStdString(), "pw");
        sawNoTables = raw.scalar("SELECT count(*) FROM sqlite_master") == "0";
    }));
    EXPECT_TRUE(sawNoTables);
    ASSERT_EQ(m_responder.calls().size(), 1u);
    EXPECT_EQ(m_responder.calls()[0].prompt,
              QStringLiteral("メール項目が存在しないため、メールを送信することが出来ません。"
                             "よろしいですか。"));
    EXPECT_TRUE(m_responder.calls()[0].okCancel);
    EXPECT_FALSE(m_responder.calls()[0].exclamation);

    m_responder.clear();
    EXPECT_TRUE(ok({row("MAIL2", "a"), row("FAX1", "f")}));
    EXPECT_TRUE(m_responder.calls().empty()) << "MAIL2 is a mail field: no question";
    EXPECT_TRUE(QFile::exists(m_path));
}

TEST_F(CreateCommand, AnsweringOkBuildsWithoutMail) {
    m_responder.setDefaultAnswer(controls::vbOK);
    EXPECT_TRUE(ok({row("A", "a")}));
    EXPECT_EQ(m_responder.calls().size(), 1u);
    EXPECT_TRUE(QFile::exists(m_path));
}

TEST_F(CreateCommand, AFailedBuildCanBeFixedAndPressedAgain) {
    bool closedSecondTime = false;
    bool dbExistsAfter = false;
    EXPECT_FALSE(ok({row("MAIL1", "a"), row("SELECT", "b")}, [&](rv_makeDBForm& form) {
        EXPECT_TRUE(form.buildFailed());
        EXPECT_EQ(controls::mousePointer(), controls::kPointerNormal);
        form.fg1->setTextMatrix(2, 1, QStringLiteral("B"));
        form.Command2->click();
        closedSecondTime = !form.isVisible();
        dbExistsAfter = form.dbExists();
    }));
    EXPECT_TRUE(closedSecondTime);
    EXPECT_TRUE(dbExistsAfter);
    EXPECT_EQ(prompts(),
              QStringList{QStringLiteral("項目ＩＤが誤っています。行= 2　項目ＩＤ=SELECT")});
    rvtest::RawDb raw(m_path.toStdString(), "pw");
    EXPECT_EQ(raw.rows("SELECT FIELD_ID FROM FIELD ORDER BY DISP_SEQNO"),
              (std::vector<std::string>{"MAIL1", "B"}));
}

}  // namespace
