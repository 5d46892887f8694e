// A folder of compiler programs for a test: copies of a program under the
// names the build runs, what the fake ones are told to do, and their log.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

namespace quv::test {

struct ToolFolder {
    QString path;  // ends with a separator

    explicit ToolFolder(const QString& folder) : path(QDir(folder).absolutePath() + '/') {
        QDir().mkpath(path);
    }
    bool install(const QString& program, const QString& as) const {
        QFile::remove(path + as);
        return QFile::copy(program, path + as) &&
               QFile::setPermissions(path + as,
                                     QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    void tell(const QString& program, const QString& what, const QByteArray& content) const {
        QFile f(path + program + '.' + what);
        if (f.open(QIODevice::WriteOnly)) f.write(content);
    }
    void exitCode(const QString& program, int code) const {
        tell(program, "code", QByteArray::number(code));
    }
    // Each call: the program's name, then its arguments, tab-separated.
    QStringList calls() const {
        QFile f(path + "calls.log");
        if (!f.open(QIODevice::ReadOnly)) return {};
        QStringList out = QString::fromLocal8Bit(f.readAll()).split('\n');
        out.removeAll(QString());
        return out;
    }
    void clearCalls() const { QFile::remove(path + "calls.log"); }
};

}  // namespace quv::test
