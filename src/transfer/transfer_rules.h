// The rules of the transfer commands that need no link: the rate shown after
// an upload, the repeat count of the wireless upload and the pause between
// its repetitions, what counts as a terminal's program request, and how the
// library's events wait for the link monitor. Every interval is measured on
// the monotonic clock.
#pragma once

#include "transfer/transfer_state.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace quv {

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
// The pause before the next repetition, in seconds, 0 to 10; lastSendTime 0
// means there was no earlier repetition.
double pauseBeforeNext(double lastSendTime, double now);

// A terminal asks for its program with a message that begins "RESET".
inline bool isProgramRequest(const QByteArray& text) {
    return text.startsWith("RESET");
}

// Hands an event to the link monitor. An end (2) or a lost link (6) is never
// dropped; it adds nothing only when an identical one already waits. A
// message (1) or progress (3 to 5) right after one of the same code gives it
// its value, and beyond kQueuedEvents waiting the oldest of these make room,
// so that the queue stays small whatever the library sends.
inline constexpr std::size_t kQueuedEvents = 64;
void queueEvent(EventQueue& queue, BackgroundEvent event);

}  // namespace quv
