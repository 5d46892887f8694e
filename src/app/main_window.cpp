#include "app/main_window.h"

#include "app/documents.h"
#include "app/font_and_print.h"
#include "app/help_routing.h"
#include "app/layout_rules.h"
#include "app/menu_bar.h"
#include "app/menu_wiring.h"
#include "app/recovery.h"
#include "app/source_text.h"
#include "app/status_panels.h"
#include "app/tool_buttons.h"
#include "app/unsaved_work.h"
#include "baseconfig/base_config.h"
#include "baseconfig/help_topics.h"
#include "comm/quvcom.h"
#include "compile/compiler_runner.h"
#include "core/app_paths.h"
#include "core/com_device.h"
#include "core/settings_keys.h"
#include "core/settings_store.h"
#include "core/working_folder.h"
#include "editor/editor_subsystem.h"
#include "editor/error_marks_view.h"
#include "editor/goto_line.h"
#include "editor/source_editor.h"
#include "transfer/help_topics.h"
#include "transfer/transfer_commands.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

namespace quv {

namespace {

void setBusyPointer(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else
        QApplication::restoreOverrideCursor();
}

void bringToFront(MainWindow& w) {
    if (w.isMinimized()) w.setWindowState(w.windowState() & ~Qt::WindowMinimized);
    w.show();
    w.raise();
    w.activateWindow();
}

// What the build shows or asks of the window.
CompilerRunner::Hooks compileHooks(MainWindow& w) {
    CompilerRunner::Hooks hooks;
    hooks.buildFolder = [&w](const QString& folder) {
        w.InitialDirectory = folder;
        w.setWindowTitle(windowCaption(folder));
    };
    hooks.reloadHelpLists = [&w] { w.loadHelpLists(); };
    hooks.gotoLine = [&w](qint32 line) { Goto_line(*w.Source(), line); };
    hooks.showMainWindow = [&w] {
        bringToFront(w);
        w.Source()->setFocus();
    };
    hooks.setBusy = setBusyPointer;
    hooks.registerWindow = [&w](QWidget* window) { w.registerOwnWindow(window, true); };
    hooks.showErrorMarks = [&w](const QList<LineMark>& m) { w.editor().errorMarks().show(m); };
    return hooks;
}

// What an upload shows of the window.
TransferHooks transferHooks(MainWindow& w) {
    TransferHooks hooks;
    hooks.caption = [&w] { return w.windowTitle(); };
    hooks.setCaption = [&w](const QString& caption) { w.setWindowTitle(caption); };
    hooks.setBusy = setBusyPointer;
    hooks.setBar = [&w](int value) { w.Bar1()->setValue(value); };
    hooks.showRate = [&w](const QString& rate) {
        w.StatusBar1()->setPanelText(QStringLiteral("Baud"), rate);
    };
    hooks.showMainWindow = [&w] { bringToFront(w); };
    hooks.compile = [&w] { return w.compile(); };
    hooks.overTcpip = [&w] { return tcpipChosen(w.services().settings); };
    return hooks;
}

}  // namespace

MainWindow::MainWindow(AppServices services, LinkState& link, QWidget* parent)
    : QMainWindow(parent),
      services_(services),
      link_(link),
      source_(new SourceEditor),
      list1_(new QListWidget),
      bar1_(new QProgressBar),
      status_(new StatusPanels(services.clock)),
      timer1_(new QTimer(this)),
      sourceText_(std::make_unique<SourceText>(*source_)),
      documents_(new Documents(*sourceText_, services.dialogs, services.settings, services.folder,
                               options_, this)) {
    setObjectName(QStringLiteral("form1"));
    auto* client = new QWidget;
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);
    setStatusBar(status_);

    bar1_->setObjectName(QStringLiteral("Bar1"));
    bar1_->setParent(client);
    bar1_->setRange(0, 100);
    bar1_->setValue(0);
    bar1_->setTextVisible(false);
    bar1_->setGeometry(0, 0, twipsToPixels(form1::kDesignWidth), twipsToPixels(form1::kBarHeight));

    source_->setParent(client);
    list1_->setObjectName(QStringLiteral("List1"));
    list1_->setParent(client);
    list1_->resize(twipsToPixels(form1::kListWidth), twipsToPixels(form1::kListHeight));
    list1_->hide();

    buttons_ = std::make_unique<ToolButtons>(client, [this](int i) { Command1_Click(i); });
    menus_ = new MenuBar(
        menuBar(), [this](int topic) { showHelpTopic(topic); }, this);
    // The menu keys belong to the window, not to the editor control.
    source_->releaseKeys(menus_->shortcuts());
    help_ = new HelpRouting(this, [this](QWidget* window) { registerOwnWindow(window, true); });
    bar1_->raise();

    timer1_->setObjectName(QStringLiteral("Timer1"));
    connect(timer1_, &QTimer::timeout, this, &MainWindow::Timer1_Timer);

    connect(documents_, &Documents::nameChanged, this,
            [this](const QString& name) { status_->setPanelText(QStringLiteral("Name"), name); });
    connect(documents_, &Documents::recentFilesChanged, this,
            [this] { buttons_->showRecent(documents_->recent()); });
    connect(documents_, &Documents::activationRequested, this, &MainWindow::Form_Activate);
    connect(source_, &QsciScintilla::textChanged, documents_, &Documents::textChanged);
    recovery_ = std::make_unique<RecoveryStore>(services.recoveryFolder);
    unsaved_ =
        std::make_unique<UnsavedWork>(*documents_, *sourceText_, services.dialogs, *recovery_,
                                      [this](const QString& line) { status_->setNotice(line); });
    connect(source_, &QsciScintilla::textChanged, unsaved_.get(), &UnsavedWork::textChanged);
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &MainWindow::focusWindowChanged);

    buildEditor();
    compiler_ = new CompilerRunner(
        {services.dialogs, *documents_, options_, services.pump, services.folder}, this,
        compileHooks(*this));
    baseConfig_ = new BaseConfig(
        {services.com, services.dialogs, services.settings, link}, this,
        [this](int topic) { showHelpTopic(topic); },
        [this](QWidget* dialog) { registerOwnWindow(dialog, false); });
    transfer_ = std::make_unique<TransferCommands>(
        TransferServices{services.com, services.dialogs, services.clock, services.pump, *documents_,
                         options_, link},
        transferHooks(*this));
    // The link dialogs leave the link alone while an upload uses it.
    baseConfig_->setRunningUpload([this] { return transfer_->busyText(); });
    wireMenus(
        *menus_,
        {*documents_, *editor_, *baseConfig_, *transfer_, *help_, services.dialogs, *compiler_},
        windowCommands());
    Command1(3)->setProperty(kHelpTopicProperty, kTopicRawRs232Upload);
    Command1(4)->setProperty(kHelpTopicProperty, kTopicRawWirelessUpload);
    Command1(5)->setProperty(kHelpTopicProperty, kTopicWirelessUpload);
    resize(twipsToPixels(form1::kDesignWidth), twipsToPixels(form1::kDesignHeight));
}

MainWindow::~MainWindow() = default;

QPushButton* MainWindow::Command1(int index) const {
    return buttons_->button(index);
}

QAction* MainWindow::menuItem(const QString& name) const {
    return menus_->action(name);
}

bool MainWindow::editorEnabled() const {
    return options_.EditorEnabled;
}

WindowCommands MainWindow::windowCommands() {
    WindowCommands c;
    c.window = this;
    c.exit = [this] { Exit_Click(); };
    c.toggle = [this](Options::Toggle option) { toggle(option); };
    c.compile = [this] { compile(); };
    c.font = [this] { Font_Click(); };
    c.fontType = [this] { Font_type_Click(); };
    c.print = [this] { Print_Click(); };
    return c;
}

void MainWindow::buildEditor() {
    EditorSubsystem::Hooks hooks;
    hooks.showLine = [this](int line) {
        status_->setPanelText(QStringLiteral("Line"), QString::number(line));
    };
    hooks.escape = [this] { transfer_->escape(); };
    hooks.backToMain = [this] { activateWindow(); };
    hooks.ownWindow = [this](QWidget* dialog) { registerOwnWindow(dialog, true); };
    hooks.caretError = [this](const QString& message) { status_->setNotice(message); };
    editor_ = new EditorSubsystem(*source_, *list1_, services_.dialogs, options_, services_.folder,
                                  this, std::move(hooks), this);
}

void MainWindow::chooseFont(bool stored) {
    const std::optional<FontChoice> chosen =
        chooseEditorFont(*source_, *list1_, services_.dialogs, services_.settings);
    if (!chosen) return;
    options_.FontName = chosen->name;
    options_.FontSize = chosen->size;
    if (stored) options_.saveFont(services_.settings);
}

void MainWindow::Font_Click() {
    chooseFont(false);
}

void MainWindow::Font_type_Click() {
    chooseFont(true);
}

void MainWindow::Print_Click() {
    printProgram(*source_, services_.dialogs);
}

void MainWindow::start() {
    Form_Load();
    show();
    Form_Activate();
    unsaved_->offerLeftBehind();
}

void MainWindow::Form_Load() {
    SettingsStore& s = services_.settings;
    // 2 to 7. The font and the stored options.
    options_ = Options::load(s);
    source_->setEditorFont(options_.FontName, options_.FontSize);
    list1_->setFont(source_->editorFont());
    const QString lastDocument = s.get(keys::kFileName, QString());
    showOptions(*menus_, options_);
    applyWindowMode();
    // 8. The recent files.
    for (int slot = 1; slot <= RecentFiles::kSlots; ++slot)
        documents_->recent().setPath(slot, s.get(keys::lastFile(slot), QString()));
    // 9. The last document; an empty name (after New or Close, or at the
    // first start) is skipped without a message.
    if (!lastDocument.isEmpty()) documents_->Open_File(lastDocument);
    // 10. Slot 5 counts as the most recent, slot 1 as the oldest.
    documents_->recent().resetRanks();
    buttons_->showRecent(documents_->recent());
    // 11 to 13. The link state.
    link_.BaudRate = s.getInt(keys::kBaudRate, keys::kDefaultBaudRate);
    link_.CommPort = s.getInt(keys::kCommPort, keys::kDefaultCommPort);
    // 14. The TCP/IP link, when the setting asks for it.
    if (tcpipChosen(s)) services_.com.TCPIP_Start(tcpipAddress(s));
    // 15. The instruction help lists.
    loadHelpLists();
    // 16. The link monitor.
    timer1_->start(200);
}

void MainWindow::Form_Activate() {
    const PathStyle style = nativePathStyle();
    WorkingFolder& folder = services_.folder;
    if (const auto moved = vbToMyc(folder.current(), style)) folder.setCurrent(*moved);
    InitialDirectory = initialDirectory(folder.current(), style);
    setWindowTitle(windowCaption(InitialDirectory));
    Form_Resize();
    help_->setHelpFile(QStringLiteral("QuvC.HLP"));
    link_.BaseStatusKnown = false;
}

void MainWindow::Form_Resize() {
    if (inLayout_) return;
    inLayout_ = true;
    LayoutInput in;
    in.W = pixelsToTwips(frameGeometry().width());
    in.SW = pixelsToTwips(width());
    in.SH = pixelsToTwips(centralWidget()->height() + status_->height());
    in.button6Height = static_cast<int>(pixelsToTwips(Command1(6)->height()));
    in.button1Height = static_cast<int>(pixelsToTwips(Command1(1)->height()));
    in.barH = pixelsToTwips(bar1_->height());
    in.sbH = pixelsToTwips(status_->height());
    in.fullMode = editorEnabled();
    in.maximised = isMaximized();
    const LayoutResult r = computeFormLayout(in);

    QRect editor = source_->geometry();
    editor.moveTop(twipsToPixels(r.editorTop));
    if (r.editorLeft) editor.moveLeft(twipsToPixels(*r.editorLeft));
    if (r.editorWidth) editor.setWidth(twipsToPixels(*r.editorWidth));
    if (r.editorHeight) editor.setHeight(twipsToPixels(*r.editorHeight));
    source_->setGeometry(editor);
    list1_->move(twipsToPixels(r.listLeft), twipsToPixels(r.listTop));
    buttons_->place(r);
    bar1_->resize(twipsToPixels(r.barWidth), bar1_->height());
    inLayout_ = false;
    // A maximised window in compact mode goes back to its normal size; the
    // size change runs the layout again.
    if (r.restoreNormalState) setWindowState(windowState() & ~Qt::WindowMaximized);
}

void MainWindow::Timer1_Timer() {
    transfer_->Timer1_Timer();
}

void MainWindow::loadHelpLists() {
    editor_->loadHelpLists();
}

std::optional<int> MainWindow::compile() {
    return compiler_->compile();
}

void MainWindow::applyWindowMode() {
    const bool full = editorEnabled();
    source_->setVisible(full);
    setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized));
    resize(width(), twipsToPixels(full ? form1::kFullModeNormalHeight : form1::kCompactHeight));
    if (full) setWindowState(windowState() | Qt::WindowMaximized);
}

void MainWindow::toggle(Options::Toggle option) {
    options_.toggle(option, services_.settings);
    toggleItem(*menus_, option)->setChecked(options_.value(option));
    if (option == Options::Toggle::compiler_window) compiler_->compilerWindowOptionChanged();
    if (option == Options::Toggle::EditorEnabled) {
        applyWindowMode();
        Form_Resize();
    }
}

void MainWindow::Command1_Click(int index) {
    if (index == 1) {
        documents_->Open_Click();
    } else if (index == 2) {
        compile();
    } else {
        transfer_->Command1_Click(index);
        if (index >= 6 && index <= 10) documents_->recentFileClicked(index);
    }
}

void MainWindow::Exit_Click() {
    close();
}

void MainWindow::registerOwnWindow(QWidget* window, bool closeOnExit) {
    ownWindows_ << window;
    if (closeOnExit) closeOnExit_ << window;
}

void MainWindow::focusWindowChanged(QWindow* now) {
    QWindow* previous = lastFocusWindow_;
    lastFocusWindow_ = now;
    if (!now || now != windowHandle() || !previous || previous == now) return;
    // Only a return from one of the program's own windows counts; message
    // boxes and other applications do not.
    for (const QPointer<QWidget>& w : std::as_const(ownWindows_))
        if (w && w->windowHandle() == previous) {
            Form_Activate();
            return;
        }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    link_.AppClosing = true;
    if (!documents_->exitSaveQuestion()) {
        // The changes could not be saved: the window stays open so that they
        // are not lost.
        link_.AppClosing = false;
        event->ignore();
        return;
    }
    unsaved_->cleanExit();
    const QStringList paths = documents_->recent().paths();
    for (int slot = 1; slot <= RecentFiles::kSlots; ++slot)
        services_.settings.save(keys::lastFile(slot), paths.at(slot - 1));
    for (const QPointer<QWidget>& w : std::as_const(closeOnExit_))
        if (w) w->close();
    services_.com.StopAllProcesses();
    timer1_->stop();
    event->accept();
    emit closed();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) transfer_->escape();
    QMainWindow::keyPressEvent(event);
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) Form_Resize();
    // Back from another program: the file may have changed meanwhile.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        QTimer::singleShot(0, documents_, [this] {
            if (!QApplication::activeModalWidget()) documents_->checkFileOnDisk();
        });
}

}  // namespace quv
