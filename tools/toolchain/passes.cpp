// The two stand-in compiler programs: myc.exe checks a C source with the
// host compiler, compile.exe compiles it into the program image.
#include "toolchain.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

namespace quv::toolchain {

namespace {

void say(const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fflush(stdout);
}

void complain(const QString& text) {
    const QByteArray bytes = (text + QLatin1Char('\n')).toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
}

// The files of one build, named after the base the program was given.
struct Names {
    QString base, source, errors, header, image, listing;
    explicit Names(const QString& b)
        : base(b),
          source(b + QStringLiteral(".c")),
          errors(b + QStringLiteral(".ERR")),
          header(b + QStringLiteral(".hea")),
          image(b + QStringLiteral(".bin")),
          listing(b + QStringLiteral(".sys")) {}
};

// Writes the error file; the exit code: 0 when the build went well.
int finish(const Names& names, const QString& program, const QByteArray& records, bool failed) {
    if (const auto why = writeFile(names.errors, records)) {
        complain(QStringLiteral("%1: cannot write %2: %3").arg(program, names.errors, *why));
        return 1;
    }
    return failed ? 1 : 0;
}

int failWith(const Names& names, const QString& program, const QString& message) {
    say(QStringLiteral("%1: %2\n").arg(program, message));
    return finish(names, program, errorRecord(names.source, 1, message), true);
}

struct Prepared {
    QString compiler;
    bool ok = false;
};

// The checks both programs make before they compile. The header is emptied
// first: an empty header marks a program that must be compiled again.
Prepared prepare(const Names& names, const QString& program) {
    writeFile(names.header, QByteArray());
    if (!QFileInfo(names.source).isFile()) {
        failWith(names, program,
                 QStringLiteral("cannot open the source file %1").arg(names.source));
        return {};
    }
    const auto compiler = findHostCompiler();
    if (!compiler) {
        failWith(
            names, program,
            QStringLiteral("no C compiler found on PATH (cc, gcc or clang); set CC to name one"));
        return {};
    }
    return {*compiler, true};
}

struct Compiled {
    QByteArray records;
    bool failed = false;  // an error, or the compiler failed
};

// Runs the host compiler and turns what it said into error records; a
// failure without an error diagnostic still gives one record.
Compiled compileRecords(const Names& names, const QString& compiler, const QStringList& arguments,
                        bool withWarnings) {
    const HostRun run = runHostCompiler(compiler, arguments);
    if (!run.started)
        return {errorRecord(names.source, 1,
                            QStringLiteral("the C compiler %1 could not be started: %2")
                                .arg(compiler, run.error)),
                true};
    say(run.output);
    const QList<Diagnostic> diagnostics = parseDiagnostics(run.output);
    Compiled c{errorRecords(diagnostics, names.source, withWarnings), false};
    const bool anyError = std::any_of(diagnostics.begin(), diagnostics.end(),
                                      [](const Diagnostic& d) { return d.error; });
    if (run.exitCode != 0 && !anyError)
        c.records +=
            errorRecord(names.source, 1,
                        QStringLiteral("the C compiler ended with exit code %1").arg(run.exitCode));
    c.failed = run.exitCode != 0 || anyError;
    return c;
}

bool isSwitch(const QString& argument, const char* name) {
    return argument.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

}  // namespace

int compilerPass(const QStringList& arguments) {
    const QString program = QStringLiteral("myc.exe");
    if (arguments.isEmpty()) {
        complain(QStringLiteral("usage: myc.exe BASE [/D]"));
        return 2;
    }
    const Names names(arguments.first());
    const bool withWarnings = std::any_of(arguments.begin() + 1, arguments.end(),
                                          [](const QString& a) { return isSwitch(a, "/D"); });
    const Prepared p = prepare(names, program);
    if (!p.ok) return 1;
    // With /D the records may be warnings only: the exit code follows the errors.
    const Compiled c = compileRecords(names, p.compiler,
                                      {QStringLiteral("-fsyntax-only"), QStringLiteral("-Wall"),
                                       QStringLiteral("-fdiagnostics-color=never"), names.source},
                                      withWarnings);
    say(QStringLiteral("%1: %2\n")
            .arg(program, c.failed ? QStringLiteral("errors in ") + names.source
                                   : names.source + QStringLiteral(" is correct")));
    return finish(names, program, c.records, c.failed);
}

int secondPass(const QStringList& arguments) {
    const QString program = QStringLiteral("compile.exe");
    if (arguments.isEmpty()) {
        complain(QStringLiteral("usage: compile.exe BASE r"));
        return 2;
    }
    const Names names(arguments.first());
    const Prepared p = prepare(names, program);
    if (!p.ok) return 1;
    QTemporaryDir work;
    if (!work.isValid())
        return failWith(names, program, QStringLiteral("cannot make a temporary folder"));
    const QString object = work.filePath(QStringLiteral("program.o"));
    const Compiled c = compileRecords(
        names, p.compiler,
        {QStringLiteral("-c"), QStringLiteral("-Os"),
         QStringLiteral("-fno-asynchronous-unwind-tables"), QStringLiteral("-fno-ident"),
         QStringLiteral("-fdiagnostics-color=never"), QStringLiteral("-o"), object, names.source},
        false);
    if (c.failed) return finish(names, program, c.records, true);

    QFile file(object);
    if (!file.open(QIODevice::ReadOnly))
        return failWith(names, program, QStringLiteral("the C compiler wrote no object file"));
    const auto made = imageFromObject(file.readAll());
    if (const auto* why = std::get_if<QString>(&made))
        return failWith(names, program,
                        QStringLiteral("cannot make the program image: %1").arg(*why));
    const Image& image = std::get<Image>(made);
    // The header goes last: a complete header means a complete program.
    for (const auto& [path, bytes] :
         {std::pair{names.image, image.bytes},
          std::pair{names.listing, listing(image, names.source, p.compiler)},
          std::pair{names.header, programHeader(image)}}) {
        if (const auto failed = writeFile(path, bytes))
            return failWith(names, program,
                            QStringLiteral("cannot write %1: %2").arg(path, *failed));
    }
    say(QStringLiteral("%1: %2, %3 bytes\n").arg(program, names.image).arg(image.bytes.size()));
    return finish(names, program, QByteArray(), false);
}

}  // namespace quv::toolchain
