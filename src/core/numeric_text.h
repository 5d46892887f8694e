// The numeric value at the start of a text, and its rounding to a whole
// number: the one reader behind the goto line, the error list's line numbers,
// the upload count, the port numbers and the base station's number fields.
#pragma once

#include <QStringView>
#include <QtGlobal>

namespace quv {

struct NumberSyntax {
    // Blanks (space, Tab, line breaks) are skipped anywhere in the number,
    // not only before it: "Com1 6" reads 16 from its fourth character on.
    bool blanksInside = false;
};

// Blanks before the number are skipped; then an optional sign, digits, a
// decimal point with more digits, and an exponent ("e" or "d", with an
// optional sign and at least one digit) are read as far as they form a
// number. A text with no digit there reads 0. A value too large for a
// double reads as infinity of its sign.
double leadingNumber(QStringView text, NumberSyntax syntax = {});

// The nearest whole number, halves going to the even neighbour (2.5 gives 2,
// 3.5 gives 4), kept within 32 bits; not-a-number gives 0.
qint32 roundHalfEven(double value);

}  // namespace quv
