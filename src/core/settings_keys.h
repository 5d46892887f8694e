// Every settings key of the program, with its default, in one place.
#pragma once

#include <QString>

namespace quv::keys {

// The store lives under this organisation name, in this section.
inline const QString kOrganisation = QStringLiteral("QuvDeveloper");
inline const QString kSection = QStringLiteral("Startup");

inline const QString kFontSize = QStringLiteral("FontSize");  // number text, default 12
inline const QString kFontName = QStringLiteral("FontName");  // default empty
inline const QString kFileName = QStringLiteral("FileName");  // path text, default empty
inline const QString kSaveConfirmation = QStringLiteral("SaveConfirmation");  // default True
inline const QString kAutoIndent = QStringLiteral("AutoIndent");              // default True
inline const QString kEditorEnabled = QStringLiteral("editorenabled");        // default False
inline const QString kCompilerWindows = QStringLiteral("Compiler_windows");   // default False
inline const QString kBaudRate = QStringLiteral("BaudRate");                  // default 38400
inline const QString kCommPort = QStringLiteral("CommPort");                  // default 1
inline const QString kTcpip = QStringLiteral("TCPIP");                        // "0" or "1"
inline const QString kTcpipAddr = QStringLiteral("TCPIPAddr");                // default 127.0.0.1
// The program that runs Windows compiler programs on other systems.
inline const QString kCompilerLauncher = QStringLiteral("CompilerLauncher");  // default wine
// "ComDevice" followed by a port number names the serial device of that port.
inline const QString kComDevicePrefix = QStringLiteral("ComDevice");

// "Last_1" to "Last_5": the recent files of buttons 6 to 10.
inline QString lastFile(int slot) {
    return QStringLiteral("Last_%1").arg(slot);
}

constexpr double kDefaultFontSize = 12;
constexpr bool kDefaultSaveConfirmation = true;
constexpr bool kDefaultAutoIndent = true;
constexpr bool kDefaultEditorEnabled = false;
constexpr bool kDefaultCompilerWindows = false;
constexpr qint32 kDefaultBaudRate = 38400;
constexpr qint32 kDefaultCommPort = 1;
constexpr qint32 kDefaultTcpip = 0;
inline const QString kDefaultTcpipAddr = QStringLiteral("127.0.0.1");
inline const QString kDefaultCompilerLauncher = QStringLiteral("wine");

}  // namespace quv::keys
