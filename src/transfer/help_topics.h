// The help topics of the upload buttons and of the Transmit menu's items.
#pragma once

namespace quv {

inline constexpr int kTopicSendProgram = 31;
inline constexpr int kTopicWirelessTransmit = 32;
inline constexpr int kTopicRawRs232Upload = 60;
inline constexpr int kTopicRawWirelessUpload = 61;
inline constexpr int kTopicWirelessUpload = 62;
inline constexpr int kTopicTerminalMonitor = 72;

}  // namespace quv
