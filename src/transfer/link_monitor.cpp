#include "transfer/link_monitor.h"

#include "comm/quvcom.h"
#include "comm/wire.h"
#include "core/clock.h"
#include "core/dialogs.h"
#include "core/link_state.h"
#include "transfer/transfer_rules.h"

namespace quv {

namespace {
// Get_Message's fixed arguments: the longest message taken, and from any terminal.
constexpr qint32 kMessageLimit = 100000;
constexpr qint32 kAnyTerminal = 0;
}  // namespace

LinkMonitor::LinkMonitor(TransferServices services, TransferState& state,
                         const TransferHooks& hooks)
    : s_(services), st_(state), hooks_(hooks) {}

void LinkMonitor::Timer1_Timer() {
    // A message box shown below keeps the timer ticking.
    if (ticking_) return;
    ticking_ = true;
    const double now = s_.clock.monotonic();
    QString failure;
    // Every event that waits is taken, in order; any of them makes the
    // terminals' messages be collected.
    if (!st_.events.empty()) collectMessages();
    while (!st_.events.empty()) {
        st_.LastEvent = st_.events.front().code;
        st_.LastEventParam = st_.events.front().param;
        st_.events.pop_front();
        if (st_.LastEvent == wire::kEventTransferEnd && st_.background) {
            // A failed transfer shows no rate: it would look like a success.
            const bool delivered = st_.LastEventParam == 0;
            endBackground(delivered ? rateText(st_.SizeMessageSended, now - st_.start_time, false)
                                    : std::nullopt);
            if (!delivered) failure = kDeliveryFailed;
        }
        if (st_.LastEvent >= wire::kEventProgress &&
            st_.LastEvent <= wire::kEventBroadcastProgress) {
            if (hooks_.setBar) hooks_.setBar(st_.LastEventParam);
            st_.lastProgressAt = now;
        }
        // The upload that waits for a terminal ends; nothing else changes.
        if (st_.LastEvent == wire::kEventLinkLost && st_.activity == Activity::WaitingForTerminal)
            st_.linkLost = true;
        st_.LastEvent = 0;
    }
    if (st_.background && now - st_.lastProgressAt >= kSilenceSeconds) {
        endBackground(std::nullopt);
        failure = kSilent;
    }
    if (!failure.isEmpty()) {
        st_.failure = UploadFailure::Transfer;
        s_.dialogs.message(failure, Buttons::Ok, Icon::Exclamation);
    }
    ticking_ = false;
}

void LinkMonitor::collectMessages() {
    QByteArray sender(QuvCom::kAddressLength, ' ');
    for (int taken = 0; taken < kMessagesPerTick; ++taken) {
        qint32 handle = 0;
        const qint32 n = s_.com.Get_Message(handle, kMessageLimit, kAnyTerminal, sender);
        if (n <= 0) return;
        QByteArray text(n, ' ');
        s_.com.GetStringFromPtr(text, handle, n);
        if (isProgramRequest(text)) st_.ReceiveTerminal = QString::fromLatin1(sender);
    }
}

void LinkMonitor::endBackground(const std::optional<QString>& rate) {
    st_.background = false;
    s_.com.TerminateComm(s_.link.CommPort);
    if (hooks_.setBar) hooks_.setBar(0);
    if (rate && hooks_.showRate) hooks_.showRate(*rate);
    if (hooks_.setCaption) hooks_.setCaption(st_.MyCaption);
}

}  // namespace quv
