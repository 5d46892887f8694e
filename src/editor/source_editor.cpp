#include "editor/source_editor.h"

#include "core/text_file.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>
#include <Qsci/qscilexercpp.h>

#include <QFontDatabase>
#include <QKeyEvent>

namespace quv {

namespace {
constexpr int kLexerStyles = 128;
}

SourceEditor::SourceEditor(QWidget* parent) : QsciScintilla(parent) {
    setObjectName(QStringLiteral("Source"));
    setUtf8(false);
    setEolMode(EolWindows);
    setEolVisibility(false);
    setWrapMode(WrapNone);
    SendScintilla(SCI_SETPASTECONVERTENDINGS, 1);
    // The horizontal scroll range follows the longest line shown.
    SendScintilla(SCI_SETSCROLLWIDTH, 1);
    SendScintilla(SCI_SETSCROLLWIDTHTRACKING, 1);
    setTabWidth(8);
    setIndentationsUseTabs(true);
    setAutoIndent(false);
    setBraceMatching(NoBraceMatch);
    setCaretLineVisible(false);
    setFrameShape(QFrame::StyledPanel);

    lexer_ = new QsciLexerCPP(this);
    lexer_->setFoldComments(false);
    lexer_->setFoldCompact(false);
    setLexer(lexer_);
    // Until a font is chosen, program text shows in the system's fixed font.
    font_ = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    setEditorFont(QString(), 12);
    setFolding(NoFoldStyle);

    setMarginType(0, NumberMargin);
    setMarginLineNumbers(0, true);
    setMarginsForegroundColor(QColor(0x70, 0x70, 0x70));
    setMarginsBackgroundColor(QColor(0xf0, 0xf0, 0xf0));
    setMarginWidth(1, 0);
    // The control's own handling of its report after each change walks the
    // text from the start up to the change: at the end of a large file that
    // costs milliseconds per keystroke. It therefore reports changes only
    // before they happen, and the text-changed signal is given from there.
    SendScintilla(SCI_SETMODEVENTMASK,
                  static_cast<unsigned long>(SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE));
    connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int, int type, const char*, int, int, int, int, int, int, int) {
                if (type & (SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE)) emit textChanged();
            });
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, &SourceEditor::updateMarginWidth);
    updateMarginWidth();
}

QByteArray SourceEditor::bytes() const {
    auto* self = const_cast<SourceEditor*>(this);
    const auto n = static_cast<qsizetype>(self->SendScintilla(SCI_GETLENGTH));
    if (n == 0) return QByteArray();
    const char* p = reinterpret_cast<const char*>(self->SendScintilla(SCI_GETCHARACTERPOINTER));
    return QByteArray(p, n);
}

void SourceEditor::setBytes(const QByteArray& text) {
    const QByteArray crlf = withCrLf(text);
    SendScintilla(SCI_SETUNDOCOLLECTION, 0UL);
    SendScintilla(SCI_CLEARALL);
    if (!crlf.isEmpty())
        SendScintilla(SCI_APPENDTEXT, static_cast<unsigned long>(crlf.size()), crlf.constData());
    SendScintilla(SCI_SETUNDOCOLLECTION, 1UL);
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    SendScintilla(SCI_SETSAVEPOINT);
    SendScintilla(SCI_GOTOPOS, 0UL);
    updateMarginWidth();
    emit textReplaced();
}

int SourceEditor::length() const {
    return static_cast<int>(const_cast<SourceEditor*>(this)->SendScintilla(SCI_GETLENGTH));
}

int SourceEditor::caretPosition() const {
    return static_cast<int>(const_cast<SourceEditor*>(this)->SendScintilla(SCI_GETCURRENTPOS));
}

void SourceEditor::setCaretPosition(int position) {
    const int clamped = std::clamp(position, 0, length());
    SendScintilla(SCI_GOTOPOS, static_cast<unsigned long>(clamped));
}

void SourceEditor::setEditorFont(const QString& family, double pointSize) {
    QFont f = editorFont();
    if (!family.isEmpty()) f.setFamily(family);
    if (pointSize > 0) f.setPointSizeF(pointSize);
    font_ = f;
    lexer_->setDefaultFont(f);
    for (int style = 0; style < kLexerStyles; ++style) {
        QFont styled = f;
        styled.setBold(lexer_->font(style).bold());
        styled.setItalic(lexer_->font(style).italic());
        lexer_->setFont(styled, style);
    }
    setMarginsFont(f);
    setFont(f);
    marginDigits_ = 0;
    updateMarginWidth();
}

QFont SourceEditor::editorFont() const {
    return font_;
}

void SourceEditor::releaseKeys(const QList<QKeySequence>& keys) {
    for (QsciCommand* command : standardCommands()->commands()) {
        for (const QKeySequence& k : keys) {
            const int code = k[0].toCombined();
            if (command->key() == code) command->setKey(0);
            if (command->alternateKey() == code) command->setAlternateKey(0);
        }
    }
}

bool SourceEditor::isCommandKey(Qt::KeyboardModifiers modifiers) {
    // Control and Alt together is how some keyboards type characters such as
    // braces (AltGr); either alone, or Meta, makes a command.
    const Qt::KeyboardModifiers altGr = Qt::ControlModifier | Qt::AltModifier;
    if ((modifiers & altGr) == altGr) return false;
    return modifiers & (altGr | Qt::MetaModifier);
}

int SourceEditor::typedCharacter(const QKeyEvent& event) {
    if (isCommandKey(event.modifiers())) return -1;
    switch (event.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return 13;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return 9;
        case Qt::Key_Backspace:
            return 8;
        case Qt::Key_Escape:
            return 27;
        default:
            break;
    }
    const QString text = event.text();
    if (text.isEmpty()) return -1;
    const int code = text.at(0).unicode();
    return code >= 32 && code != 127 ? code : -1;
}

void SourceEditor::showEvent(QShowEvent* event) {
    updateMarginWidth();
    QsciScintilla::showEvent(event);
}

void SourceEditor::keyPressEvent(QKeyEvent* event) {
    if (!rules_) {
        QsciScintilla::keyPressEvent(event);
        return;
    }
    if (rules_->keyDown(event->key(), event->modifiers())) {
        event->accept();
        rules_->afterInput();
        return;
    }
    const int code = typedCharacter(*event);
    if (code >= 0 && rules_->characterTyped(code) == 0) {
        event->accept();
        rules_->afterInput();
        return;
    }
    QsciScintilla::keyPressEvent(event);
    rules_->afterInput();
}

void SourceEditor::keyReleaseEvent(QKeyEvent* event) {
    if (rules_) rules_->keyUp(event->key(), event->modifiers());
    QsciScintilla::keyReleaseEvent(event);
}

void SourceEditor::mousePressEvent(QMouseEvent* event) {
    if (rules_) rules_->mouseDown();
    QsciScintilla::mousePressEvent(event);
    if (rules_) rules_->afterInput();
}

int SourceEditor::selectionStart() const {
    return static_cast<int>(const_cast<SourceEditor*>(this)->SendScintilla(SCI_GETSELECTIONSTART));
}

int SourceEditor::selectionEnd() const {
    return static_cast<int>(const_cast<SourceEditor*>(this)->SendScintilla(SCI_GETSELECTIONEND));
}

void SourceEditor::select(int start, int length) {
    const int from = std::clamp(start, 0, this->length());
    const int to = std::clamp(start + length, from, this->length());
    SendScintilla(SCI_SETSEL, static_cast<unsigned long>(from), static_cast<long>(to));
}

QByteArray SourceEditor::selectedBytes() const {
    return range(selectionStart(), selectionEnd());
}

QByteArray SourceEditor::range(int start, int end) const {
    auto* self = const_cast<SourceEditor*>(this);
    const int from = std::clamp(start, 0, length());
    const int to = std::clamp(end, from, length());
    if (to == from) return QByteArray();
    const char* p = reinterpret_cast<const char*>(self->SendScintilla(
        SCI_GETRANGEPOINTER, static_cast<unsigned long>(from), static_cast<long>(to - from)));
    return QByteArray(p, to - from);
}

int SourceEditor::charAt(int position) const {
    if (position < 0 || position >= length()) return -1;
    return static_cast<unsigned char>(const_cast<SourceEditor*>(this)->SendScintilla(
        SCI_GETCHARAT, static_cast<unsigned long>(position)));
}

int SourceEditor::lineOf(int position) const {
    return static_cast<int>(const_cast<SourceEditor*>(this)->SendScintilla(
        SCI_LINEFROMPOSITION, static_cast<unsigned long>(std::max(position, 0))));
}

int SourceEditor::lineStart(int line) const {
    auto* self = const_cast<SourceEditor*>(this);
    if (line >= lines()) return length();
    return static_cast<int>(
        self->SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(std::max(line, 0))));
}

int SourceEditor::lineEnd(int line) const {
    return static_cast<int>(const_cast<SourceEditor*>(this)->SendScintilla(
        SCI_GETLINEENDPOSITION, static_cast<unsigned long>(std::max(line, 0))));
}

void SourceEditor::replaceSelectionBytes(const QByteArray& text) {
    const int start = selectionStart();
    replaceRange(start, selectionEnd(), text);
    SendScintilla(SCI_GOTOPOS, static_cast<unsigned long>(start + text.size()));
}

void SourceEditor::replaceRange(int start, int end, const QByteArray& text) {
    SendScintilla(SCI_SETTARGETRANGE, static_cast<unsigned long>(start), static_cast<long>(end));
    SendScintilla(SCI_REPLACETARGET, static_cast<unsigned long>(text.size()), text.constData());
}

int SourceEditor::search(const QByteArray& text, int start, int end, int options) const {
    auto* self = const_cast<SourceEditor*>(this);
    const int stop = end < 0 ? length() : std::min(end, length());
    if (text.isEmpty() || start < 0 || start >= stop) return -1;
    self->SendScintilla(SCI_SETSEARCHFLAGS, (options & kWholeWord)
                                                ? static_cast<unsigned long>(SCFIND_WHOLEWORD)
                                                : 0UL);
    self->SendScintilla(SCI_SETTARGETRANGE, static_cast<unsigned long>(start),
                        static_cast<long>(stop));
    return static_cast<int>(self->SendScintilla(
        SCI_SEARCHINTARGET, static_cast<unsigned long>(text.size()), text.constData()));
}

int SourceEditor::findText(const QByteArray& text, int start, int end, int options) {
    const int found = search(text, start, end, options);
    if (found >= 0) select(found, static_cast<int>(text.size()));
    return found;
}

void SourceEditor::updateMarginWidth() {
    // Measuring the margin's digits loads the editor's font, which a hidden
    // editor (compact mode) never needs: the width is set when it shows.
    if (!isVisible()) {
        marginDigits_ = 0;
        return;
    }
    const int digits = std::max(3, static_cast<int>(QString::number(lines()).size()));
    if (digits == marginDigits_) return;
    marginDigits_ = digits;
    setMarginWidth(0, QString(digits + 1, QLatin1Char('9')));
}

}  // namespace quv
