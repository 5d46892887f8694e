// The names a build derives from the document's path: the base name and
// folder the compiler programs are given, their command lines, and the
// error file they leave beside the source.
#pragma once

#include "core/app_paths.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace quv {

struct BuildNames {
    // The path without its last extension and without the dot.
    QString base;
    // base up to and including its last separator; empty when it has none.
    QString folder;
};

// Nothing when the file name has no dot: it cannot be built.
std::optional<BuildNames> buildNames(const QString& path, PathStyle style);

// The compiler's error file: the base name followed by "ERR"; nothing when
// the file name has no dot.
std::optional<QString> errorFileName(const QString& path, PathStyle style = nativePathStyle());

// One compiler program run. The program, the base and each switch are
// separate arguments, so that blanks in a folder or file name never split
// them; text is the whole line as the user reads it.
struct CommandLine {
    QString program;        // the path the process is started with
    QStringList arguments;  // base, then the switches
    QString argumentText;   // base + " /D" and the like, as one text
    QString text;           // folder + "myc.exe " + argumentText
    QString programName;    // "myc.exe" or "compile.exe"
    QString folder;         // where the program is looked for
};

inline const QString kCompilerPass = QStringLiteral("myc.exe");
inline const QString kSecondPass = QStringLiteral("compile.exe");

// A base without a folder leaves the program to the working folder, which is
// then given as currentFolder (with or without a trailing separator).
CommandLine compilerPassCommand(const BuildNames& names, bool lineNumbers,
                                const QString& currentFolder, PathStyle style);
CommandLine secondPassCommand(const BuildNames& names, const QString& currentFolder,
                              PathStyle style);

}  // namespace quv
