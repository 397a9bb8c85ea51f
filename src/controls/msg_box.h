#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <deque>
#include <initializer_list>
#include <vector>

namespace controls {

// Button and icon numbers as the host platform defines them. An icon number is added to the
// button number: MsgBox(text, vbOKCancel + vbExclamation, title).
inline constexpr int vbOKOnly = 0;
inline constexpr int vbOKCancel = 1;
inline constexpr int vbExclamation = 48;

// Answers.
inline constexpr int vbOK = 1;
inline constexpr int vbCancel = 2;

// Shows a modal message box and returns the button pressed (vbOK or vbCancel). Button numbers
// other than vbOKOnly and vbOKCancel show an OK button only; icon numbers other than
// vbExclamation show no icon. While a MsgBoxResponder is alive it answers instead.
int MsgBox(const QString& prompt, int buttons = vbOKOnly, const QString& title = {});

// Title of every message box the component shows.
inline constexpr QStringView kMsgBoxTitle = u"ravLIN";

// A message to show: a fixed text whose placeholders "%1", "%2", ... stand for `values`,
// and the button and icon number.
struct Message {
    QString text;
    int buttons = vbOKOnly;
    QStringList values = {};

    // The text with its placeholders filled.
    QString prompt() const;
    bool operator==(const Message&) const = default;
};

// Puts values[0] in the place of every "%1" of `text`, values[1] in the place of every "%2",
// and so on up to "%9", in one pass from left to right: a value that itself holds "%2"
// arrives unchanged. A placeholder without a value, and any other '%', stays as it is.
QString fill(QStringView text, const QStringList& values);

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
    void setDefaultAnswer(int answer) { m_defaultAnswer = answer; }

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
    int m_defaultAnswer;
};

}  // namespace controls
