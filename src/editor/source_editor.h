// The program editor: an 8-bit text control with CR LF line ends in which
// every position counts a line break as two characters.
#pragma once

#include <Qsci/qsciscintilla.h>
#include <QByteArray>
#include <QFont>
#include <QKeySequence>

class QsciLexerCPP;

namespace quv {

// The system's own reactions to the keys and clicks of the editor. Each key
// stroke arrives as a key down, then the character it types (if any), then
// a key up.
class EditorKeyRules {
  public:
    virtual ~EditorKeyRules() = default;
    // True when the key is taken: the control does not act on it and no
    // character follows.
    virtual bool keyDown(int key, Qt::KeyboardModifiers modifiers) = 0;
    // The character code to let through to the control; 0 consumes it.
    virtual int characterTyped(int code) = 0;
    virtual void keyUp(int key, Qt::KeyboardModifiers modifiers) = 0;
    virtual void mouseDown() = 0;
    // After the control has handled a key or a click.
    virtual void afterInput() = 0;
};

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

    // Every key and mouse press passes through the rules first (none: the
    // control acts alone).
    void setKeyRules(EditorKeyRules* rules) { rules_ = rules; }
    // The character a key event types, as the rules see it: Enter 13, Tab
    // and Shift+Tab 9, Backspace 8, Esc 27, or the typed character; -1 when
    // the event types none (control and Alt combinations, bare modifiers).
    static int typedCharacter(const QKeyEvent& event);
    // Keys held with these modifiers give commands, not characters.
    static bool isCommandKey(Qt::KeyboardModifiers modifiers);

    // Editor operations on 0-based positions, in which a line break counts
    // two characters.
    int selectionStart() const;
    int selectionEnd() const;
    int selectionLength() const { return selectionEnd() - selectionStart(); }
    // Selects from start, length characters (the caret at the end).
    void select(int start, int length);
    QByteArray selectedBytes() const;
    QByteArray range(int start, int end) const;
    // The byte at a position, or -1 past the end.
    int charAt(int position) const;
    int lineOf(int position) const;
    int lineStart(int line) const;
    int lineEnd(int line) const;  // where its line break begins
    // Replaces the selection by the text and leaves the caret after it.
    void replaceSelectionBytes(const QByteArray& text);
    // Replaces the characters from start to end; the selection moves with
    // the text as the control moves it.
    void replaceRange(int start, int end, const QByteArray& text);
    // The first occurrence of text between start and end (-1: the end of the
    // text), ignoring letter case; options 2 finds whole words only. Returns
    // its position, or -1 when there is none. Selects nothing.
    int search(const QByteArray& text, int start, int end = -1, int options = 0) const;
    // As search(), and selects the occurrence it finds.
    int findText(const QByteArray& text, int start, int end = -1, int options = 0);
    static constexpr int kWholeWord = 2;

  signals:
    // setBytes() put a whole new text in.
    void textReplaced();

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    void updateMarginWidth();
    QsciLexerCPP* lexer_ = nullptr;
    QFont font_;
    int marginDigits_ = 0;
    EditorKeyRules* rules_ = nullptr;
};

}  // namespace quv
