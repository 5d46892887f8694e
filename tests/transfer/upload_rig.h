// The transfer commands on scripted dialogs, a fixed clock, a scripted
// document and a compiled program in a folder of its own; every hook they
// call is written to a log as "name(argument)".
#pragma once

#include "compile/fake_document.h"
#include "core/link_state.h"
#include "core/options.h"
#include "support/fixed_clock.h"
#include "support/scripted_dialogs.h"
#include "support/test_files.h"
#include "transfer/transfer_commands.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

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

}  // namespace quv::test
