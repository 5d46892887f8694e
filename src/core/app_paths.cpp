#include "core/app_paths.h"

#include <QDir>
#include <QStringList>

#include <algorithm>

namespace quv {

PathStyle nativePathStyle() {
#ifdef Q_OS_WIN
    return PathStyle::Windows;
#else
    return PathStyle::Posix;
#endif
}

QChar separator(PathStyle style) {
    return style == PathStyle::Windows ? QLatin1Char('\\') : QLatin1Char('/');
}

std::optional<QString> vbToMyc(const QString& folder, PathStyle style) {
    if (style == PathStyle::Posix) {
        if (folder == QLatin1String("/vb")) return QStringLiteral("/myc");
        return std::nullopt;
    }
    // "C:\vb": from the third character on.
    if (folder.size() >= 2 && folder.mid(2) == QLatin1String("\\vb"))
        return folder.left(2) + QStringLiteral("\\myc");
    return std::nullopt;
}

QString initialDirectory(const QString& folder, PathStyle style) {
    const QChar sep = separator(style);
    return folder.endsWith(sep) ? folder : folder + sep;
}

QString versionText() {
    return QStringLiteral("%1.%2.%3")
        .arg(QUV_VERSION_MAJOR)
        .arg(QUV_VERSION_MINOR)
        .arg(QUV_VERSION_PATCH);
}

QString windowCaption(const QString& initialDirectory) {
    return QStringLiteral("Z7Q C Development System ") + versionText() + QStringLiteral(" - ") +
           initialDirectory;
}

std::optional<QString> folderOfPath(const QString& path, PathStyle style) {
    const qsizetype cut = path.lastIndexOf(separator(style));
    if (cut < 0) return std::nullopt;
    if (cut == 0) return QString(separator(style));  // "/prog.c"
    if (style == PathStyle::Windows && cut == 2 && path.at(1) == QLatin1Char(':'))
        return path.left(3);  // "C:\prog.c"
    return path.left(cut);
}

std::optional<QString> baseNameWithDot(const QString& path, PathStyle style) {
    qsizetype folderEnd = path.lastIndexOf(separator(style));
    // Windows also takes "/" between folders.
    if (style == PathStyle::Windows)
        folderEnd = std::max(folderEnd, path.lastIndexOf(QLatin1Char('/')));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot <= folderEnd) return std::nullopt;
    return path.left(dot + 1);
}

QString qtFilterFromPairs(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = QString(parts.at(i + 1)).replace(QLatin1Char(';'), QLatin1Char(' '));
        // "*.*" means every file, also those without a dot in their name.
        if (patterns == QLatin1String("*.*")) patterns = QStringLiteral("*");
        // Keep the description as shown; Qt takes the patterns from the
        // parentheses, so give them in the form it reads.
        QString description = parts.at(i);
        const qsizetype open = description.indexOf(QLatin1Char('('));
        if (open >= 0) description = description.left(open).trimmed();
        out << description + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return out.join(QStringLiteral(";;"));
}

QString closedDocumentName(PathStyle style) {
    if (style == PathStyle::Windows) return QStringLiteral("c:\\Noname.c");
    return QDir::homePath() + QStringLiteral("/Noname.c");
}

}  // namespace quv
