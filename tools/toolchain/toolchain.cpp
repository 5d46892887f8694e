#include "toolchain.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

namespace quv::toolchain {

QList<Diagnostic> parseDiagnostics(const QString& output) {
    // "file:12:5: error: text" or "file:12: error: text".
    static const QRegularExpression placed(
        QStringLiteral(R"(^(.+?):(\d+):(?:\d+:)?\s*(fatal error|error|warning):\s*(.*)$)"));
    // "cc1: fatal error: text": the compiler speaks of itself.
    static const QRegularExpression unplaced(
        QStringLiteral(R"(^([^:\s]+):\s*(fatal error|error):\s*(.*)$)"));
    QList<Diagnostic> out;
    const QStringList lines = output.split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        if (const auto m = placed.match(line); m.hasMatch()) {
            Diagnostic d;
            d.file = m.captured(1);
            d.line = m.captured(2).toInt();
            d.error = m.captured(3) != QLatin1String("warning");
            d.message = m.captured(4);
            out << d;
        } else if (const auto u = unplaced.match(line); u.hasMatch()) {
            Diagnostic d;
            d.error = true;
            d.message = u.captured(3);
            out << d;
        }
    }
    return out;
}

QByteArray errorRecord(const QString& source, int line, const QString& message) {
    QString oneLine = message;
    oneLine.replace(QLatin1Char('\r'), QLatin1Char(' '))
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
    return QStringLiteral("%1:%2\r\n%3\r\n").arg(line).arg(source, oneLine).toLocal8Bit();
}

QByteArray errorRecords(const QList<Diagnostic>& diagnostics, const QString& source,
                        bool withWarnings) {
    QByteArray out;
    for (const Diagnostic& d : diagnostics) {
        if (!d.error && !withWarnings) continue;
        const bool placed = d.line > 0 && !d.file.isEmpty();
        const QString message = d.error ? d.message : QStringLiteral("warning: ") + d.message;
        out += errorRecord(placed ? d.file : source, placed ? d.line : 1, message);
    }
    return out;
}

std::optional<QString> findHostCompiler() {
    const QString chosen = qEnvironmentVariable("CC").trimmed();
    if (!chosen.isEmpty()) {
        const QString found = QStandardPaths::findExecutable(chosen);
        if (!found.isEmpty()) return found;
    }
    for (const char* name : {"cc", "gcc", "clang"}) {
        const QString found = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!found.isEmpty()) return found;
    }
    return std::nullopt;
}

HostRun runHostCompiler(const QString& compiler, const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(compiler, arguments);
    HostRun run;
    if (!process.waitForStarted(-1)) {
        run.error = process.errorString();
        return run;
    }
    process.waitForFinished(-1);
    run.started = true;
    run.output = QString::fromLocal8Bit(process.readAll());
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return run;
}

std::optional<QString> writeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return file.errorString();
    return std::nullopt;
}

}  // namespace quv::toolchain
