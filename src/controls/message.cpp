// SPDX-License-Identifier: MIT
#include "controls/message.h"

namespace controls {

QString fill(QStringView text, const QStringList& values) {
    QString out;
    out.reserve(text.size() + 16 * values.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'%' && i + 1 < text.size() && text[i + 1] >= u'1' && text[i + 1] <= u'9') {
            const qsizetype index = text[i + 1].unicode() - u'1';
            if (index < values.size()) {
                out += values[index];
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

QString Message::prompt() const {
    return fill(text, values);
}

}  // namespace controls
