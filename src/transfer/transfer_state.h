// What the transfer subsystem works on: the services it is built from, the
// hooks through which it shows its progress, and its own state.
#pragma once

#include "core/checksum.h"
#include "core/monitor_timeline.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <deque>
#include <functional>
#include <optional>

namespace quv {

class Clock;
class CurrentDocument;
class Dialogs;
class EventPump;
class QuvCom;
struct LinkState;
struct Options;

struct TransferServices {
    QuvCom& com;
    Dialogs& dialogs;
    Clock& clock;
    EventPump& pump;
    CurrentDocument& document;
    const Options& options;
    LinkState& link;
};

// What an upload shows or asks outside itself; an empty hook does nothing.
struct TransferHooks {
    // The window caption, read and set (MyCaption and the waiting texts).
    std::function<QString()> caption;
    std::function<void(const QString&)> setCaption;
    // The busy pointer on (true) and off again.
    std::function<void(bool busy)> setBusy;
    // The progress bar Bar1, 0 to 100.
    std::function<void(int value)> setBar;
    // The status bar panel "Baud".
    std::function<void(const QString&)> showRate;
    // The main window to the front.
    std::function<void()> showMainWindow;
    // The build of the current document: 1, 0, or nothing when it did not start.
    std::function<std::optional<int>()> compile;
    // The link to the base station is a TCP/IP connection, not a COM port.
    std::function<bool()> overTcpip;
};

// Why the last upload did not deliver, for a caller that acts on the cause
// (the messages tell the user the same in words).
enum class UploadFailure {
    None,
    NotCompiled,  // no document, no compiled program, an image that cannot be read
    Port,         // the port or the connection did not open
    Base,         // the base station did not answer
    Transfer,     // the program did not arrive whole
    LinkLost,     // the link went away while the upload waited for a terminal
};

// A background event as the library reported it.
struct BackgroundEvent {
    qint16 code = 0;
    qint16 param = 0;
};
// The events the link monitor has not taken yet, oldest first (queueEvent).
using EventQueue = std::deque<BackgroundEvent>;

// What the Terminal Monitor takes from the transfers while it is open: the
// terminals' messages and the program's own traffic, and its hold on the link.
class TrafficTap {
  public:
    virtual ~TrafficTap() = default;
    virtual void traffic(MonitorKind kind, const QByteArray& address, const QByteArray& bytes) = 0;
    // The monitor listens on the base station: an upload leaves the link attached.
    virtual bool holdsLink() const = 0;
    // An RS232 upload needs the port: the monitor lets it go, and takes it
    // again once the upload is over.
    virtual void releasePort() = 0;
    virtual void retakePort() = 0;
};

// What the transfer commands are doing, for a command refused meanwhile.
enum class Activity {
    Idle,
    Uploading,           // preparing or sending
    Draining,            // reading stale input before a wireless upload
    WaitingForTerminal,  // a wireless upload waits for a terminal's request
    Pausing,             // between the repetitions of the repeated upload
    AfterRs232,          // the wait after an RS232 upload
};

struct TransferState {
    // The address of the terminal that asked for its program, or "ESC".
    QString ReceiveTerminal;
    // The events waiting for the link monitor; the one it is acting on (0:
    // none) and its value; the event code that the event routine drops (-1:
    // all).
    EventQueue events;
    qint16 LastEvent = 0;
    qint16 LastEventParam = 0;
    qint16 IgnoredEvent = 0;
    // The caption saved while a wireless upload waits and sends.
    QString MyCaption;
    // When the image transfer started (monotonic seconds), and its length.
    double start_time = 0;
    qint32 SizeMessageSended = 0;
    // When the previous repetition of the repeated wireless upload ended
    // (monotonic seconds); 0 when there was none.
    double LastSendTime = 0;
    // Checksum1 and Checksum2 of the send helpers.
    Checksum checksum;
    // While set, the send helpers collect the bytes in OutputBuffer.
    bool BufferOutput = false;
    QByteArray OutputBuffer;
    // An upload to a terminal runs in the library; the link monitor ends it.
    bool background = false;
    // When that transfer last showed progress (monotonic seconds).
    double lastProgressAt = 0;
    // Set by each upload, and by the link monitor when a background one fails.
    UploadFailure failure = UploadFailure::None;
    Activity activity = Activity::Idle;
    // Esc since the command began: its waits end.
    bool escaped = false;
    // The link monitor saw the link go while a wireless upload waited.
    bool linkLost = false;
    // The Terminal Monitor, while it is open.
    TrafficTap* tap = nullptr;
};

// Tells the Terminal Monitor, when it is open.
inline void tellMonitor(const TransferState& state, MonitorKind kind,
                        const QByteArray& address = {}, const QByteArray& bytes = {}) {
    if (state.tap) state.tap->traffic(kind, address, bytes);
}

// The activity for as long as this lives, then the one before.
class Doing {
  public:
    Doing(TransferState& state, Activity now) : state_(state), before_(state.activity) {
        state.activity = now;
    }
    ~Doing() { state_.activity = before_; }
    Doing(const Doing&) = delete;
    Doing& operator=(const Doing&) = delete;

  private:
    TransferState& state_;
    Activity before_;
};

}  // namespace quv
