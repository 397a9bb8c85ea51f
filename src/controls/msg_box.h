// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include "controls/message.h"

#include <deque>
#include <initializer_list>
#include <vector>

namespace controls {

// Shows a modal message box and returns the button pressed (vbOK or vbCancel). Button numbers
// other than vbOKOnly and vbOKCancel show an OK button only; icon numbers other than
// vbExclamation show no icon. While a MsgBoxResponder is alive it answers instead.
int MsgBox(const QString& prompt, int buttons = vbOKOnly, const QString& title = {});

// Title of every message box the component shows.
inline constexpr QStringView kMsgBoxTitle = u"ravLIN";

// Shows the message under the title "ravLIN" and returns the button pressed.
int tell(const Message& message);
int tell(QStringView text, int buttons, std::initializer_list<QString> values = {});

// One call of MsgBox as a responder saw it.
struct MsgBoxCall {
    QString prompt;
    QString title;
    int buttons = vbOKOnly;    // the number as passed
    bool exclamation = false;  // the warning icon was asked for
    bool okCancel = false;     // OK and Cancel buttons (a question)
};

// Replaces the dialog while it is alive: every call is recorded and answered without showing
// anything. OK-only boxes are answered vbOK; questions take the next queued answer, or the
// default answer when the queue is empty. Responders nest: destroying one brings back the
// previous one (or the real dialog). Create and destroy them in stack order on the GUI thread.
class MsgBoxResponder {
  public:
    explicit MsgBoxResponder(int defaultAnswer = vbOK);
    virtual ~MsgBoxResponder();
    MsgBoxResponder(const MsgBoxResponder&) = delete;
    MsgBoxResponder& operator=(const MsgBoxResponder&) = delete;

    void queueAnswer(int answer) { m_queue.push_back(answer); }

    const std::vector<MsgBoxCall>& calls() const { return m_calls; }
    // The prompts of all calls, in order; the common thing a test compares.
    std::vector<QString> prompts() const;
    void clear() { m_calls.clear(); }

    // The responder in charge, or nullptr when the real dialog is shown.
    static MsgBoxResponder* current();

    // Records the call and returns the answer; MsgBox calls this.
    int respond(const MsgBoxCall& call);

  protected:
    // The answer to a question (OK/Cancel box); the default takes the queue, then the default.
    virtual int answerQuestion(const MsgBoxCall& call);
    // Called for every call after it was recorded; does nothing by default.
    virtual void report(const MsgBoxCall& call) { (void)call; }

  private:
    MsgBoxResponder* m_previous = nullptr;
    std::vector<MsgBoxCall> m_calls;
    std::deque<int> m_queue;
    const int m_defaultAnswer;
};

}  // namespace controls
