// Sample program texts for the tests.
#pragma once

#include <QByteArray>

namespace quv::test {

// Lines "line 1" to "line n", each ended by CR LF.
inline QByteArray numberedLines(int n) {
    QByteArray out;
    for (int i = 1; i <= n; ++i) out += "line " + QByteArray::number(i) + "\r\n";
    return out;
}

}  // namespace quv::test
