#include "baseconfig/port_text.h"

#include "core/numeric_text.h"

namespace quv {

qint32 PortNumberFromText(const QString& text) {
    NumberSyntax syntax;
    syntax.blanksInside = true;
    return roundHalfEven(leadingNumber(text.mid(3), syntax));
}

QString PortText(qint32 port) {
    return QStringLiteral("Com") + QString::number(port);
}

QStringList portTexts() {
    QStringList texts;
    for (qint32 port = 1; port <= kPortCount; ++port) texts << PortText(port);
    return texts;
}

}  // namespace quv
