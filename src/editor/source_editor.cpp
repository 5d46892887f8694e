#include "editor/source_editor.h"

#include "app/text_file.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>
#include <Qsci/qscilexercpp.h>

#include <QFontDatabase>

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
    connect(this, &QsciScintilla::linesChanged, this, &SourceEditor::updateMarginWidth);
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

void SourceEditor::updateMarginWidth() {
    const int digits = std::max(3, static_cast<int>(QString::number(lines()).size()));
    if (digits == marginDigits_) return;
    marginDigits_ = digits;
    setMarginWidth(0, QString(digits + 1, QLatin1Char('9')));
}

}  // namespace quv
