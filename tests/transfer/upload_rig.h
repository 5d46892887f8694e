// The transfer commands on scripted dialogs, a fixed clock, a scripted
// document and a compiled program in a folder of its own; every hook they
// call is written to a log as "name(argument)".
#pragma once

#include "comm/link_com.h"
#include "compile/fake_document.h"
#include "core/event_pump.h"
#include "core/link_state.h"
#include "core/options.h"
#include "core/settings_store.h"
#include "sim_process.h"
#include "support/fixed_clock.h"
#include "support/scripted_dialogs.h"
#include "support/test_files.h"
#include "transfer/transfer_commands.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

namespace quv::test {

// Also logs the input box with its title and default.
struct LoggedDialogs : ScriptedDialogs {
    QStringList* log = nullptr;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& defaultText) override {
        *log << QStringLiteral("input(%1, %2, %3)").arg(prompt, title, defaultText);
        return ScriptedDialogs::input(prompt, title, defaultText);
    }
};

struct UploadRig {
    LoggedDialogs dialogs;
    FixedClock clock;
    LinkState link;
    Options options;
    FakeDocument doc;
    QTemporaryDir dir;
    QString caption = QStringLiteral("Old");
    std::optional<int> compileResult = 1;
    bool tcp = false;
    double rateShownAt = 0;
    std::unique_ptr<TransferCommands> t;

    // The commands on this library and pump, logging into log.
    void build(QuvCom& com, EventPump& pump, QStringList& log) {
        dialogs.log = &log;
        dialogs.onMessage = [&log](const ScriptedDialogs::Shown& m) {
            log << "msg(" + m.text + ")";
        };
        TransferHooks h;
        h.caption = [this] { return caption; };
        h.setCaption = [this, &log](const QString& c) { caption = c, log << "caption(" + c + ")"; };
        h.setBusy = [&log](bool on) { log << QStringLiteral("busy(%1)").arg(on); };
        h.setBar = [&log](int v) { log << QStringLiteral("bar(%1)").arg(v); };
        h.showRate = [this, &log](const QString& r) {
            rateShownAt = clock.monotonic(), log << "rate(" + r + ")";
        };
        h.showMainWindow = [&log] { log << "front()"; };
        h.compile = [this, &log] { return log << "compile()", compileResult; };
        h.overTcpip = [this] { return tcp; };
        t = std::make_unique<TransferCommands>(
            TransferServices{com, dialogs, clock, pump, doc, options, link}, std::move(h));
    }
    // prog.hea and prog.bin beside the document prog.c.
    void program(const QByteArray& header, const QByteArray& image) {
        doc.name = QDir::toNativeSeparators(dir.filePath(QStringLiteral("prog.c")));
        write(QStringLiteral("prog.hea"), header);
        write(QStringLiteral("prog.bin"), image);
    }
    // Writes the file, or removes it.
    void write(const QString& name, const std::optional<QByteArray>& bytes) {
        if (bytes)
            writeTestFile(dir.path(), name, *bytes);
        else
            QFile::remove(dir.filePath(name));
    }
};

// The rig on the real library, with the link monitor ticking every 200 ms.
// The clock moves 0.2 s a tick, so that each rate shown is known.
struct LiveRig : UploadRig {
    MemorySettingsStore settings;
    std::unique_ptr<quvsim::SimProcess> sim;
    std::unique_ptr<LinkCom> com;
    QtEventPump pump{&link.AppClosing};
    QStringList log;
    QTimer tick;
    // The commands go before the library they use.
    ~LiveRig() {
        tick.stop();
        t.reset();
    }

    bool start(const QString& via, QStringList simOptions = {}) {
        simOptions << (via == "tcp" ? QStringList{"--tcp", "0"} : QStringList{"--pty"});
        sim = std::make_unique<quvsim::SimProcess>(simOptions);
        if (!sim->start()) return false;
        if (via == "pty") settings.save("ComDevice1", sim->ptyPath());
        com = std::make_unique<LinkCom>(settings, pump);
        if (via == "tcp") com->TCPIP_Start(sim->tcpAddress());
        build(*com, pump, log);
        QObject::connect(&tick, &QTimer::timeout, [this] {
            clock.seconds += 0.2;
            t->Timer1_Timer();
        });
        tick.start(200);
        return true;
    }
    QStringList shown(const QString& hook) const {
        return log.filter(QRegularExpression('^' + hook));
    }
};

}  // namespace quv::test
