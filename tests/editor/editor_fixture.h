// A main window in full mode with its editor focused, and the helpers the
// editor tests type with.
#pragma once

#include "app/main_window.h"
#include "core/settings_keys.h"
#include "editor/editor_subsystem.h"
#include "editor/source_editor.h"
#include "support/app_fixture.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace quv::test {

struct EditorFixture : AppFixture {
    // The word files live in the working folder: the temporary one.
    EditorFixture() { QDir::setCurrent(dir.path()); }
    // Full mode, so that the editor is shown; the options given on top.
    MainWindow& startEditor(const QHash<QString, QString>& options = {}) {
        settings.save(keys::kEditorEnabled, QStringLiteral("True"));
        for (auto it = options.begin(); it != options.end(); ++it)
            settings.save(it.key(), it.value());
        MainWindow& w = start();
        w.activateWindow();
        w.Source()->setFocus();
        return w;
    }
    SourceEditor& editor() const { return *window->Source(); }
    EditorSubsystem& subsystem() const { return window->editor(); }
    // The text, with the caret at the position (or the selection from it).
    void setText(const QByteArray& text, int position = 0, int length = 0) const {
        editor().setBytes(text);
        editor().select(position, length);
    }
    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) const {
        QTest::keyClick(&editor(), k, mods);
    }
    void type(const char* text) const { QTest::keyClicks(&editor(), QString::fromLatin1(text)); }
    // Writes a word file into the working folder.
    void wordFile(const QString& name, const QByteArray& bytes) const {
        QFile f(QDir::current().filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(bytes), bytes.size());
    }
};

}  // namespace quv::test
