// The emulated base station: answers the host's requests on every line,
// keeps its configuration in a file, and stands in for its terminals, which
// send messages and receive programs.
#pragma once

#include "comm/frame.h"
#include "comm/wire.h"
#include "serial_download.h"

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <deque>
#include <functional>
#include <map>
#include <memory>

namespace quvsim {

class Line;

class BaseStation : public QObject {
  public:
    struct Options {
        QString configPath;
        QString outDir;
        QList<QByteArray> terminals;  // 8-character addresses
        // How long a terminal takes to get a program after its last byte is
        // in (the base station relays it meanwhile).
        int relayMs = 0;
        // What a terminal that got a program by radio says right after its
        // end event, 50 ms apart.
        QList<QByteArray> sayAfterProgram;
        QList<quint8> silentOn;  // requests left unanswered and undone
        // A terminal answers each message it receives with "ECHO " and the text.
        bool echo = false;
    };
    // report: one JSON line for scripts; log: a line for people.
    BaseStation(Options options, std::function<void(const QByteArray&)> report,
                std::function<void(const QString&)> log);
    ~BaseStation() override;

    // Reads the configuration file, or writes the defaults where there is none.
    bool loadConfig(QString* error);
    // Takes the line and serves the host on it.
    void addLine(Line* line);
    // A terminal sends a message to the host.
    void terminalSays(const QByteArray& terminal, const QByteArray& text);
    const QList<QByteArray>& terminals() const { return options_.terminals; }
    // Cuts every line (the pseudo-terminal is made anew), and goes on.
    void dropLines();
    QByteArray statusJson() const;

  private:
    struct Incoming {
        quv::wire::TransferBegin begin;
        QByteArray data;
        bool active = false;
        bool resendAsked = false;
        int lastPercent = -1;
        QElapsedTimer started;
        QElapsedTimer sinceProgress;  // the last progress frame
    };
    struct Session {
        Line* line = nullptr;
        quv::FrameDecoder decoder;
        std::unique_ptr<SerialDownload> download;
        Incoming incoming;
        QByteArray lastRequest;  // the last request's bytes, and its answer
        QByteArray lastAnswer;
        QElapsedTimer lastRequestAt;
        std::unique_ptr<QTimer> relay;  // a program on its way to a terminal
    };

    void onBytes(Session& s, QByteArray bytes);
    void onFrame(Session& s, const quv::FrameDecoder::Item& item);
    void answer(Session& s, const quv::Frame& request, quint8 status, const QByteArray& data = {});
    quint8 serve(Session& s, const quv::Frame& request, QByteArray& data);
    void onTransferBegin(Session& s, const quv::Frame& f);
    void onTransferData(Session& s, const quv::Frame& f);
    void ackData(Session& s, quint8 sequence, quint8 status);
    // A progress frame of the incoming transfer with its current percentage.
    void sendProgress(Session& s);
    void completeIncoming(Session& s);
    // The host's kTerminalMessage: its status.
    quint8 onTerminalMessage(const QByteArray& payload);
    void finishDownload(Session& s);
    void checkDownloads();
    void closeSession(Line* line);

    void queueReliable(quint8 command, const QByteArray& payload);
    void sendReliable();
    void onReliableTimer();
    // frame: the raw RS232 upload frame, also kept in a file of its own.
    void program(const QByteArray& terminal, const QByteArray& image, bool good, double seconds,
                 const char* via, const QByteArray* frame = nullptr);
    bool saveConfig();

    Options options_;
    std::function<void(const QByteArray&)> report_;
    std::function<void(const QString&)> log_;
    quv::wire::StatusRecord config_;
    std::map<Line*, std::unique_ptr<Session>> sessions_;
    Session* attached_ = nullptr;
    int resets_ = 0;
    int clears_ = 0;
    int programs_ = 0;
    QElapsedTimer armed_;  // started by "!DOWN": the next "S" opens a download
    QTimer downloadTimer_;

    std::deque<quv::Frame> reliable_;
    bool inFlight_ = false;
    bool stalled_ = false;
    int tries_ = 0;
    Session* flightSession_ = nullptr;
    quint8 nextSeq_ = 1;
    QTimer reliableTimer_;
};

}  // namespace quvsim
