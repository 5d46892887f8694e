#include "compile/build_log.h"

namespace quv {

void BuildLog::beginProcess(const CommandLine& command) {
    runs_.append(Run{command.text, QByteArray(), 0, QString()});
}

void BuildLog::append(const QByteArray& bytes) {
    if (runs_.isEmpty() || bytes.isEmpty()) return;
    Run& run = runs_.last();
    run.tail += bytes;
    // Cut back only when twice the kept size has gathered, so that each byte
    // is moved a bounded number of times.
    if (run.tail.size() > 2 * kKeptOutputBytes) {
        const qsizetype cut = run.tail.size() - kKeptOutputBytes;
        run.tail.remove(0, cut);
        run.dropped += cut;
    }
}

void BuildLog::endProcess(const CommandLine& command, const ShellResult& result) {
    if (runs_.isEmpty()) return;
    QString& end = runs_.last().end;
    switch (result.outcome) {
        case ShellResult::Outcome::Exited:
            end = QStringLiteral("%1 ended with exit code %2")
                      .arg(command.programName)
                      .arg(result.exitCode);
            break;
        case ShellResult::Outcome::Crashed:
            end = QStringLiteral("%1 crashed: %2").arg(command.programName, result.error);
            break;
        case ShellResult::Outcome::NotStarted:
            end = QStringLiteral("%1 could not be started: %2")
                      .arg(command.programName, result.error);
            break;
        case ShellResult::Outcome::Abandoned:
            end = QStringLiteral("%1 was stopped").arg(command.programName);
            break;
    }
}

QString BuildLog::text() const {
    QString out;
    for (const Run& run : runs_) {
        if (!out.isEmpty()) out += QLatin1Char('\n');
        out += run.head + QLatin1Char('\n');
        if (run.dropped > 0)
            out +=
                QStringLiteral("... %1 of output left out ...\n").arg(byteCountText(run.dropped));
        QString output = QString::fromLocal8Bit(run.tail);
        output.remove(QLatin1Char('\r'));
        out += output;
        if (!output.isEmpty() && !output.endsWith(QLatin1Char('\n'))) out += QLatin1Char('\n');
        if (!run.end.isEmpty()) out += run.end + QLatin1Char('\n');
    }
    return out;
}

QString byteCountText(qint64 bytes) {
    if (bytes >= 1000 * 1000)
        return QStringLiteral("%1 MB").arg((bytes + 500 * 1000) / (1000 * 1000));
    if (bytes >= 10 * 1000) return QStringLiteral("%1 KB").arg((bytes + 500) / 1000);
    return QStringLiteral("%1 bytes").arg(bytes);
}

}  // namespace quv
