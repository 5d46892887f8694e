// What the stand-in compiler programs share: finding and running the host C
// compiler, reading its diagnostics, writing the error file, and turning an
// object file into the program image with its header and listing.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

namespace quv::toolchain {

struct Diagnostic {
    QString file;
    int line = 0;  // 1-based; 0 when the compiler gave none
    bool error = true;
    QString message;
};

// The host compiler's diagnostics of the forms "file:line:column: error: text",
// "file:line: warning: text" and "compiler: fatal error: text"; notes,
// context lines and caret lines are left out.
QList<Diagnostic> parseDiagnostics(const QString& output);

// The error file's records: "line:file" and the message, each line ended by
// CR LF. Warnings are written too when asked for, their message beginning
// "warning: ". A diagnostic without a line number or file counts for line 1
// of source.
QByteArray errorRecords(const QList<Diagnostic>& diagnostics, const QString& source,
                        bool withWarnings);
QByteArray errorRecord(const QString& source, int line, const QString& message);

// The host C compiler: the program named by the environment variable CC,
// else cc, gcc or clang, looked up on PATH.
std::optional<QString> findHostCompiler();

struct HostRun {
    bool started = false;
    int exitCode = -1;
    QString output;  // standard output and error, in order
    QString error;   // why it did not start
};
// Runs the host compiler with the arguments (no shell), in the C locale so
// that its messages are plain 8-bit text.
HostRun runHostCompiler(const QString& compiler, const QStringList& arguments);

struct Section {
    QString name;
    quint32 offset = 0;  // in the image; unused for sections not in the image
    quint32 size = 0;
    bool inImage = true;  // false for zero-filled data, which takes no bytes
};
struct Image {
    QByteArray bytes;
    QList<Section> sections;
    std::optional<quint32> mainOffset;
};
// The code and data sections of an ELF object file laid end to end, each at
// its own alignment; the reason when the file cannot be read as one.
std::variant<Image, QString> imageFromObject(const QByteArray& object);

// The 8-byte header: "Z7", the image length (32 bits) and the offset of main
// (16 bits, 0xFFFF for none), each low byte first.
QByteArray programHeader(const Image& image);
// A short listing of the image, CR LF text.
QByteArray listing(const Image& image, const QString& source, const QString& compiler);

// Writes the whole file, replacing it; the reason on failure.
std::optional<QString> writeFile(const QString& path, const QByteArray& bytes);

// The two programs, given their arguments without the program name; each
// returns its exit code. myc.exe BASE [/D] checks BASE.c and writes BASE.ERR;
// /D also lists the warnings. compile.exe BASE r compiles BASE.c into
// BASE.bin, BASE.sys and BASE.hea, or writes BASE.ERR.
int compilerPass(const QStringList& arguments);
int secondPass(const QStringList& arguments);

}  // namespace quv::toolchain
