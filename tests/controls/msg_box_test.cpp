#include "controls/msg_box.h"
#include "controls/batch_msg_box_responder.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace controls;

TEST(MsgBoxResponder, RecordsEveryCallAndGivesQueuedAnswersToQuestionsOnly) {
    MsgBoxResponder responder(vbCancel);
    responder.queueAnswer(vbOK);
    // An OK-only box can only be answered OK and leaves the queue alone.
    EXPECT_EQ(MsgBox(u"警告"_s, vbOKOnly + vbExclamation, u"ravLIN"_s), vbOK);
    EXPECT_EQ(MsgBox(u"質問"_s, vbOKCancel, u"ravLIN"_s), vbOK);
    EXPECT_EQ(MsgBox(u"plain"_s), vbOK);
    EXPECT_EQ(MsgBox(u"c"_s, vbOKCancel + vbExclamation, u"t"_s), vbCancel);

    ASSERT_EQ(responder.calls().size(), 4u);
    const MsgBoxCall& warning = responder.calls()[0];
    EXPECT_EQ(warning.title, u"ravLIN"_s);
    EXPECT_EQ(warning.buttons, 48);
    EXPECT_TRUE(warning.exclamation);
    EXPECT_FALSE(warning.okCancel);
    EXPECT_FALSE(responder.calls()[1].exclamation);
    EXPECT_TRUE(responder.calls()[1].okCancel);
    EXPECT_EQ(responder.prompts(),
              (std::vector<QString>{u"警告"_s, u"質問"_s, u"plain"_s, u"c"_s}));
}

TEST(Tell, FillsPlaceholdersInOnePassAndShowsUnderTheTitle) {
    const struct {
        QString text;
        QStringList values;
        QString filled;
    } cases[] = {
        {u"%1行目"_s, {u"3"_s}, u"3行目"_s},
        {u"%2と%1と%2"_s, {u"a"_s, u"b"_s}, u"bとaとb"_s},
        {u"ID=%1 %2"_s, {u"%2"_s, u"x"_s}, u"ID=%2 x"_s},  // a value is not filled again
        {u"%3 %1%"_s, {u"a"_s}, u"%3 a%"_s},
    };
    MsgBoxResponder responder(vbCancel);
    for (const auto& c : cases) {
        EXPECT_EQ(fill(c.text, c.values), c.filled);
    }
    EXPECT_EQ(tell(u"%1行目"_s, vbOKCancel, {u"2"_s}), vbCancel);
    ASSERT_EQ(responder.calls().size(), 1u);
    EXPECT_EQ(responder.calls()[0].prompt, u"2行目"_s);
    EXPECT_EQ(responder.calls()[0].title, u"ravLIN"_s);
    EXPECT_TRUE(responder.calls()[0].okCancel);
}

TEST(MsgBoxResponder, NestedRespondersRestoreThePreviousOne) {
    EXPECT_EQ(MsgBoxResponder::current(), nullptr);
    MsgBoxResponder outer;
    {
        MsgBoxResponder inner(vbCancel);
        EXPECT_EQ(MsgBoxResponder::current(), &inner);
        EXPECT_EQ(MsgBox(u"inner"_s, vbOKCancel, u"t"_s), vbCancel);
        EXPECT_TRUE(outer.calls().empty());
    }
    EXPECT_EQ(MsgBoxResponder::current(), &outer);
    EXPECT_EQ(MsgBox(u"outer"_s, vbOKCancel, u"t"_s), vbOK);
    EXPECT_EQ(outer.prompts(), std::vector<QString>{u"outer"_s});
}

TEST(BatchMsgBoxResponder, PrintsOneLinePerMessageAndAnswersAsTold) {
    {
        BatchMsgBoxResponder batch(BatchMsgBoxResponder::QuestionAnswer::Ok);
        testing::internal::CaptureStderr();
        EXPECT_EQ(MsgBox(u"一行目\r\n二行目\n三\r四"_s, vbOKCancel, u"ravLIN"_s), vbOK);
        EXPECT_EQ(MsgBox(u"ok"_s, vbOKOnly, u"ravLIN"_s), vbOK);
        const std::string printed = testing::internal::GetCapturedStderr();
        EXPECT_EQ(QString::fromStdString(printed), u"ravLIN: 一行目 二行目 三 四\nravLIN: ok\n"_s);
    }
    BatchMsgBoxResponder batch;
    testing::internal::CaptureStderr();
    EXPECT_EQ(MsgBox(u"q"_s, vbOKCancel, u"ravLIN"_s), vbCancel);
    EXPECT_EQ(MsgBox(u"w"_s, vbOKOnly + vbExclamation, u"ravLIN"_s), vbOK);
    testing::internal::GetCapturedStderr();
}

TEST(MsgBox, WithoutAResponderShowsAModalBox) {
    ASSERT_EQ(MsgBoxResponder::current(), nullptr);
    QString shown;  // icon, title, text and number of buttons
    const auto answerWith = [&shown](Qt::Key key) {
        QTimer::singleShot(0, [&shown, key] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            shown = u"%1 %2 %3 %4"_s.arg(int(box->icon()))
                        .arg(box->windowTitle(), box->text())
                        .arg(box->buttons().size());
            QTest::keyClick(box, key);
        });
    };
    answerWith(Qt::Key_Escape);
    EXPECT_EQ(MsgBox(u"続けますか"_s, vbOKCancel + vbExclamation, u"ravLIN"_s), vbCancel);
    EXPECT_EQ(shown, u"%1 ravLIN 続けますか 2"_s.arg(int(QMessageBox::Warning)));
    answerWith(Qt::Key_Return);
    EXPECT_EQ(MsgBox(u"最初のレコードです。"_s, vbOKOnly, u"ravLIN"_s), vbOK);
    EXPECT_EQ(shown, u"%1 ravLIN 最初のレコードです。 1"_s.arg(int(QMessageBox::NoIcon)));
}
