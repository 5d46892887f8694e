// The help topics of the two link dialogs and their buttons, and the widget
// property through which F1 finds the topic of the focused control.
#pragma once

namespace quv {

inline constexpr const char* kHelpTopicProperty = "helpTopic";

inline constexpr int kTopicSerialDialog = 50;
inline constexpr int kTopicSerialUpdate = 51;
inline constexpr int kTopicSerialDevice = 52;
inline constexpr int kTopicBaseDialog = 53;
inline constexpr int kTopicBaseRead = 54;
inline constexpr int kTopicBaseWrite = 55;
inline constexpr int kTopicBaseClear = 56;

}  // namespace quv
