#include "editor/editor_subsystem.h"

#include "app/font_and_print.h"
#include "app/main_window.h"
#include "app/status_panels.h"
#include "core/text_file.h"
#include "editor/editing_rules.h"
#include "editor/find_dialog.h"
#include "editor/goto_line.h"
#include "editor/instruction_help.h"
#include "editor/source_editor.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QListWidget>

namespace quv {

EditorSubsystem::EditorSubsystem(MainWindow& window)
    : QObject(&window),
      window_(window),
      help_(new InstructionHelp(*window.Source(), *window.List1(), this)) {
    EditingRules::Hooks hooks;
    hooks.autoIndent = [this] { return window_.options().AutoIndent; };
    hooks.escape = [this] {
        if (find_ && find_->isVisible()) find_->hide();
        window_.escapePressed();
    };
    hooks.showLine = [this](int line) {
        window_.StatusBar1()->setPanelText(QStringLiteral("Line"), QString::number(line));
    };
    rules_ = new EditingRules(*window.Source(), *help_, std::move(hooks), this);

    const auto on = [this](const char* name, void (EditorSubsystem::*handler)()) {
        connect(window_.menuItem(QString::fromLatin1(name)), &QAction::triggered, this,
                [this, handler] { (this->*handler)(); });
    };
    on("Cut", &EditorSubsystem::Cut_Click);
    on("Copy", &EditorSubsystem::Copy_Click);
    on("Paste", &EditorSubsystem::Paste_Click);
    on("find", &EditorSubsystem::find_Click);
    on("find_next", &EditorSubsystem::find_next_Click);
    on("goto", &EditorSubsystem::goto_Click);
    on("Font", &EditorSubsystem::Font_Click);
    on("Font_type", &EditorSubsystem::Font_type_Click);
    on("Print", &EditorSubsystem::Print_Click);
}

void EditorSubsystem::loadHelpLists() {
    help_->loadHelpLists();
}

void EditorSubsystem::Copy_Click() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(QString::fromLatin1(window_.Source()->selectedBytes()));
}

void EditorSubsystem::Cut_Click() {
    Copy_Click();
    window_.Source()->replaceSelectionBytes(QByteArray());
}

void EditorSubsystem::Paste_Click() {
    const QString text = QGuiApplication::clipboard()->text();
    SourceEditor& editor = *window_.Source();
    editor.beginUndoAction();
    editor.replaceSelectionBytes(withCrLf(text.toLatin1()));
    editor.endUndoAction();
}

FindDialog& EditorSubsystem::Findtext() {
    if (!find_) {
        find_ = new FindDialog(*window_.Source(), window_.services().dialogs, &window_);
        window_.registerOwnWindow(find_, true);
    }
    return *find_;
}

GotoDialog& EditorSubsystem::Gotoline() {
    if (!goto_) {
        goto_ = new GotoDialog(*window_.Source(), &window_);
        window_.registerOwnWindow(goto_, true);
        connect(goto_, &GotoDialog::done, this, &EditorSubsystem::backToEditor);
    }
    return *goto_;
}

void EditorSubsystem::find_Click() {
    Findtext().showForFind();
}

void EditorSubsystem::find_next_Click() {
    if (Findtext().findNextFromMenu()) backToEditor();
}

void EditorSubsystem::goto_Click() {
    Gotoline().showForGoto();
}

void EditorSubsystem::backToEditor() {
    window_.activateWindow();
    window_.Source()->setFocus();
}

void EditorSubsystem::Font_Click() {
    chooseEditorFont(FontScope::ThisRun, *window_.Source(), *window_.List1(),
                     window_.services().dialogs, window_.services().settings);
}

void EditorSubsystem::Font_type_Click() {
    chooseEditorFont(FontScope::Stored, *window_.Source(), *window_.List1(),
                     window_.services().dialogs, window_.services().settings);
}

void EditorSubsystem::Print_Click() {
    printProgram(*window_.Source(), window_.services().dialogs);
}

}  // namespace quv
