// The Terminal Monitor window end to end: through the real library into the
// base station emulator over TCP and a pseudo-terminal, and on a raw line
// whose other end is the test.
#include "transfer/monitor_window.h"
#include "upload_rig.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <fcntl.h>
#include <unistd.h>

using namespace quv;
using namespace quv::test;

namespace {

constexpr int kWaitMs = 20000;

struct MonitorRig : LiveRig {
    std::unique_ptr<MonitorWindow> w;
    ~MonitorRig() { w.reset(); }

    bool open(const QString& via, QStringList options = {}) {
        if (!start(via, options << QStringList{"--terminal", "T1", "--terminal", "T2", "--echo"}))
            return false;
        w = std::make_unique<MonitorWindow>(t->monitorSession(), dialogs, nullptr, nullptr);
        w->show();
        return t->monitorSession().listening();
    }
    template <typename T>
    T* child(const char* name) const {
        return w->findChild<T*>(QString::fromLatin1(name));
    }
    // The rows shown, "kind terminal text" with the terminal's blanks and
    // empty cells cut.
    QStringList rows() const {
        QStringList out;
        const MonitorModel& m = w->model();
        for (int r = 0; r < m.rowCount(); ++r) {
            QStringList cells;
            for (int c = MonitorModel::Kind; c < MonitorModel::Columns; ++c)
                cells << m.index(r, c).data().toString().trimmed();
            cells.removeAll(QString());
            out << cells.join(' ');
        }
        return out;
    }
    bool shows(const QString& row, int times = 1) {
        const bool seen = pumpUntil(
            pump, [&] { return rows().count(row) >= times; }, kWaitMs);
        if (!seen || qEnvironmentVariableIsSet("SHOW_ROWS")) qWarning() << rows() << status();
        return seen;
    }
    // Types into the send line with real keys and presses Enter.
    void type(const QString& to, const QString& text) {
        child<QComboBox>("address")->setEditText(to);
        QTest::keyClicks(child<QLineEdit>("text"), text);
        QTest::keyClick(child<QLineEdit>("text"), Qt::Key_Return);
    }
    QString status() const { return child<QLabel>("status")->text(); }
};

// The bytes that come out of fd within ms.
QByteArray drain(EventPump& pump, int fd, int ms) {
    QByteArray got;
    pumpUntil(
        pump,
        [&] {
            char b[4096];
            for (ssize_t n; (n = ::read(fd, b, sizeof b)) > 0;) got.append(b, n);
            return false;
        },
        ms);
    return got;
}

}  // namespace

class TestMonitor : public QObject {
    Q_OBJECT
  private slots:
    // Bytes 0x00, 0xFF, CR and LF both ways, the history, the filter, the
    // saved file, the link lost and back, and the bound of 100,000 rows.
    void bothWays_data() {
        QTest::addColumn<QString>("via");
        QTest::newRow("tcp") << "tcp";
        QTest::newRow("pty") << "pty";
    }
    void bothWays() {
        QFETCH(QString, via);
        MonitorRig r;
        QVERIFY(r.open(via));
        r.child<QComboBox>("lineEnd")->setCurrentText("CR LF");
        r.type("T2", "\\x00\\xffok");
        QVERIFY(r.shows("received T2 ECHO \\x00\\xFFok\\r\\n"));
        QVERIFY(r.rows().contains("sent T2 \\x00\\xFFok\\r\\n"));
        QCOMPARE(r.sim->reports("message").value(0).value("text").toString().toLatin1(),
                 QByteArray("\0\xffok\r\n", 6));
        QTest::keyClick(r.child<QLineEdit>("text"), Qt::Key_Up);
        QCOMPARE(r.child<QLineEdit>("text")->text(), "\\x00\\xffok");
        r.sim->command("say T1 hello");
        QVERIFY(r.shows("received T1 hello"));
        r.child<QComboBox>("filter")->setCurrentText("T1      ");
        QCOMPARE(r.rows(), QStringList({"link-back", "received T1 hello"}));
        const QString saved = r.dir.filePath("m.csv");
        r.dialogs.saveAnswers << saved;
        QTest::mouseClick(r.child<QPushButton>("save"), Qt::LeftButton);
        const QByteArray file = readTestFile(saved);
        QVERIFY2(file.startsWith("time,kind,address,text\r\n") &&
                     file.endsWith(",received,T1      ,hello\r\n") && file.count('\n') == 3,
                 file);
        // The base station goes away: the timeline says so, and Reconnect
        // listens again.
        r.sim->command("drop");
        QVERIFY(r.shows("link-lost The link was lost.") && r.status().contains("The link is lost"));
        QVERIFY(
            r.sim->waitFor([&] { return r.sim->listenings() >= (via == "pty" ? 2 : 1); }, kWaitMs));
        if (via == "pty") r.settings.save("ComDevice1", r.sim->ptyPath());
        QTest::mouseClick(r.child<QPushButton>("connect"), Qt::LeftButton);
        QVERIFY(r.t->monitorSession().listening());
        r.sim->command("say T1 back");
        QVERIFY(r.shows("received T1 back"));
        QCOMPARE(r.rows().count("link-back"), 2);
        for (int i = 0; i < 100000; ++i) r.t->monitorSession().traffic(MonitorKind::Raw, {}, "x");
        r.sim->command("say T1 last");
        QVERIFY(r.shows("received T1 last"));
        QCOMPARE(r.t->monitorSession().timeline().size(), 100000);
        QVERIFY2(r.status().startsWith("100000 rows kept; 8 older rows dropped"),
                 qPrintable(r.status()));
    }

    // A terminal asks for its program while the window is open: the request,
    // the upload and its end show among the other terminal's messages, none
    // of which is lost, and the window goes on listening after it. Closed
    // in the middle of the next one, it leaves the link to that upload.
    void uploadOnRequest() {
        MonitorRig r;
        QVERIFY(r.open("tcp"));
        r.program("HEADER01", QByteArray(3000, 'p'));
        QTimer::singleShot(300, [&] {
            for (const char* line : {"say T2 one", "reset T1", "say T2 two", "say T2 three"})
                r.sim->command(line);
        });
        r.t->Command1_Click(5);
        QVERIFY(r.shows("received T2 three"));
        QVERIFY(r.sim->waitReports("program", 1, kWaitMs));
        QCOMPARE(r.sim->reports("program")[0].value("terminal").toString(), "T1      ");
        r.sim->command("say T2 after");
        QVERIFY(r.shows("received T2 after"));
        QStringList kinds;
        for (const QString& row : r.rows()) kinds << row.section(' ', 0, 1);
        kinds.removeAll("received T2");
        QCOMPARE(kinds, QStringList({"link-back", "received T1", "request T1", "upload-start T1",
                                     "checksums T1", "upload-end T1"}));
        QTimer::singleShot(300, [&] { r.sim->command("reset T2"); });
        r.t->Command1_Click(5);
        r.w->close();
        QVERIFY(r.sim->waitReports("program", 2, kWaitMs));
        QVERIFY(pumpUntil(
            r.pump, [&] { return r.shown("caption\\(Old").size() == 2; }, kWaitMs));
    }

    // Raw line mode on a pseudo-terminal pair: the bytes as they come, one
    // row a line; what is typed goes out as it is; an RS232 upload takes the
    // port and gives it back.
    void rawLine() {
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
        QVERIFY(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
        ::fcntl(master, F_SETFL, O_NONBLOCK);
        MonitorRig r;
        r.settings.save("ComDevice1", QString::fromLatin1(::ptsname(master)));
        r.com = std::make_unique<LinkCom>(r.settings, r.pump);
        r.build(*r.com, r.pump, r.log);
        r.w = std::make_unique<MonitorWindow>(r.t->monitorSession(), r.dialogs, nullptr, nullptr);
        r.child<QComboBox>("mode")->setCurrentIndex(1);
        r.w->show();
        QVERIFY(r.t->monitorSession().listening());
        QCOMPARE(::write(master, "ab\0\xff\r\ncd", 8), 8);
        QVERIFY(r.shows("raw ab\\x00\\xFF\\r\\n"));
        r.clock.seconds += 1;  // the rest of the line has been quiet long enough
        QVERIFY(r.shows("raw cd"));
        r.child<QComboBox>("lineEnd")->setCurrentIndex(2);
        r.type({}, "hi\\x00");
        QCOMPARE(drain(r.pump, master, 300), QByteArray("hi\0\n", 4));
        r.program("HEADER01", "image");
        r.t->Send_program_Click();
        QVERIFY(drain(r.pump, master, 300).contains("HEADER01"));
        QVERIFY(r.t->monitorSession().listening());
        QCOMPARE(::write(master, "back\n", 5), 5);
        QVERIFY(r.shows("raw back\\n"));
        QCOMPARE(r.rows().filter(QRegularExpression("^upload-(start RS232: |end )")).size(), 2);
        ::close(master);
    }
};

QTEST_MAIN(TestMonitor)
#include "tst_monitor.moc"
