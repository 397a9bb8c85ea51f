// SPDX-License-Identifier: MIT
#pragma once

#include "controls/msg_box.h"

namespace controls {

// The responder of batch mode: no window appears; each message is printed to standard error
// as one line "TITLE: TEXT" (line breaks inside the text become one blank each), OK-only boxes
// are answered vbOK and questions as told at construction.
class BatchMsgBoxResponder : public MsgBoxResponder {
  public:
    enum class QuestionAnswer { Ok, Cancel };

    explicit BatchMsgBoxResponder(QuestionAnswer answer = QuestionAnswer::Cancel);

    // The line printed for a call, without its final line break.
    static QString lineFor(const MsgBoxCall& call);

  protected:
    void report(const MsgBoxCall& call) override;
};

}  // namespace controls
