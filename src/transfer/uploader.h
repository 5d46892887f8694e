// The upload of the current document's compiled program to a terminal, in
// its three modes: over RS232, by radio to the terminal that asks for it, and
// by radio without confirmation. Also the send helpers that build the RS232
// frame and the event routine that the library calls.
#pragma once

#include "core/link_state.h"
#include "core/one_at_a_time.h"
#include "transfer/transfer_state.h"

#include <QByteArray>
#include <QString>

namespace quv {

class BusyPointer;

class Uploader {
  public:
    // How a call of Transmit_program ended.
    enum class Ending {
        NotStarted,  // no document, not compiled, a save or compile that failed, or refused
        Stopped,     // cancelled with Esc, or the program closes
        Failed,      // a message said why
        Done,        // delivered; the rate is shown
        Background,  // the library sends it; the link monitor ends it
    };

    inline static const QString kFileNotOpen = QStringLiteral("File Not Open");
    inline static const QString kNotCompiled = QStringLiteral("Program not compiled !");
    // %1: the image file.
    inline static const QString kEmptyImage = QStringLiteral(
        "Program not compiled ! The program image %1 is missing or empty; compile the program, "
        "then upload again.");
    // %1: "header" or "image", %2: the file, %3: why.
    inline static const QString kCannotRead =
        QStringLiteral("The program %1 %2 could not be read: %3");
    inline static const QString& kErrorOpeningComPort = quv::kErrorOpeningComPort;
    inline static const QString& kErrorOpeningIp = quv::kErrorOpeningIp;
    inline static const QString kErrorAntena =
        QStringLiteral("Error trying to comunicate with antena!");
    inline static const QString kWaiting = QStringLiteral("Waiting Terminal Request ...");
    inline static const QString kSending = QStringLiteral("Sending... ");
    inline static const QString kEsc = QStringLiteral("ESC");
    inline static const QString kFrameNotWritten = QStringLiteral(
        "Upload failed: the serial port did not take the whole program. The line was cut or "
        "stopped taking bytes; check the cable and the port, then upload again.");
    inline static const QString kBroadcastFailed = QStringLiteral(
        "Upload failed: the base station did not take the whole program. The line dropped or "
        "the base station stopped answering; check the link to the base station and upload "
        "again.");
    inline static const QString kLinkLost = QStringLiteral(
        "Upload stopped: the link to the base station was lost while waiting for a terminal. "
        "Check that the base station is on and its cable or network connection is in place, "
        "then upload again.");
    inline static const QByteArray kProgramTag = "Z7Q_PROG";
    // The Terminal Monitor's rows of an upload. %1: how, %2: the document,
    // %3: the image's length.
    inline static const QString kStartRow = QStringLiteral("%1: %2, %3 bytes");
    inline static const QString kDeliveredRow = QStringLiteral("delivered");
    inline static const QString kStoppedRow =
        QStringLiteral("Upload stopped before the program was sent.");

    Uploader(TransferServices services, TransferState& state, const TransferHooks& hooks);

    // The upload in mode 1, 2 or 3; any other mode runs only the preparation
    // and the common ending. A call made inside the waits of a running one is
    // refused.
    Ending Transmit_program(int TransferMode);
    bool running() const { return once_.running(); }

    // From now on the library's events reach Comm_Event, none ignored.
    void listen() { registerEvents(0); }

    // The library's event routine: queues the event for the link monitor
    // unless its code is the one ignored.
    void Comm_Event(qint32 code, qint32 param, qint32 reserved, const QByteArray& text);

    // Each byte goes through the checksums, then to the buffer while
    // BufferOutput is set, otherwise straight to the port.
    bool Send_Char(char c);
    bool Send_String(const QByteArray& s);
    // The four checksum bytes, sent like any others.
    void Send_Checksum();
    // The buffer in one write; false when the port did not take all of it.
    bool Flush_Buffer();

  private:
    struct Program {
        QByteArray header;
        QByteArray image;
    };
    std::optional<Program> prepare(BusyPointer& busy);
    Ending rs232(const Program& p, BusyPointer& busy);
    Ending withoutConfirmation(const Program& p, BusyPointer& busy);
    Ending onRequest(const Program& p, BusyPointer& busy);
    Ending fail(BusyPointer& busy, const QString& text, UploadFailure why);
    // "Error Opening ComPort", or its TCP/IP form.
    Ending openFailed(BusyPointer& busy);
    // Reads stale input away; false when Esc or the program closing ends it.
    bool drain(qint32 port);
    void registerEvents(qint16 ignored);
    QByteArray radioPayload(const QByteArray& image);
    // Tells the Terminal Monitor that the program goes to terminal (empty:
    // the line or every terminal) now, and how.
    void started(const QByteArray& terminal, const QString& how);
    void showRate();
    bool closing() const;
    bool stopped() const { return closing() || st_.escaped; }
    double now() const;

    TransferServices s_;
    TransferState& st_;
    const TransferHooks& hooks_;
    OneAtATime once_;
};

}  // namespace quv
