#include "transfer/transfer_rules.h"

#include "comm/wire.h"
#include "core/numeric_text.h"

#include <algorithm>
#include <cmath>

namespace quv {

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

double pauseBeforeNext(double lastSendTime, double now) {
    if (lastSendTime == 0) return 0;
    return std::clamp(kRepeatSpacingSeconds - (now - lastSendTime), 0.0, kRepeatSpacingSeconds);
}

void queueEvent(EventQueue& queue, BackgroundEvent event) {
    const auto ends = [](const BackgroundEvent& e) {
        return e.code == wire::kEventTransferEnd || e.code == wire::kEventLinkLost;
    };
    if (ends(event)) {
        if (std::none_of(queue.begin(), queue.end(), [&](const BackgroundEvent& e) {
                return e.code == event.code && e.param == event.param;
            }))
            queue.push_back(event);
        return;
    }
    if (!queue.empty() && queue.back().code == event.code) {
        queue.back().param = event.param;
        return;
    }
    queue.push_back(event);
    while (queue.size() > kQueuedEvents) {
        const auto old = std::find_if_not(queue.begin(), queue.end(), ends);
        if (old == queue.end()) break;
        queue.erase(old);
    }
}

}  // namespace quv
