#include "transfer/monitor_window.h"

#include "core/dialogs.h"
#include "core/text_file.h"
#include "transfer/help_topics.h"
#include "transfer/monitor_session.h"

#include <QAction>
#include <QApplication>
#include <QBrush>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <vector>

namespace quv {

namespace {

const QString kTimeFormat = QStringLiteral("hh:mm:ss.zzz");
const int kRates[] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
const std::pair<const char*, SendLineEnd> kLineEnds[] = {
    {"No line end", SendLineEnd::None},
    {"CR", SendLineEnd::Cr},
    {"LF", SendLineEnd::Lf},
    {"CR LF", SendLineEnd::CrLf},
};

// Own traffic reads apart from the terminals' conversation; what failed
// stands out.
QVariant rowColour(MonitorKind kind) {
    switch (kind) {
        case MonitorKind::Received:
        case MonitorKind::Raw:
            return {};
        case MonitorKind::Sent:
            return QBrush(QColor(0x00, 0x5a, 0x32));
        case MonitorKind::UploadFailed:
        case MonitorKind::LinkLost:
            return QBrush(QColor(0xb0, 0x00, 0x20));
        default:
            return QBrush(QColor(0x1f, 0x3f, 0xa0));
    }
}

}  // namespace

MonitorModel::MonitorModel(const MonitorTimeline& timeline, QObject* parent)
    : QAbstractTableModel(parent), timeline_(timeline) {}

const MonitorRow* MonitorModel::rowAt(int r) const {
    if (r < 0 || r >= rowCount()) return nullptr;
    const qint64 seq = shown_[static_cast<size_t>(r)];
    return seq < firstKept() || seq >= end()
               ? nullptr
               : &timeline_.at(static_cast<qsizetype>(seq - firstKept()));
}

void MonitorModel::follow() {
    size_t gone = 0;
    while (gone < shown_.size() && shown_[gone] < firstKept()) ++gone;
    if (gone > 0) {
        beginRemoveRows({}, 0, static_cast<int>(gone) - 1);
        shown_.erase(shown_.begin(), shown_.begin() + static_cast<std::ptrdiff_t>(gone));
        endRemoveRows();
    }
    if (paused_) return;
    std::vector<qint64> fresh;
    for (qint64 seq = std::max(taken_, firstKept()); seq < end(); ++seq)
        if (passesAddressFilter(timeline_.at(static_cast<qsizetype>(seq - firstKept())), filter_))
            fresh.push_back(seq);
    taken_ = end();
    if (fresh.empty()) return;
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(fresh.size()) - 1);
    shown_.insert(shown_.end(), fresh.begin(), fresh.end());
    endInsertRows();
}

void MonitorModel::rebuild() {
    beginResetModel();
    shown_.clear();
    taken_ = paused_ ? std::min(taken_, end()) : end();
    for (qint64 seq = firstKept(); seq < taken_; ++seq)
        if (passesAddressFilter(timeline_.at(static_cast<qsizetype>(seq - firstKept())), filter_))
            shown_.push_back(seq);
    endResetModel();
}

void MonitorModel::setFilter(const QByteArray& address) {
    filter_ = address;
    rebuild();
}

void MonitorModel::setPaused(bool paused) {
    paused_ = paused;
    if (!paused) follow();
}

void MonitorModel::setHex(bool hex) {
    hex_ = hex;
    if (rowCount() > 0) emit dataChanged(index(0, Text), index(rowCount() - 1, Text));
}

int MonitorModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

int MonitorModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Columns;
}

QVariant MonitorModel::data(const QModelIndex& index, int role) const {
    const MonitorRow* shown = index.isValid() ? rowAt(index.row()) : nullptr;
    if (!shown) return {};
    const MonitorRow& row = *shown;
    if (role == Qt::ForegroundRole) return rowColour(row.kind);
    if (role != Qt::DisplayRole) return {};
    switch (index.column()) {
        case Time:
            return row.time.toString(kTimeFormat);
        case Kind:
            return monitorKindWord(row.kind);
        case Address:
            return escapedBytes(row.address);
        case Text:
            // The checksums are numbers: they always show as hex.
            return hex_ || row.kind == MonitorKind::ChecksumsSent ? hexBytes(row.bytes)
                                                                  : escapedBytes(row.bytes);
        default:
            return {};
    }
}

QVariant MonitorModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const char* const names[] = {"Time", "Kind", "Terminal", "Text"};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= Columns)
        return {};
    return QString::fromLatin1(names[section]);
}

MonitorWindow::MonitorWindow(MonitorSession& session, Dialogs& dialogs,
                             std::function<void(int)> showHelp, QWidget* parent)
    : QWidget(parent, Qt::Window),
      session_(session),
      dialogs_(dialogs),
      showHelp_(std::move(showHelp)),
      model_(new MonitorModel(session.timeline(), this)),
      view_(new QTableView),
      status_(new QLabel),
      poll_(new QTimer(this)) {
    setObjectName(QStringLiteral("TerminalMonitor"));
    setWindowTitle(kTitle);
    view_->setObjectName(QStringLiteral("timeline"));
    view_->setModel(model_);
    view_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    view_->verticalHeader()->hide();
    view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 4);
    view_->horizontalHeader()->setStretchLastSection(true);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setWordWrap(false);
    const int digit = view_->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    view_->setColumnWidth(MonitorModel::Time, digit * 14);
    view_->setColumnWidth(MonitorModel::Kind, digit * 15);
    view_->setColumnWidth(MonitorModel::Address, digit * 12);
    auto* copy = new QAction(view_);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    connect(copy, &QAction::triggered, this, &MonitorWindow::copyAll);
    view_->addAction(copy);
    status_->setObjectName(QStringLiteral("status"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildBar());
    layout->addWidget(view_, 1);
    layout->addWidget(status_);
    layout->addWidget(buildSendLine());

    // The session may outlive the window, or the window the session: each
    // hook first checks that the window is still there.
    MonitorSession::Hooks hooks;
    hooks.changed = [w = QPointer<MonitorWindow>(this)] {
        if (w) w->dirty_ = true;
    };
    hooks.linkState = [w = QPointer<MonitorWindow>(this)](bool up, const QString& why) {
        if (w) w->linkState(up, why);
    };
    session_.setHooks(std::move(hooks));
    poll_->setInterval(kPollMs);
    connect(poll_, &QTimer::timeout, this, [this] {
        session_.poll();
        if (dirty_) refresh();
    });
    resize(900, 520);
    refresh();
}

QWidget* MonitorWindow::buildBar() {
    auto* bar = new QWidget;
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    mode_ = new QComboBox;
    mode_->setObjectName(QStringLiteral("mode"));
    mode_->addItems({QStringLiteral("Base station"), QStringLiteral("Raw line (COM port)")});
    rate_ = new QComboBox;
    rate_->setObjectName(QStringLiteral("rate"));
    for (const int rate : kRates) rate_->addItem(QString::number(rate), rate);
    rate_->setCurrentText(QString::number(MonitorSession::kDefaultRawRate));
    rate_->setEnabled(false);
    connect_ = new QPushButton(QStringLiteral("Reconnect"));
    connect_->setObjectName(QStringLiteral("connect"));
    filter_ = new QComboBox;
    filter_->setObjectName(QStringLiteral("filter"));
    filter_->addItem(kAllTerminals);
    filter_->setMinimumContentsLength(12);
    pause_ = new QCheckBox(QStringLiteral("&Pause"));
    pause_->setObjectName(QStringLiteral("pause"));
    hex_ = new QCheckBox(QStringLiteral("He&x"));
    hex_->setObjectName(QStringLiteral("hex"));
    auto* clear = new QPushButton(QStringLiteral("C&lear"));
    clear->setObjectName(QStringLiteral("clear"));
    auto* copy = new QPushButton(QStringLiteral("&Copy all"));
    copy->setObjectName(QStringLiteral("copyAll"));
    auto* save = new QPushButton(QStringLiteral("&Save..."));
    save->setObjectName(QStringLiteral("save"));
    for (QWidget* w : std::initializer_list<QWidget*>{mode_, rate_, connect_, filter_, pause_, hex_,
                                                      clear, copy, save})
        row->addWidget(w);
    row->addStretch(1);

    connect(mode_, qOverload<int>(&QComboBox::currentIndexChanged), this, [this](int index) {
        rate_->setEnabled(index == 1);
        connectLink();
    });
    connect(rate_, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] {
        if (session_.mode() == MonitorSession::Mode::Raw) connectLink();
    });
    connect(connect_, &QPushButton::clicked, this, [this] {
        if (session_.listening())
            session_.stop(), linkState(false, {});
        else
            connectLink();
    });
    connect(filter_, qOverload<int>(&QComboBox::currentIndexChanged), this, [this](int index) {
        model_->setFilter(index <= 0 ? QByteArray() : filter_->itemText(index).toLatin1());
        refresh();
    });
    connect(pause_, &QCheckBox::toggled, this, [this](bool on) {
        model_->setPaused(on);
        refresh();
    });
    connect(hex_, &QCheckBox::toggled, model_, &MonitorModel::setHex);
    connect(clear, &QPushButton::clicked, this, [this] {
        session_.timeline().clear();
        filter_->setCurrentIndex(0);
        while (filter_->count() > 1) filter_->removeItem(1);
        address_->clear();
        addressesShown_ = 0;
        model_->rebuild();
        refresh();
    });
    connect(copy, &QPushButton::clicked, this, &MonitorWindow::copyAll);
    connect(save, &QPushButton::clicked, this, &MonitorWindow::save);
    return bar;
}

QWidget* MonitorWindow::buildSendLine() {
    auto* line = new QWidget;
    auto* row = new QHBoxLayout(line);
    row->setContentsMargins(0, 0, 0, 0);
    address_ = new QComboBox;
    address_->setObjectName(QStringLiteral("address"));
    address_->setEditable(true);
    address_->setInsertPolicy(QComboBox::NoInsert);
    address_->setMinimumContentsLength(10);
    address_->lineEdit()->setMaxLength(8);
    address_->lineEdit()->setPlaceholderText(QStringLiteral("terminal"));
    text_ = new QLineEdit;
    text_->setObjectName(QStringLiteral("text"));
    text_->setPlaceholderText(QStringLiteral("text to send (\\r \\n \\xNN for any byte)"));
    text_->installEventFilter(this);
    lineEnd_ = new QComboBox;
    lineEnd_->setObjectName(QStringLiteral("lineEnd"));
    for (const auto& [caption, end] : kLineEnds) lineEnd_->addItem(QString::fromLatin1(caption));
    lineEnd_->setCurrentIndex(1);
    send_ = new QPushButton(QStringLiteral("Sen&d"));
    send_->setObjectName(QStringLiteral("send"));
    row->addWidget(new QLabel(QStringLiteral("To:")));
    row->addWidget(address_);
    row->addWidget(text_, 1);
    row->addWidget(lineEnd_);
    row->addWidget(send_);
    connect(text_, &QLineEdit::returnPressed, this, &MonitorWindow::send);
    connect(send_, &QPushButton::clicked, this, &MonitorWindow::send);
    return line;
}

void MonitorWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!session_.listening()) connectLink();
    poll_->start();
    text_->setFocus();
}

void MonitorWindow::closeEvent(QCloseEvent* event) {
    poll_->stop();
    session_.stop();
    linkState(false, {});
    QWidget::closeEvent(event);
}

void MonitorWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && showHelp_) {
        showHelp_(kTopicTerminalMonitor);
        return;
    }
    QWidget::keyPressEvent(event);
}

bool MonitorWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == text_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            recall(key == Qt::Key_Up ? -1 : 1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MonitorWindow::connectLink() {
    // A click meanwhile waits for the link's answer; it does not start again.
    if (busy_) return;
    const QScopedValueRollback<bool> busy(busy_, true);
    const auto mode =
        mode_->currentIndex() == 1 ? MonitorSession::Mode::Raw : MonitorSession::Mode::Base;
    session_.start(mode, rate_->currentData().toInt());
    address_->setEnabled(mode == MonitorSession::Mode::Base);
    refresh();
}

void MonitorWindow::linkState(bool up, const QString& why) {
    connect_->setText(up ? QStringLiteral("Disconnect") : QStringLiteral("Reconnect"));
    linkText_ = up ? QString() : why.isEmpty() ? kNotListening : kLost.arg(why);
    dirty_ = true;
}

void MonitorWindow::refresh() {
    dirty_ = false;
    QScrollBar* bar = view_->verticalScrollBar();
    const bool atEnd = bar->value() >= bar->maximum();
    model_->follow();
    if (atEnd) view_->scrollToBottom();
    const MonitorTimeline& timeline = session_.timeline();
    for (; addressesShown_ < timeline.addresses().size(); ++addressesShown_) {
        const QString address = QString::fromLatin1(timeline.addresses()[addressesShown_]);
        filter_->addItem(address);
        address_->addItem(address);
    }
    QString text = kCounts.arg(timeline.size()).arg(timeline.dropped());
    if (!linkText_.isEmpty()) text += QLatin1Char(' ') + linkText_;
    status_->setText(text);
}

void MonitorWindow::copyAll() {
    QApplication::clipboard()->setText(
        QString::fromLatin1(session_.timeline().exportText(model_->filter())));
}

void MonitorWindow::save() {
    const auto name = dialogs_.saveFileName(kSaveFilter, QStringLiteral("monitor.txt"));
    if (!name) return;
    const MonitorTimeline& timeline = session_.timeline();
    const bool csv = name->endsWith(QLatin1String(".csv"), Qt::CaseInsensitive);
    const QByteArray bytes =
        csv ? timeline.exportCsv(model_->filter()) : timeline.exportText(model_->filter());
    if (const auto error = writeWholeFile(*name, bytes))
        dialogs_.message(*error, Buttons::Ok, Icon::Exclamation, kTitle);
}

void MonitorWindow::send() {
    if (busy_) return;
    const QScopedValueRollback<bool> busy(busy_, true);
    const QString typed = text_->text();
    const std::optional<QByteArray> bytes = unescapedBytes(typed);
    const SendLineEnd end = kLineEnds[lineEnd_->currentIndex()].second;
    if (bytes && withSendLineEnd(*bytes, end).isEmpty()) return;
    const QString why =
        !bytes ? kBadEscape
               : session_.send(address_->currentText().toLatin1(), withSendLineEnd(*bytes, end));
    if (!why.isEmpty()) {
        dialogs_.message(why, Buttons::Ok, Icon::Exclamation, kTitle);
        return;
    }
    if (history_.isEmpty() || history_.last() != typed) history_.append(typed);
    historyAt_ = static_cast<int>(history_.size());
    text_->clear();
    refresh();
}

void MonitorWindow::recall(int step) {
    if (history_.isEmpty()) return;
    historyAt_ = std::clamp(historyAt_ + step, 0, static_cast<int>(history_.size()));
    text_->setText(historyAt_ < history_.size() ? history_[historyAt_] : QString());
}

MonitorWindow* showTerminalMonitor(QWidget* parent, MonitorSession& session, Dialogs& dialogs,
                                   const std::function<void(int)>& showHelp) {
    auto* window = parent->findChild<MonitorWindow*>(QStringLiteral("TerminalMonitor"),
                                                     Qt::FindDirectChildrenOnly);
    if (!window) window = new MonitorWindow(session, dialogs, showHelp, parent);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

}  // namespace quv
