#include "transfer/link_monitor.h"

#include "comm/quvcom.h"
#include "comm/wire.h"
#include "core/clock.h"
#include "core/dialogs.h"
#include "core/link_state.h"
#include "transfer/transfer_rules.h"
#include "transfer/uploader.h"

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
    // The Terminal Monitor takes them on every tick, events or none.
    if (!st_.events.empty() || (st_.tap && st_.tap->holdsLink())) collectMessages();
    while (!st_.events.empty()) {
        st_.LastEvent = st_.events.front().code;
        st_.LastEventParam = st_.events.front().param;
        st_.events.pop_front();
        if (st_.LastEvent == wire::kEventTransferEnd && st_.background) {
            // A failed transfer shows no rate: it would look like a success.
            const bool delivered = st_.LastEventParam == 0;
            const auto rate = delivered
                                  ? rateText(st_.SizeMessageSended, now - st_.start_time, false)
                                  : std::nullopt;
            endBackground(rate);
            if (!delivered) failure = kDeliveryFailed;
            if (delivered)
                tellMonitor(st_, MonitorKind::UploadEnd, st_.ReceiveTerminal.toLatin1(),
                            rate.value_or(Uploader::kDeliveredRow).toUtf8());
        }
        if (st_.LastEvent >= wire::kEventProgress &&
            st_.LastEvent <= wire::kEventBroadcastProgress) {
            if (hooks_.setBar) hooks_.setBar(st_.LastEventParam);
            st_.lastProgressAt = now;
        }
        // The upload that waits for a terminal ends; nothing else changes.
        if (st_.LastEvent == wire::kEventLinkLost) {
            if (st_.activity == Activity::WaitingForTerminal) st_.linkLost = true;
            tellMonitor(st_, MonitorKind::LinkLost);
        }
        st_.LastEvent = 0;
    }
    if (st_.background && now - st_.lastProgressAt >= kSilenceSeconds) {
        endBackground(std::nullopt);
        failure = kSilent;
    }
    if (!failure.isEmpty()) {
        tellMonitor(st_, MonitorKind::UploadFailed, st_.ReceiveTerminal.toLatin1(),
                    failure.toUtf8());
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
        tellMonitor(st_, MonitorKind::Received, sender, text);
        if (!isProgramRequest(text)) continue;
        st_.ReceiveTerminal = QString::fromLatin1(sender);
        tellMonitor(st_, MonitorKind::ProgramRequest, sender, text);
    }
}

void LinkMonitor::endBackground(const std::optional<QString>& rate) {
    st_.background = false;
    endAttachment(s_.com, s_.link.CommPort, st_);
    if (hooks_.setBar) hooks_.setBar(0);
    if (rate && hooks_.showRate) hooks_.showRate(*rate);
    if (hooks_.setCaption) hooks_.setCaption(st_.MyCaption);
}

void endAttachment(QuvCom& com, qint32 port, const TransferState& state) {
    if (!state.tap || !state.tap->holdsLink()) com.TerminateComm(port);
}

}  // namespace quv
