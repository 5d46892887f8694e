// The link monitor on the 200 ms tick: takes the terminals' messages when an
// event came, recognises a program request, moves the progress bar, ends the
// upload that the library sends in the background, also when the library
// goes silent, and ends the wait for a terminal when the link goes away.
#pragma once

#include "transfer/transfer_state.h"

#include <QString>

#include <optional>

namespace quv {

class LinkMonitor {
  public:
    // A background upload that shows no progress for this long has failed.
    static constexpr double kSilenceSeconds = 10;
    // Messages taken on one tick at the most.
    static constexpr int kMessagesPerTick = 10000;

    inline static const QString kDeliveryFailed = QStringLiteral(
        "Upload failed: the terminal did not receive the program intact. The line dropped or "
        "the terminal found bad checksums; reset the terminal and upload again.");
    inline static const QString kSilent = QStringLiteral(
        "Upload failed: the base station has reported nothing on the transfer for 10 seconds. "
        "Check the link to the base station and upload again.");

    LinkMonitor(TransferServices services, TransferState& state, const TransferHooks& hooks);

    // One tick of Timer1.
    void Timer1_Timer();

  private:
    void collectMessages();
    // The background upload is over: the link ends, the rate shows when
    // there is one, and the caption returns.
    void endBackground(const std::optional<QString>& rate);

    TransferServices s_;
    TransferState& st_;
    const TransferHooks& hooks_;
    bool ticking_ = false;
};

// Ends the attachment to the base station unless the Terminal Monitor holds it.
void endAttachment(QuvCom& com, qint32 port, const TransferState& state);

}  // namespace quv
