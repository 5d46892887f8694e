// A main window in full mode with a program open in a folder whose name has
// a blank, and fake compiler programs beside it.
#pragma once

#include "app/documents.h"
#include "app/main_window.h"
#include "compile/compiler_runner.h"
#include "compile/errors_window.h"
#include "core/settings_keys.h"
#include "support/app_fixture.h"
#include "tool_folder.h"

namespace quv::test {

struct BuildCase {
    AppFixture f;
    ToolFolder tools{f.dir.filePath("with blank")};
    QString source;

    explicit BuildCase(const QByteArray& text = "int main(void)\r\n{\r\n\treturn 0;\r\n}\r\n") {
        tools.install(QStringLiteral(QUV_FAKE_COMPILER), "myc.exe");
        tools.install(QStringLiteral(QUV_FAKE_COMPILER), "compile.exe");
        source = f.writeFile("with blank/my prog.c", text);
        f.settings.save(keys::kEditorEnabled, "True");
        f.settings.save(keys::kFileName, source);
        f.start();
    }
    MainWindow& w() { return *f.window; }
    Errors& errors() { return *w().compiler().errorList(); }
    QString base() const { return tools.path + "my prog"; }
    // The calls the log should show: M, MD (with /D) and C.
    QStringList expected(const QStringList& steps) const {
        QStringList out;
        for (const QString& s : steps) {
            if (s == "M") out << "myc.exe\t" + base();
            if (s == "MD") out << "myc.exe\t" + base() + "\t/D";
            if (s == "C") out << "compile.exe\t" + base() + "\tr";
        }
        return out;
    }
};

}  // namespace quv::test
