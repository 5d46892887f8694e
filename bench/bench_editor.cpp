// Prints the cost of each editor rule on a 100-line and a 100,000-line
// document (about 5 MB): the keystrokes Enter, "{" and "}" after Enter, a
// letter that filters a help list of 5,000 words, Tab and Shift+Tab on a
// block, Goto line to the last line and Replace All; and the ratio of the
// long document's figure to the short one's. Then the keystrokes while typing
// near the start and in the middle of a 10 MB document, with and without
// recovery copies being written.
#include "app/main_window.h"
#include "app/recovery.h"
#include "comm/link_com.h"
#include "core/clock.h"
#include "core/dialogs.h"
#include "core/event_pump.h"
#include "core/settings_store.h"
#include "core/working_folder.h"
#include "editor/editor_subsystem.h"
#include "editor/find_dialog.h"
#include "editor/goto_line.h"
#include "editor/source_editor.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// Answers every question silently: nothing here should ask one.
class SilentDialogs : public quv::UnattendedDialogs {
  public:
    int shown = 0;
    quv::Answer message(const QString&, quv::Buttons, quv::Icon, const QString&) override {
        ++shown;
        return quv::Answer::Ok;
    }
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Runs setup (not timed), then the measured step, then undo (not timed).
double measure(int runs, const std::function<void()>& setup, const std::function<void()>& step,
               const std::function<void()>& after) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        setup();
        QElapsedTimer t;
        t.start();
        step();
        ms.push_back(t.nsecsElapsed() / 1e6);
        after();
    }
    return median(ms);
}

QByteArray document(int lines) {
    QByteArray text;
    text.reserve(lines * 54);
    for (int i = 0; i < lines; ++i)
        text +=
            "\t\tvalue = table[" + QByteArray::number(i % 1000) + "] + offset; /* next step */\r\n";
    return text;
}

struct Figures {
    double enter, openBrace, closeBrace, letter, tab100, untab100, tab1000, gotoLast, replaceAll;
    int occurrences;
};

Figures run(quv::MainWindow& w, int lines) {
    quv::SourceEditor& e = *w.Source();
    e.setBytes(document(lines));
    QCoreApplication::processEvents();
    const int middle = e.lineStart(lines / 2) + 12;
    const auto undoAll = [&] {
        while (e.isUndoAvailable()) e.undo();
    };
    const auto at = [&](int pos) { return [&e, pos] { e.select(pos, 0); }; };
    const auto key = [&](Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        return [&e, k, m] { QTest::keyClick(&e, k, m); };
    };
    const int runs = 41;
    Figures f{};
    f.enter = measure(runs, at(middle), key(Qt::Key_Return), undoAll);
    const auto afterEnter = [&] {
        e.select(middle, 0);
        QTest::keyClick(&e, Qt::Key_Return);
    };
    f.openBrace = measure(runs, afterEnter, key(Qt::Key_BraceLeft), undoAll);
    f.closeBrace = measure(runs, afterEnter, key(Qt::Key_BraceRight), undoAll);
    // The second letter of a word: the list of 5,000 words is filtered again.
    const int blank = e.lineStart(lines / 2) + 2;
    f.letter = measure(
        runs,
        [&] {
            e.select(blank, 0);
            QTest::keyClick(&e, Qt::Key_Space);
            QTest::keyClick(&e, Qt::Key_P);
        },
        key(Qt::Key_R),
        [&] {
            QTest::keyClick(&e, Qt::Key_Left);
            undoAll();
        });
    const auto block = [&](int count) {
        const int first = std::max(0, lines / 2 - count / 2);
        return [&e, first, count] {
            e.select(e.lineStart(first), e.lineStart(first + count) - e.lineStart(first));
        };
    };
    f.tab100 = measure(runs, block(100), key(Qt::Key_Tab), undoAll);
    f.untab100 = measure(runs, block(100), key(Qt::Key_Backtab, Qt::ShiftModifier), undoAll);
    f.tab1000 = lines >= 1000 ? measure(runs, block(1000), key(Qt::Key_Tab), undoAll) : 0;
    f.gotoLast = measure(
        runs, at(0),
        [&] {
            qint32 last = e.lines() - 1;
            quv::Goto_line(e, last);
        },
        [] {});
    quv::FindDialog& find = w.editor().Findtext();
    find.Text1()->setText("value");
    find.Text2()->setText("result");
    f.replaceAll = measure(
        3, at(0), [&] { find.Command5_Click(); },
        [&] {
            f.occurrences = static_cast<int>(e.bytes().count("result"));
            undoAll();
        });
    return f;
}

// The main window in full mode on real services, answering no question.
struct Program {
    quv::MemorySettingsStore settings;
    quv::SystemClock clock;
    SilentDialogs dialogs;
    quv::LinkState link;
    quv::QtEventPump pump{&link.AppClosing};
    quv::LinkCom com{settings, pump};
    quv::ProcessWorkingFolder folder;
    quv::MainWindow window;
    explicit Program(const QString& recoveryFolder)
        : window({dialogs, settings, clock, com, pump, folder, recoveryFolder}, link) {
        settings.save("editorenabled", "True");
        window.start();
    }
};

// Types a letter every 50 ms for 9 s on a line of a 10 MB document, in a
// window of its own, after a second for the new text to settle; with
// keepCopies the recovery copy of the unsaved text is written meanwhile. A
// keystroke counts from when it was due until the editor has handled it and
// what it caused, so work on a copy that holds a key up counts too.
struct Typing {
    double medianMs = 0, longestMs = 0;
    int copies = 0;
};
Typing typeOnTenMegabytes(bool keepCopies, int line) {
    QTemporaryDir data;
    Program program(keepCopies ? data.filePath("recovery") : QString());
    quv::MainWindow& w = program.window;
    quv::SourceEditor& e = *w.Source();
    e.setBytes(document(194000));
    e.setFocus();
    e.select(e.lineStart(line), 0);
    const QString copy = w.recoveryStore().ownFile();
    QDateTime lastCopy;
    Typing t;
    std::vector<double> keys;
    QElapsedTimer run;
    run.start();
    for (qint64 due = 0; due < 10000; due += 50) {
        while (run.elapsed() < due) QCoreApplication::processEvents();
        QTest::keyClick(&e, Qt::Key_A);
        QCoreApplication::processEvents();
        if (due >= 1000) keys.push_back(run.nsecsElapsed() / 1e6 - due);
        const QDateTime written = QFileInfo(copy).lastModified();
        if (!copy.isEmpty() && written.isValid() && written != lastCopy) ++t.copies;
        lastCopy = written;
    }
    w.recoveryStore().settle();
    t.medianMs = median(keys);
    t.longestMs = *std::max_element(keys.begin(), keys.end());
    return t;
}

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    // 5,000 words in the working folder, about a fifth of them starting "pr".
    QTemporaryDir words;
    {
        QFile f(words.filePath("funct1.txt"));
        if (!f.open(QIODevice::WriteOnly)) return 1;
        for (int i = 0; i < 5000; ++i)
            f.write((i % 5 == 0 ? "pr" : "w") + QByteArray::number(i) + ", help text " +
                    QByteArray::number(i) + "\r\n");
    }
    QDir::setCurrent(words.path());

    Program program{QString()};
    quv::MainWindow& window = program.window;
    SilentDialogs& dialogs = program.dialogs;
    if (!QTest::qWaitForWindowExposed(&window)) return 1;
    window.Source()->setFocus();

    const Figures shortDoc = run(window, 100);
    const Figures longDoc = run(window, 100000);
    if (dialogs.shown != 0) std::printf("(unexpected message boxes: %d)\n", dialogs.shown);

    std::printf("editor rules, median ms: 100 lines | 100,000 lines (%.1f MB) | ratio\n",
                document(100000).size() / 1048576.0);
    const auto row = [](const char* name, double a, double b, const char* target) {
        std::printf("  %-34s %8.3f | %8.3f | %5.2f   %s\n", name, a, b, a > 0 ? b / a : 0.0,
                    target);
    };
    row("Enter (indentation copied)", shortDoc.enter, longDoc.enter, "(< 1 ms, ratio < 2)");
    row("\"{\" after Enter", shortDoc.openBrace, longDoc.openBrace, "(< 1 ms, ratio < 2)");
    row("\"}\" after Enter", shortDoc.closeBrace, longDoc.closeBrace, "(< 1 ms, ratio < 2)");
    row("letter filtering 5,000 words", shortDoc.letter, longDoc.letter, "(< 1 ms, ratio < 2)");
    row("Tab on 100 lines", shortDoc.tab100, longDoc.tab100, "(< 1 ms, ratio < 2)");
    row("Shift+Tab on 100 lines", shortDoc.untab100, longDoc.untab100, "(< 1 ms, ratio < 2)");
    std::printf("  %-34s %8s | %8.3f |         (< 1 ms)\n", "Tab on 1,000 lines", "-",
                longDoc.tab1000);
    // Goto looks at one position in a thousand before the line: it grows
    // with the text, well within its target.
    std::printf("  %-34s %8.3f | %8.3f |         (< 5 ms)\n", "Goto line to the last line",
                shortDoc.gotoLast, longDoc.gotoLast);
    std::printf("  %-34s %8.3f | %8.3f |         (%d and %d occurrences; < 2000 ms)\n",
                "Replace All", shortDoc.replaceAll, longDoc.replaceAll, shortDoc.occurrences,
                longDoc.occurrences);

    // The editor control's own work for a key grows with the caret's offset
    // in the text, so the keys are typed near the start and in the middle.
    std::printf("typing in a 10 MB document, a key every 50 ms for 9 s, ms: median | longest\n");
    for (const int line : {10, 97000}) {
        const Typing without = typeOnTenMegabytes(false, line);
        const Typing with = typeOnTenMegabytes(true, line);
        std::printf("  line %-6d no recovery copies       %8.3f | %8.3f\n", line, without.medianMs,
                    without.longestMs);
        std::printf(
            "  line %-6d recovery copies every 2 s %7.3f | %8.3f   (%d copies written; "
            "longest < 16 ms)\n",
            line, with.medianMs, with.longestMs, with.copies);
    }
    return 0;
}
