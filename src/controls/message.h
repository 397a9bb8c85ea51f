// SPDX-License-Identifier: MIT
#pragma once

// A message to show, as a value: what the rules over the grid's cells hand to a window, which
// shows it (msg_box.h). Qt Core only.

#include <QString>
#include <QStringList>
#include <QStringView>

namespace controls {

// Button and icon numbers as the host platform defines them. An icon number is added to the
// button number: MsgBox(text, vbOKCancel + vbExclamation, title).
inline constexpr int vbOKOnly = 0;
inline constexpr int vbOKCancel = 1;
inline constexpr int vbExclamation = 48;

// Answers.
inline constexpr int vbOK = 1;
inline constexpr int vbCancel = 2;

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

}  // namespace controls
