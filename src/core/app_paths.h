// Working-folder, caption and file-dialog rules of the main window.
#pragma once

#include <QString>

#include <optional>

namespace quv {

enum class PathStyle { Posix, Windows };
PathStyle nativePathStyle();
QChar separator(PathStyle style);

// The folder "\vb" at the root of a drive ("/vb" on POSIX) moves to "\myc"
// on the same drive; any other folder stays. Returns the new folder.
std::optional<QString> vbToMyc(const QString& folder, PathStyle style);

// The working folder followed by one separator.
QString initialDirectory(const QString& folder, PathStyle style);

QString versionText();  // "1.0.0"
QString windowCaption(const QString& initialDirectory);

// The folder part of a path: the text before its last separator, or nothing
// when the path has none. A file at the root gives the root folder.
std::optional<QString> folderOfPath(const QString& path, PathStyle style);

// The base name of a file: its path up to the last "." of the file name,
// the dot kept ("/p/prog.c" gives "/p/prog."). A dot in a folder's name
// never counts: nothing when the file name has no dot.
std::optional<QString> baseNameWithDot(const QString& path, PathStyle style = nativePathStyle());

// File dialog filters of full and compact mode.
inline const QString kSourceFilter =
    QStringLiteral("C Programs (*.c)|*.c|ASM (*.asm)|*.asm|All Files (*.*)|*.*");
inline const QString kProgramFilter =
    QStringLiteral("Binary Program (*.bin)|*.bin|All Files (*.*)|*.*");
// "Desc|pattern|Desc|pattern" as a Qt dialog filter "Desc;;Desc".
QString qtFilterFromPairs(const QString& filter);

// The document names after New and after Close.
inline const QString kNewDocumentName = QStringLiteral("noname.c");
QString closedDocumentName(PathStyle style);

}  // namespace quv
