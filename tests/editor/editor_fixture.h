// The editor subsystem alone, as the main window builds it: an editor and a
// help list on a shown host window, scripted dialogs, the options, and the
// process's working folder moved to a temporary one for the word files. What
// the subsystem tells outside is recorded. In marked texts "|" is the caret
// and "[" "]" enclose the selection.
#pragma once

#include "core/options.h"
#include "core/working_folder.h"
#include "editor/editor_subsystem.h"
#include "editor/source_editor.h"
#include "support/scripted_dialogs.h"
#include "support/test_files.h"

#include <QDir>
#include <QListWidget>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace quv::test {

struct EditorFixture {
    QTemporaryDir dir;
    QString previousFolder = QDir::currentPath();
    ScriptedDialogs dialogs;
    Options options;
    ProcessWorkingFolder folder;
    QWidget host;
    SourceEditor* editor = new SourceEditor(&host);
    QListWidget* list = new QListWidget(&host);
    QString line;  // the status bar's "Line" panel
    int backs = 0;
    QList<QWidget*> ownWindows;
    EditorSubsystem* subsystem = nullptr;

    // The words of the instruction help, in funct1.txt of the working folder.
    explicit EditorFixture(const QByteArray& words = {}) {
        QDir::setCurrent(dir.path());
        wordFile("funct1.txt", words);
        subsystem = new EditorSubsystem(*editor, *list, dialogs, options, folder, &host,
                                        {[this](int l) { line = QString::number(l); },
                                         {},
                                         [this] { host.activateWindow(), ++backs; },
                                         [this](QWidget* w) { ownWindows << w; },
                                         {}},
                                        &host);
        subsystem->loadHelpLists();
        host.resize(800, 600);
        editor->setGeometry(0, 0, 800, 450);
        list->setGeometry(300, 450, 200, 150);
        list->hide();
        host.show();
        host.activateWindow();
        editor->setFocus();
    }
    ~EditorFixture() { QDir::setCurrent(previousFolder); }

    void wordFile(const QString& name, const QByteArray& bytes) const {
        QVERIFY(writeTestFile(QDir(dir.path()).filePath(name), bytes));
    }

    void setMarked(QByteArray text) const {
        const int caret = int(std::max<qsizetype>(text.indexOf('|'), 0));
        const int start = int(text.indexOf('[')), end = int(text.indexOf(']')) - 1;
        editor->setBytes(text.replace('|', "").replace('[', "").replace(']', ""));
        editor->select(start < 0 ? caret : start, start < 0 ? 0 : end - start);
    }
    QByteArray marked() const {
        QByteArray text = editor->bytes();
        const int start = editor->selectionStart();
        const int end = editor->selectionEnd();
        if (start == end) return text.insert(start, '|');
        return text.insert(end, ']').insert(start, '[');
    }
    // The list's selected entry while it is shown, else empty.
    QString shownEntry() const {
        const QListWidgetItem* item = list->currentItem();
        return list->isVisible() && item && item->isSelected() ? item->text() : QString();
    }

    // Types characters as they stand, key sequences such as "<Return>" or
    // "<Ctrl+C>", and the special steps below, into the editor.
    void press(const QString& keys) {
        static const QRegularExpression token(QStringLiteral("<([^<>]+)>|(.)"),
                                              QRegularExpression::DotMatchesEverythingOption);
        for (const QRegularExpressionMatch& m : token.globalMatch(keys)) {
            const QString name = m.captured(1);
            const QPoint item =
                list->currentItem() ? list->visualItemRect(list->currentItem()).center() : QPoint();
            if (name.isEmpty()) {
                QTest::keyClick(editor, m.captured(2).at(0).toLatin1());
            } else if (name == "Ctrl") {  // pressed alone
                QTest::keyClick(editor, Qt::Key_Control, Qt::ControlModifier);
            } else if (name == "Shift+Tab") {  // as the platform sends it
                QTest::keyClick(editor, Qt::Key_Backtab, Qt::ShiftModifier);
            } else if (name.startsWith("List")) {  // keys on the help list
                QTest::keyClick(list, name == "ListReturn" ? Qt::Key_Return : Qt::Key_Escape);
            } else if (name == "DoubleClick") {  // it follows a first click
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item);
                QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, item);
            } else if (name == "Hover") {  // the mouse rests on the help list
                QMouseEvent move(QEvent::MouseMove, item, list->viewport()->mapToGlobal(item),
                                 Qt::NoButton, Qt::NoButton, Qt::NoModifier);
                QCoreApplication::sendEvent(list->viewport(), &move);
            } else if (name == "Reload") {  // the word files, with one more
                wordFile("funct3.txt", "added, new help\r\n");
                subsystem->loadHelpLists();
            } else if (name == "AutoIndent off") {
                options.AutoIndent = false;
            } else if (name == "Click") {  // at the end of the first line
                QTest::mouseClick(editor->viewport(), Qt::LeftButton, {}, QPoint(700, 5));
            } else {
                const QKeyCombination k = QKeySequence(name)[0];
                QVERIFY2(k.key() != Qt::Key_unknown, qPrintable(name));
                QTest::keyClick(editor, k.key(), k.keyboardModifiers());
            }
        }
    }
};

}  // namespace quv::test
