#include "compile/build_names.h"

namespace quv {

namespace {

CommandLine command(const BuildNames& names, const QString& programName,
                    const QStringList& switches, const QString& textTail,
                    const QString& currentFolder, PathStyle style) {
    CommandLine c;
    c.programName = programName;
    c.folder = names.folder.isEmpty() ? initialDirectory(currentFolder, style) : names.folder;
    c.program = c.folder + programName;
    c.arguments = QStringList{names.base} + switches;
    c.argumentText = names.base + textTail;
    c.text = names.folder + programName + QLatin1Char(' ') + c.argumentText;
    return c;
}

}  // namespace

std::optional<BuildNames> buildNames(const QString& path, PathStyle style) {
    const auto withDot = baseNameWithDot(path, style);
    if (!withDot) return std::nullopt;
    BuildNames names;
    names.base = withDot->chopped(1);
    names.folder = names.base.left(names.base.lastIndexOf(separator(style)) + 1);
    return names;
}

std::optional<QString> errorFileName(const QString& path, PathStyle style) {
    const auto withDot = baseNameWithDot(path, style);
    if (!withDot) return std::nullopt;
    return *withDot + QStringLiteral("ERR");
}

CommandLine compilerPassCommand(const BuildNames& names, bool lineNumbers,
                                const QString& currentFolder, PathStyle style) {
    if (lineNumbers)
        return command(names, kCompilerPass, {QStringLiteral("/D")}, QStringLiteral(" /D"),
                       currentFolder, style);
    return command(names, kCompilerPass, {}, QString(), currentFolder, style);
}

CommandLine secondPassCommand(const BuildNames& names, const QString& currentFolder,
                              PathStyle style) {
    return command(names, kSecondPass, {QStringLiteral("r")}, QStringLiteral(" r "), currentFolder,
                   style);
}

}  // namespace quv
