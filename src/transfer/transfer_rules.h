// The rules of the transfer commands that need no link: elapsed time on the
// time-of-day clock, the rate shown after an upload, the repeat count of the
// wireless upload and the pause between its repetitions, and what counts as
// a terminal's program request.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace quv {

// Seconds from start to now on the time-of-day clock, which starts again at
// midnight: never negative.
double secondsSince(double start, double now);

// The "Baud" panel's text: floor(bytes × 10 / divisor) followed by " Baud",
// ten bit times a byte on the line. The divisor is the elapsed time plus one
// second after a direct upload (addOneSecond), the elapsed time alone at the
// end of a background transfer; nothing when that leaves no time to divide by.
std::optional<QString> rateText(qint64 bytes, double elapsedSeconds, bool addOneSecond);

// How many times the wireless upload runs for the answer of its input box:
// the number at the start of the answer, halves rounded to even; 0 for no
// answer, a cancelled box, a text that is not a number or a negative count.
qint32 repeatCount(const std::optional<QString>& answer);

// At least this long lies between the end of one repetition and the start
// of the next.
inline constexpr double kRepeatSpacingSeconds = 10;
// The pause before the next repetition, in milliseconds, 0 to 10000;
// lastSendTime 0 means there was no earlier repetition.
int pauseBeforeNextMs(double lastSendTime, double now);

// A terminal asks for its program with a message that begins "RESET".
inline bool isProgramRequest(const QByteArray& text) {
    return text.startsWith("RESET");
}

}  // namespace quv
