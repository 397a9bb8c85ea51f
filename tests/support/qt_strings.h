#pragma once

#include <QStringList>
#include <initializer_list>

namespace rvtest {

// A list of UTF-8 literals, for expectations about grid rows and tree children.
inline QStringList qsl(std::initializer_list<const char*> texts) {
    QStringList out;
    for (const char* t : texts) {
        out << QString::fromUtf8(t);
    }
    return out;
}

}  // namespace rvtest
