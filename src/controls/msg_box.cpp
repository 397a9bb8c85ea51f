// SPDX-License-Identifier: MIT
#include "controls/msg_box.h"

#include <QApplication>
#include <QMessageBox>

namespace controls {

namespace {

constexpr int kButtonMask = 0x0F;
constexpr int kIconMask = 0x70;

MsgBoxResponder*& currentResponder() {
    static MsgBoxResponder* responder = nullptr;
    return responder;
}

MsgBoxCall describe(const QString& prompt, int buttons, const QString& title) {
    MsgBoxCall call;
    call.prompt = prompt;
    call.title = title;
    call.buttons = buttons;
    call.exclamation = (buttons & kIconMask) == vbExclamation;
    call.okCancel = (buttons & kButtonMask) == vbOKCancel;
    return call;
}

int showDialog(const MsgBoxCall& call) {
    QMessageBox box(call.exclamation ? QMessageBox::Warning : QMessageBox::NoIcon, call.title,
                    call.prompt, QMessageBox::Ok, QApplication::activeWindow());
    if (call.okCancel) {
        box.addButton(QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
    }
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
    // Escape and the close button answer Cancel where there is one.
    const bool ok = box.clickedButton() == box.button(QMessageBox::Ok);
    return call.okCancel && !ok ? vbCancel : vbOK;
}

}  // namespace

int tell(const Message& message) {
    return MsgBox(message.prompt(), message.buttons, kMsgBoxTitle.toString());
}

int tell(QStringView text, int buttons, std::initializer_list<QString> values) {
    return tell(Message{text.toString(), buttons, QStringList(values)});
}

int MsgBox(const QString& prompt, int buttons, const QString& title) {
    const MsgBoxCall call = describe(prompt, buttons, title);
    if (MsgBoxResponder* responder = MsgBoxResponder::current()) {
        return responder->respond(call);
    }
    return showDialog(call);
}

MsgBoxResponder::MsgBoxResponder(int defaultAnswer)
    : m_previous(currentResponder()), m_defaultAnswer(defaultAnswer) {
    currentResponder() = this;
}

MsgBoxResponder::~MsgBoxResponder() {
    currentResponder() = m_previous;
}

MsgBoxResponder* MsgBoxResponder::current() {
    return currentResponder();
}

std::vector<QString> MsgBoxResponder::prompts() const {
    std::vector<QString> result;
    result.reserve(m_calls.size());
    for (const MsgBoxCall& call : m_calls) {
        result.push_back(call.prompt);
    }
    return result;
}

int MsgBoxResponder::respond(const MsgBoxCall& call) {
    m_calls.push_back(call);
    report(call);
    return call.okCancel ? answerQuestion(call) : vbOK;
}

int MsgBoxResponder::answerQuestion(const MsgBoxCall& call) {
    (void)call;
    if (m_queue.empty()) {
        return m_defaultAnswer;
    }
    const int answer = m_queue.front();
    m_queue.pop_front();
    return answer;
}

}  // namespace controls
