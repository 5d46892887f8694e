#include "editor/editing_rules.h"

#include "core/options.h"
#include "editor/instruction_help.h"
#include "editor/text_rules.h"

namespace quv {

namespace {
constexpr int kEnter = 13;
constexpr int kTab = 9;
constexpr int kEsc = 27;
}  // namespace

EditingRules::EditingRules(SourceEditor& editor, InstructionHelp& help, const Options& options,
                           Hooks hooks, QObject* parent)
    : QObject(parent), editor_(editor), help_(help), options_(options), hooks_(std::move(hooks)) {
    editor_.setKeyRules(this);
    connect(&editor_, &QsciScintillaBase::SCN_UPDATEUI, this, [this] { selectionChanged(); });
}

bool EditingRules::keyDown(int key, Qt::KeyboardModifiers modifiers) {
    // Shift+Tab may arrive as its own key.
    if ((modifiers & ~Qt::KeypadModifier) == Qt::ShiftModifier || key == Qt::Key_Backtab)
        ShiftKey = true;
    const bool tab = key == Qt::Key_Tab || key == Qt::Key_Backtab;
    if (tab && help_.listShown() && !help_.allow_tab &&
        !(modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        help_.complete();
        return true;
    }
    const bool modifierKey = key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
                             key == Qt::Key_Meta || key == Qt::Key_AltGr;
    if (!modifierKey && SourceEditor::isCommandKey(modifiers)) {
        // A command (undo, paste, select all...) types no character but ends
        // the word, as a control character would.
        help_.reset();
        return false;
    }
    switch (key) {
        case Qt::Key_Left:
        case Qt::Key_Up:
        case Qt::Key_Right:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            help_.reset();
            break;
        default:
            break;
    }
    return false;
}

void EditingRules::keyUp(int, Qt::KeyboardModifiers) {
    ShiftKey = false;
}

void EditingRules::mouseDown() {
    help_.reset();
}

int EditingRules::characterTyped(int received) {
    if (editor_.length() == 0) return received;
    int c = received;
    if (c == kEsc && hooks_.escape) hooks_.escape();
    if (options_.AutoIndent) {
        if (enterRule(c) == Outcome::EndHandler) return c;
        openingBraceRule(c);
        closingBraceRule(c);
        // Backspace keeps the control's own meaning.
        Last_Key = received;
    }
    blockRule(c);
    help_.trackCharacter(c);
    return c;
}

EditingRules::Outcome EditingRules::enterRule(int& c) {
    if (c != kEnter) return Outcome::Continue;
    const int p = editor_.selectionStart();
    const int line = editor_.lineOf(p);
    if (line == 0) return Outcome::EndHandler;
    const int start = editor_.lineStart(line);
    if (start == p) return Outcome::EndHandler;
    // The blanks at the start of the caret's line, up to its line break.
    const int end = editor_.lineEnd(line);
    Indent_String.clear();
    for (int at = start; at < end; ++at) {
        const int ch = editor_.charAt(at);
        if (ch < 0 || ch > 32) break;
        Indent_String.append(static_cast<char>(ch));
    }
    editor_.beginUndoAction();
    editor_.select(p, 0);
    editor_.replaceSelectionBytes("\r\n" + Indent_String);
    editor_.endUndoAction();
    c = 0;
    return Outcome::Continue;
}

void EditingRules::openingBraceRule(int& c) {
    if (c != '{' || Last_Key != kEnter) return;
    editor_.replaceSelectionBytes("{\r\n" + Indent_String + '\t');
    c = 0;
}

void EditingRules::closingBraceRule(int& c) {
    if (c != '}' || Last_Key != kEnter || Indent_String.isEmpty()) return;
    const int p = editor_.selectionStart();
    editor_.beginUndoAction();
    // The blank in front of the caret goes; a line break or a letter there
    // stays.
    const int before = editor_.charAt(p - 1);
    if (before >= 0 && before <= 32 && before != '\r' && before != '\n') {
        editor_.select(p - 1, 1);
    } else {
        editor_.select(p, 0);
    }
    editor_.replaceSelectionBytes("}");
    editor_.endUndoAction();
    c = 0;
}

void EditingRules::blockRule(int& c) {
    if (c != kTab || editor_.selectionLength() < 2) return;
    const int start = editor_.selectionStart();
    const QByteArray block = editor_.selectedBytes();
    const QByteArray changed = ShiftKey ? unindentBlock(block) : indentBlock(block);
    if (changed != block) {
        editor_.beginUndoAction();
        editor_.replaceRange(start, start + static_cast<int>(block.size()), changed);
        editor_.endUndoAction();
    }
    editor_.select(start, static_cast<int>(changed.size()));
    c = 0;
}

void EditingRules::selectionChanged() {
    const int line = editor_.lineOf(editor_.selectionStart()) + 1;
    if (line == shownLine_) return;
    shownLine_ = line;
    if (hooks_.showLine) hooks_.showLine(line);
}

}  // namespace quv
