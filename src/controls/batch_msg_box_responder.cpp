// SPDX-License-Identifier: MIT
#include "controls/batch_msg_box_responder.h"

#include <cstdio>

namespace controls {

BatchMsgBoxResponder::BatchMsgBoxResponder(QuestionAnswer answer)
    : MsgBoxResponder(answer == QuestionAnswer::Ok ? vbOK : vbCancel) {}

QString BatchMsgBoxResponder::lineFor(const MsgBoxCall& call) {
    QString text = call.prompt;
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return call.title + QStringLiteral(": ") + text;
}

void BatchMsgBoxResponder::report(const MsgBoxCall& call) {
    const QByteArray line = lineFor(call).toUtf8() + '\n';
    std::fputs(line.constData(), stderr);
    std::fflush(stderr);
}

}  // namespace controls
