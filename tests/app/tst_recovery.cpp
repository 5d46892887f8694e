// Unsaved work through the real program: a run that is killed leaves its
// changes for the next start, which offers them back; a clean exit leaves
// nothing to offer. The test runs the program as a child process of itself.
#include "app/desktop_program.h"
#include "app/documents.h"
#include "app/recovery.h"
#include "core/settings_keys.h"
#include "editor/source_editor.h"
#include "support/test_files.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>

namespace {

void say(const char* key, const QByteArray& value) {
    std::printf("%s %s\n", key, value.toHex().constData());
    std::fflush(stdout);
}

// The child: the program as it runs, on the settings and data folders of the
// test's home. mode: "type" (then wait to be killed), "close" (type, then
// close answering No) or "start" (only start). Every question is answered
// with a click on the button named by answer.
int runChild(const QStringList& args) {
    const QString mode = args.value(0), document = args.value(1), answer = args.value(2);
    quv::configureApplication();
    quv::DesktopProgram program;
    program.settings.save(quv::keys::kEditorEnabled, QStringLiteral("True"));
    QByteArray asked;
    QPointer<QMessageBox> answered;
    QTimer clicker;
    QObject::connect(&clicker, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || box == answered) return;
        answered = box;
        asked += box->text().toUtf8() + '\n';
        QTest::mouseClick(box->button(answer == "Yes" ? QMessageBox::Yes : QMessageBox::No),
                          Qt::LeftButton);
    });
    clicker.start(20);
    quv::MainWindow& w = program.window;
    w.start();
    say("asked", asked);
    if (mode == "start") {
        say("name", w.documents().CurrentFileName.toUtf8());
        say("changed", w.documents().Source_changed ? "1" : "0");
        say("text", w.Source()->bytes());
        return 0;
    }
    if (!document.isEmpty()) w.documents().Open_File(document);
    QTest::keyClicks(w.Source(), "x1");
    QTest::keyClick(w.Source(), Qt::Key_Return);
    QTest::keyClicks(w.Source(), "y2");
    say("text", w.Source()->bytes());
    QElapsedTimer waited;
    waited.start();
    while (!QFileInfo::exists(w.recoveryStore().ownFile()) && waited.elapsed() < 20000)
        QTest::qWait(20);
    say("kept", QFileInfo::exists(w.recoveryStore().ownFile()) ? "1" : "0");
    if (mode == "close") QTimer::singleShot(0, &w, &QWidget::close);
    QObject::connect(&w, &quv::MainWindow::closed, qApp, &QApplication::quit);
    return QApplication::exec();
}

}  // namespace

class TestRecovery : public QObject {
    Q_OBJECT

    QTemporaryDir home_;
    QString recoveryFolder() const { return home_.filePath("data/QuvDeveloper/recovery"); }

    // Runs the child; with kill, kills it (SIGKILL) once its copy is kept.
    QHash<QByteArray, QByteArray> run(const QStringList& args, bool kill = false) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home_.path());
        env.insert("XDG_DATA_HOME", home_.filePath("data"));
        env.insert("XDG_CONFIG_HOME", home_.filePath("config"));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), QStringList("--child") + args);
        QHash<QByteArray, QByteArray> said;
        QElapsedTimer waited;
        waited.start();
        while (child.state() != QProcess::NotRunning && waited.elapsed() < 60000) {
            child.waitForReadyRead(100);
            while (child.canReadLine()) {
                const QList<QByteArray> line = child.readLine().trimmed().split(' ');
                said.insert(line.value(0), QByteArray::fromHex(line.value(1)));
            }
            if (kill && said.contains("kept")) child.kill();
        }
        child.waitForFinished(5000);
        return said;
    }
    int copiesLeft() const {
        return QDir(recoveryFolder()).entryList({"*.rec*"}, QDir::Files).size();
    }

  private slots:
    void unsavedChangesSurviveAKill_data() {
        QTest::addColumn<bool>("named");
        QTest::addColumn<QString>("ending");  // "kill" or "close"
        QTest::addColumn<QString>("answer");
        const QString kill = "kill", close = "close", yes = "Yes", no = "No";
        QTest::newRow("named, killed, Yes restores") << true << kill << yes;
        QTest::newRow("unnamed, killed, Yes restores") << false << kill << yes;
        QTest::newRow("killed, No deletes the copy") << true << kill << no;
        QTest::newRow("a clean exit leaves nothing") << true << close << no;
    }
    void unsavedChangesSurviveAKill() {
        QFETCH(bool, named);
        QFETCH(QString, ending);
        QFETCH(QString, answer);
        QVERIFY(home_.isValid());
        QDir(home_.filePath("data")).removeRecursively();
        QDir(home_.filePath("config")).removeRecursively();
        const QByteArray original("/* \xE9\xFF\x80 */\r\nmain(){}\r\n");
        const QString path =
            named ? quv::test::writeTestFile(home_.path(), "prog.c", original) : QString();
        const auto typed = run({ending == "kill" ? "type" : "close", path, "No"}, ending == "kill");
        QCOMPARE(typed.value("kept"), QByteArray("1"));
        QVERIFY(typed.value("text").contains("x1\r\ny2"));
        // The next start asks, naming the file, and does what the answer says.
        const auto started = run({"start", QString(), answer});
        const QByteArray asked = started.value("asked");
        if (ending == "close") {
            QCOMPARE(asked, QByteArray());
            QCOMPARE(copiesLeft(), 0);
            return;
        }
        QVERIFY2(asked.contains(named ? path.toUtf8() : "a document without a name"), asked);
        QVERIFY(asked.contains("Restore them?"));
        if (answer == "No") {
            QCOMPARE(copiesLeft(), 0);
            QCOMPARE(run({"start", QString(), "Yes"}).value("asked"), QByteArray());
            return;
        }
        QCOMPARE(started.value("text"), typed.value("text"));
        QCOMPARE(started.value("changed"), QByteArray("1"));
        QCOMPARE(started.value("name"), path.toUtf8());
        QCOMPARE(quv::test::readTestFile(path), named ? original : QByteArray("<missing>"));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], "--child") == 0) return runChild(app.arguments().mid(2));
    TestRecovery test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_recovery.moc"
