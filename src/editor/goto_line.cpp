#include "editor/goto_line.h"

#include "core/twips.h"
#include "editor/source_editor.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace quv {

qint64 EditorLines::length() const {
    return editor_.length();
}

qint32 EditorLines::lineCount() const {
    return editor_.lines();
}

qint64 EditorLines::lineStart(qint32 line) const {
    return editor_.lineStart(line);
}

qint32 EditorLines::lineOf(qint64 position) const {
    return editor_.lineOf(static_cast<int>(position));
}

void Goto_line(SourceEditor& editor, qint32& line_number) {
    if (line_number < 0) line_number = 0;
    const qint64 target = line_number == 0 ? 0 : gotoTarget(EditorLines(editor), line_number);
    editor.setCaretPosition(static_cast<int>(target));
    editor.ensureCursorVisible();
}

GotoDialog::GotoDialog(SourceEditor& editor, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      editor_(editor),
      text1_(new QLineEdit(this)) {
    setObjectName(QStringLiteral("Gotoline"));
    setWindowTitle(QStringLiteral("Goto"));
    QFont small(QStringLiteral("Arial"));
    small.setPointSizeF(8);
    setFont(small);
    auto* label = new QLabel(QStringLiteral("Goto line"), this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setGeometry(twipsToPixels(300), twipsToPixels(240), twipsToPixels(735),
                       twipsToPixels(255));
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setGeometry(twipsToPixels(1140), twipsToPixels(180), twipsToPixels(855),
                        twipsToPixels(375));
    text1_->installEventFilter(this);
    setFixedSize(twipsToPixels(2610), twipsToPixels(855));
}

void GotoDialog::showForGoto() {
    if (!isVisible() && parentWidget()) {
        const QRect owner = parentWidget()->frameGeometry();
        move(owner.center() - rect().center());
    }
    show();
    raise();
    activateWindow();
    text1_->setFocus();
}

void GotoDialog::Text1_Enter() {
    qint32 line = gotoLineIndex(text1_->text());
    Goto_line(editor_, line);
    text1_->clear();
    hide();
    emit done();
}

bool GotoDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == text1_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Text1_Enter();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace quv
