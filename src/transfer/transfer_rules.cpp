#include "transfer/transfer_rules.h"

#include "core/numeric_text.h"

#include <algorithm>
#include <cmath>

namespace quv {

namespace {
constexpr double kSecondsPerDay = 86400;
}

double secondsSince(double start, double now) {
    const double d = now - start;
    return d < 0 ? d + kSecondsPerDay : d;
}

std::optional<QString> rateText(qint64 bytes, double elapsedSeconds, bool addOneSecond) {
    const double divisor = elapsedSeconds + (addOneSecond ? 1 : 0);
    if (!(divisor > 0) || !std::isfinite(divisor)) return std::nullopt;
    const auto rate = static_cast<qint64>(std::floor(static_cast<double>(bytes) * 10 / divisor));
    return QString::number(rate) + QStringLiteral(" Baud");
}

qint32 repeatCount(const std::optional<QString>& answer) {
    if (!answer) return 0;
    return std::max(roundHalfEven(leadingNumber(*answer)), 0);
}

int pauseBeforeNextMs(double lastSendTime, double now) {
    if (lastSendTime == 0) return 0;
    const double left = kRepeatSpacingSeconds - secondsSince(lastSendTime, now);
    if (left <= 0) return 0;
    return std::clamp(static_cast<int>(std::ceil(left * 1000)), 0,
                      static_cast<int>(kRepeatSpacingSeconds * 1000));
}

}  // namespace quv
