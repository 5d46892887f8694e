// The Terminal Monitor without its window: listens on the base station or on a
// COM port in raw line mode, keeps the timeline, sends the user's texts, and
// lends the port to an RS232 upload.
#pragma once

#include "core/monitor_timeline.h"
#include "transfer/transfer_state.h"

#include <QString>

#include <functional>

namespace quv {

class TransferCommands;

class MonitorSession : public TrafficTap {
  public:
    enum class Mode { Base, Raw };
    // The raw line's rate unless the user picks another: the RS232 upload's.
    static constexpr qint32 kDefaultRawRate = 38400;

    inline static const QString kNotSent = QStringLiteral(
        "Not sent: the base station did not accept the message (no link, an unknown terminal, "
        "or no answer).");
    inline static const QString kNotWritten =
        QStringLiteral("Not sent: the port did not take the bytes.");
    inline static const QString kNoAddress =
        QStringLiteral("Not sent: type the terminal's address first.");
    inline static const QString kLinkLostRow = QStringLiteral("The link was lost.");

    struct Hooks {
        // Rows were added (or went); the view follows.
        std::function<void()> changed;
        // The link is up (true) or gone (false); text says why when it went.
        std::function<void(bool up, const QString& text)> linkState;
        // The link to the base station is a TCP/IP connection.
        std::function<bool()> overTcpip;
    };

    MonitorSession(TransferServices services, TransferCommands& transfer, Hooks hooks);
    ~MonitorSession() override;
    MonitorSession(const MonitorSession&) = delete;
    MonitorSession& operator=(const MonitorSession&) = delete;

    // Listens in the mode (rate: the raw line's); false, with a "link lost"
    // row saying why, when the link did not open.
    bool start(Mode mode, qint32 rate = kDefaultRawRate);
    // Stops listening; a base station attachment that a running upload still
    // needs is left to that upload.
    void stop();
    bool listening() const { return up_; }
    Mode mode() const { return mode_; }

    // Takes what came; called every few milliseconds while the window is open.
    void poll();
    // Sends the bytes to the terminal (raw line: to the port); the row shows
    // only once they were accepted. Empty on success, otherwise why not.
    QString send(const QByteArray& address, const QByteArray& bytes);

    MonitorTimeline& timeline() { return timeline_; }
    // The window's hooks; overTcpip stays when hooks has none.
    void setHooks(Hooks hooks);

    void traffic(MonitorKind kind, const QByteArray& address, const QByteArray& bytes) override;
    bool holdsLink() const override { return up_ && mode_ == Mode::Base; }
    void releasePort() override;
    void retakePort() override;

  private:
    bool open();
    void close();
    void add(MonitorKind kind, const QByteArray& address, const QByteArray& bytes);
    void lost(const QString& why);
    void readRaw();

    TransferServices s_;
    TransferCommands& transfer_;
    Hooks hooks_;
    MonitorTimeline timeline_;
    RawLines raw_;
    Mode mode_ = Mode::Base;
    qint32 rate_ = kDefaultRawRate;
    bool up_ = false;
    bool lent_ = false;
    bool polling_ = false;
};

}  // namespace quv
