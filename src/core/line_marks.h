// A mark on one line of the document, with the text that explains it.
#pragma once

#include <QString>
#include <QtGlobal>

namespace quv {

struct LineMark {
    qint32 line = 0;  // 0-based
    QString text;
};

}  // namespace quv
