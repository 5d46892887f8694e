// The texts of a port box ("Com1" to "Com16") and the port number a text
// stands for.
#pragma once

#include <QString>
#include <QStringList>

namespace quv {

// The port box lists this many ports.
constexpr qint32 kPortCount = 16;

// The numeric value of the text from its fourth character on, blanks
// ignored, rounded to the nearest whole number (halves to the even one):
// "Com7" gives 7, "Com1 6" gives 16; a shorter text, or one without digits
// there, gives 0.
qint32 PortNumberFromText(const QString& text);

// "Com" followed by the number: "Com3".
QString PortText(qint32 port);

// "Com1" to "Com16".
QStringList portTexts();

}  // namespace quv
