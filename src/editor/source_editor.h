// The program editor: an 8-bit text control with CR LF line ends in which
// every position counts a line break as two characters.
#pragma once

#include <QByteArray>
#include <QFont>
#include <QKeySequence>
#include <Qsci/qsciscintilla.h>

class QsciLexerCPP;

namespace quv {

class SourceEditor : public QsciScintilla {
    Q_OBJECT
public:
    explicit SourceEditor(QWidget* parent = nullptr);

    // The whole text as bytes, each one a character.
    QByteArray bytes() const;
    // Replaces the whole text (line breaks become CR LF) and forgets the undo
    // history; the caret goes to the start.
    void setBytes(const QByteArray& text);
    int length() const;

    int caretPosition() const;
    void setCaretPosition(int position);

    // Font of the text and of the line numbers; an empty family keeps the
    // current one.
    void setEditorFont(const QString& family, double pointSize);
    QFont editorFont() const;

    // Keys that belong to the main window's menus: the control leaves them.
    void releaseKeys(const QList<QKeySequence>& keys);

private:
    void updateMarginWidth();
    QsciLexerCPP* lexer_ = nullptr;
    QFont font_;
    int marginDigits_ = 0;
};

}  // namespace quv
