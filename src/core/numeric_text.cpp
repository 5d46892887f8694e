#include "core/numeric_text.h"

#include <QString>

#include <cmath>
#include <limits>
#include <string>

namespace quv {

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

}  // namespace

double leadingNumber(QStringView text, NumberSyntax syntax) {
    const qsizetype n = text.size();
    qsizetype i = 0;
    const auto skipBlanks = [&] {
        while (i < n && isBlank(text[i])) ++i;
    };
    const auto at = [&](qsizetype k) { return k < n ? text[k] : QChar(); };
    // Inside the number, blanks are skipped only when the syntax says so.
    const auto next = [&] {
        ++i;
        if (syntax.blanksInside) skipBlanks();
    };
    skipBlanks();

    std::string number;
    if (at(i) == u'+' || at(i) == u'-') {
        number += static_cast<char>(at(i).unicode());
        next();
    }
    qsizetype digits = 0;
    const auto readDigits = [&] {
        while (isDigit(at(i))) {
            number += static_cast<char>(at(i).unicode());
            ++digits;
            next();
        }
    };
    readDigits();
    if (at(i) == u'.') {
        number += '.';
        next();
        readDigits();
    }
    if (digits == 0) return 0;

    // An exponent counts only when a digit follows it.
    const QChar e = at(i);
    if (e == u'e' || e == u'E' || e == u'd' || e == u'D') {
        const qsizetype mark = i;
        const std::string mantissa = number;
        next();
        std::string exponent = "e";
        if (at(i) == u'+' || at(i) == u'-') {
            exponent += static_cast<char>(at(i).unicode());
            next();
        }
        if (isDigit(at(i))) {
            while (isDigit(at(i))) {
                exponent += static_cast<char>(at(i).unicode());
                next();
            }
            number += exponent;
        } else {
            i = mark;
            number = mantissa;
        }
    }
    // Read in the C locale whatever the user's locale; an overflow gives an
    // infinity of the right sign, an underflow 0.
    bool ok = false;
    const double value =
        QString::fromLatin1(number.data(), static_cast<qsizetype>(number.size())).toDouble(&ok);
    return ok || std::isinf(value) ? value : 0;
}

qint32 roundHalfEven(double value) {
    if (std::isnan(value)) return 0;
    // nearbyint rounds halves to the even neighbour in the default mode.
    const double r = std::nearbyint(value);
    if (r >= static_cast<double>(std::numeric_limits<qint32>::max()))
        return std::numeric_limits<qint32>::max();
    if (r <= static_cast<double>(std::numeric_limits<qint32>::min()))
        return std::numeric_limits<qint32>::min();
    return static_cast<qint32>(r);
}

}  // namespace quv
