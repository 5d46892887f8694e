#include "editor/editor_subsystem.h"

#include "editor/error_marks_view.h"

#include "core/text_file.h"
#include "editor/editing_rules.h"
#include "editor/find_dialog.h"
#include "editor/goto_line.h"
#include "editor/instruction_help.h"
#include "editor/source_editor.h"

#include <QClipboard>
#include <QGuiApplication>

namespace quv {

EditorSubsystem::EditorSubsystem(SourceEditor& editor, QListWidget& list, Dialogs& dialogs,
                                 const Options& options, const WorkingFolder& folder,
                                 QWidget* dialogParent, Hooks hooks, QObject* parent)
    : QObject(parent),
      editor_(editor),
      dialogs_(dialogs),
      dialogParent_(dialogParent),
      hooks_(std::move(hooks)),
      help_(new InstructionHelp(editor, list, folder, this)),
      marks_(new ErrorMarksView(editor, hooks_.caretError, this)) {
    connect(&editor, &SourceEditor::textReplaced, marks_, &ErrorMarksView::clear);
    EditingRules::Hooks rules;
    rules.escape = [this] {
        if (find_ && find_->isVisible()) find_->hide();
        if (hooks_.escape) hooks_.escape();
    };
    rules.showLine = hooks_.showLine;
    rules_ = new EditingRules(editor, *help_, options, std::move(rules), this);
}

void EditorSubsystem::loadHelpLists() {
    help_->loadHelpLists();
}

void EditorSubsystem::Copy_Click() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(QString::fromLatin1(editor_.selectedBytes()));
}

void EditorSubsystem::Cut_Click() {
    Copy_Click();
    editor_.replaceSelectionBytes(QByteArray());
}

void EditorSubsystem::Paste_Click() {
    const QString text = QGuiApplication::clipboard()->text();
    editor_.beginUndoAction();
    editor_.replaceSelectionBytes(withCrLf(text.toLatin1()));
    editor_.endUndoAction();
}

FindDialog& EditorSubsystem::Findtext() {
    if (!find_) {
        find_ = new FindDialog(editor_, dialogs_, dialogParent_);
        if (hooks_.ownWindow) hooks_.ownWindow(find_);
    }
    return *find_;
}

GotoDialog& EditorSubsystem::Gotoline() {
    if (!goto_) {
        goto_ = new GotoDialog(editor_, dialogParent_);
        if (hooks_.ownWindow) hooks_.ownWindow(goto_);
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
    if (hooks_.backToMain) hooks_.backToMain();
    editor_.setFocus();
}

}  // namespace quv
