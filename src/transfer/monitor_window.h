// The Terminal Monitor window: the timeline of what the terminals say and of
// the program's own traffic, with its filter, pause, hex view, copy, save and
// the line that sends a text to a terminal. It lives as long as its parent.
#pragma once

#include "core/monitor_timeline.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <QWidget>

#include <deque>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTimer;

namespace quv {

class Dialogs;
class MonitorSession;

// The rows of the timeline that the view shows: those under the address
// filter, up to the moment of a pause.
class MonitorModel : public QAbstractTableModel {
  public:
    enum Column { Time, Kind, Address, Text, Columns };

    explicit MonitorModel(const MonitorTimeline& timeline, QObject* parent = nullptr);

    // Takes the rows the timeline gained and lets go of those it dropped.
    void follow();
    // Shows the rows anew, under another filter or after a clear.
    void rebuild();
    void setFilter(const QByteArray& address);
    const QByteArray& filter() const { return filter_; }
    void setPaused(bool paused);
    void setHex(bool hex);
    // The timeline's row shown at view row r; nullptr when the timeline
    // dropped it since the last follow().
    const MonitorRow* rowAt(int r) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    // Numbers each row by its place in the whole flow: the rows dropped
    // before it plus its index.
    qint64 firstKept() const { return timeline_.dropped(); }
    qint64 end() const { return timeline_.dropped() + timeline_.size(); }

    const MonitorTimeline& timeline_;
    std::deque<qint64> shown_;
    qint64 taken_ = 0;  // the rows before this one have been looked at
    QByteArray filter_;
    bool paused_ = false;
    bool hex_ = false;
};

class MonitorWindow : public QWidget {
    Q_OBJECT

  public:
    inline static const QString kTitle = QStringLiteral("Terminal Monitor");
    inline static const QString kAllTerminals = QStringLiteral("All terminals");
    inline static const QString kSaveFilter =
        QStringLiteral("Text (*.txt)|*.txt|CSV (*.csv)|*.csv|All Files (*.*)|*.*");
    // %1: rows kept, %2: rows dropped.
    inline static const QString kCounts =
        QStringLiteral("%1 rows kept; %2 older rows dropped (the newest 100,000 are kept).");
    inline static const QString kLost =
        QStringLiteral("The link is lost: %1 Press Reconnect to listen again.");
    inline static const QString kBadEscape = QStringLiteral(
        "Not sent: a backslash starts one of \\\\, \\r, \\n, \\t or \\xNN (two hex digits); "
        "type \\\\ for a backslash.");
    inline static const QString kNotListening =
        QStringLiteral("Not listening. Press Reconnect to listen again.");
    // The poll of the link while the window is open, in milliseconds.
    static constexpr int kPollMs = 10;

    MonitorWindow(MonitorSession& session, Dialogs& dialogs, std::function<void(int)> showHelp,
                  QWidget* parent);

    MonitorModel& model() { return *model_; }
    QTableView* view() const { return view_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* buildBar();
    QWidget* buildSendLine();
    void connectLink();
    void linkState(bool up, const QString& why);
    void refresh();
    void copyAll();
    void save();
    void send();
    void recall(int step);

    MonitorSession& session_;
    Dialogs& dialogs_;
    std::function<void(int)> showHelp_;
    MonitorModel* model_;
    QTableView* view_;
    QComboBox* mode_;
    QComboBox* rate_;
    QPushButton* connect_;
    QComboBox* filter_;
    QCheckBox* pause_;
    QCheckBox* hex_;
    QLabel* status_;
    QComboBox* address_;
    QLineEdit* text_;
    QComboBox* lineEnd_;
    QPushButton* send_;
    QTimer* poll_;
    QString linkText_;
    QStringList history_;
    int historyAt_ = 0;
    bool dirty_ = false;
    // A connect or a send waits for the link.
    bool busy_ = false;
    qsizetype addressesShown_ = 0;
};

// Shows the parent's Terminal Monitor, making it the first time.
MonitorWindow* showTerminalMonitor(QWidget* parent, MonitorSession& session, Dialogs& dialogs,
                                   const std::function<void(int)>& showHelp);

}  // namespace quv
