// The main window form1: composes the menus, tool buttons, editor, status bar
// and the subsystems, and runs the start-up, activation and exit sequences.
#pragma once

#include "app/help_routing.h"
#include "core/link_state.h"
#include "core/options.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>

#include <memory>
#include <optional>

class QAction;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTimer;
class QWindow;

namespace quv {

class BaseConfig;
class Clock;
class CompilerRunner;
class Dialogs;
class Documents;
class EditorSubsystem;
class EventPump;
class HelpViewer;
class MenuBar;
class QuvCom;
class RecoveryStore;
class SettingsStore;
class SourceEditor;
class SourceText;
class StatusPanels;
class ToolButtons;
class TransferCommands;
class UnsavedWork;
class WorkingFolder;
struct WindowCommands;

// The outside services the window works through; tests replace each.
struct AppServices {
    Dialogs& dialogs;
    SettingsStore& settings;
    Clock& clock;
    QuvCom& com;
    EventPump& pump;
    WorkingFolder& folder;
    // Where the recovery copies of unsaved changes are kept; empty for none.
    QString recoveryFolder;
};

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    MainWindow(AppServices services, LinkState& link, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Loads, shows and activates the window, as the program starts.
    void start();
    // The start-up sequence: settings, font, last document, recent files,
    // link state, TCP/IP link, help lists, timer.
    void Form_Load();
    // Runs when the window becomes active again among the program's own
    // windows, and after every open.
    void Form_Activate();
    // Places the controls for the current size and mode.
    void Form_Resize();
    // The 200 ms tick of Timer1.
    void Timer1_Timer();
    // Loads the instruction help lists from the word files of the working
    // folder: at start-up and after every good compiler pass.
    void loadHelpLists();
    // Builds the current document (F7, tool button 2, the upload): 1 when
    // both compiler passes succeeded, 0 when one failed, nothing when the
    // build did not start.
    std::optional<int> compile();

    // Controls, by the names the rest of the program uses.
    SourceEditor* Source() const { return source_; }
    QListWidget* List1() const { return list1_; }
    QProgressBar* Bar1() const { return bar1_; }
    StatusPanels* StatusBar1() const { return status_; }
    QTimer* Timer1() const { return timer1_; }
    // Tool buttons 1 to 10.
    QPushButton* Command1(int index) const;
    // A menu item by its name ("EditorEnabled", "Open", ...).
    QAction* menuItem(const QString& name) const;
    Documents& documents() const { return *documents_; }
    // The editing rules, help list, find and goto dialogs and their commands.
    EditorSubsystem& editor() const { return *editor_; }
    // Built the first time help is asked for.
    HelpViewer* helpViewer() { return help_->helpViewer(); }
    CompilerRunner& compiler() const { return *compiler_; }
    // The Serial Configurations and Base Configuration dialogs.
    BaseConfig& baseConfig() const { return *baseConfig_; }
    // The uploads, the Transmit menu and the link monitor.
    TransferCommands& transfer() const { return *transfer_; }
    // The recovery copy of unsaved changes.
    UnsavedWork& unsavedWork() const { return *unsaved_; }
    RecoveryStore& recoveryStore() const { return *recovery_; }
    AppServices& services() { return services_; }
    LinkState& link() { return link_; }

    // The working folder with a trailing separator; shown in the caption.
    QString InitialDirectory;
    // The options of Edit > Configurations and the font; the menu's check
    // marks show them.
    const Options& options() const { return options_; }
    bool editorEnabled() const;

    // A window of the program's own: returning from it activates the main
    // window; closeOnExit also closes it when the main window closes.
    void registerOwnWindow(QWidget* window, bool closeOnExit);

    // The option toggles of Edit > Configurations.
    void AutoIndent_Click() { toggle(Options::Toggle::AutoIndent); }
    void compiler_window_Click() { toggle(Options::Toggle::compiler_window); }
    void SaveConfirmation_Click() { toggle(Options::Toggle::SaveConfirmation); }
    void EditorEnabled_Click() { toggle(Options::Toggle::EditorEnabled); }
    void Gencodewithlines_Click() { toggle(Options::Toggle::Gencodewithlines); }
    // Format > Font for this run, Edit > Configurations > Font type for good,
    // File > Print.
    void Font_Click();
    void Font_type_Click();
    void Print_Click();
    // Tool buttons.
    void Command1_Click(int index);
    void Exit_Click();
    // Opens the help window at the topic of the focused control or menu item.
    void Help_Click() { help_->Help_Click(); }
    void showHelpTopic(int topic) { help_->showHelpTopic(topic); }

  signals:
    // The exit sequence has run and the window is gone: the program ends.
    void closed();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    // The window's own commands behind its menu items.
    WindowCommands windowCommands();
    // The editor subsystem on the window's editor and help list.
    void buildEditor();
    // The chosen font is kept in the options; stored, also in the settings.
    void chooseFont(bool stored);
    void applyWindowMode();
    void focusWindowChanged(QWindow* now);
    // Inverts the option and sets its check mark; the compiler window and
    // the window mode follow their options at once.
    void toggle(Options::Toggle option);

    AppServices services_;
    LinkState& link_;
    Options options_;
    SourceEditor* source_;
    QListWidget* list1_;
    QProgressBar* bar1_;
    StatusPanels* status_;
    QTimer* timer1_;
    std::unique_ptr<SourceText> sourceText_;
    Documents* documents_;
    HelpRouting* help_ = nullptr;
    CompilerRunner* compiler_ = nullptr;
    EditorSubsystem* editor_ = nullptr;
    BaseConfig* baseConfig_ = nullptr;
    std::unique_ptr<TransferCommands> transfer_;
    std::unique_ptr<ToolButtons> buttons_;
    std::unique_ptr<RecoveryStore> recovery_;
    std::unique_ptr<UnsavedWork> unsaved_;
    MenuBar* menus_ = nullptr;
    QList<QPointer<QWidget>> ownWindows_;
    QList<QPointer<QWidget>> closeOnExit_;
    QPointer<QWindow> lastFocusWindow_;
    bool inLayout_ = false;
};

}  // namespace quv
