#include "compile/build_output.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>

#include <algorithm>

namespace quv {

namespace {
// Enough for the output of any build; older lines go first beyond it.
constexpr int kMaxLines = 100000;
}  // namespace

BuildOutput::BuildOutput(QWidget* parent)
    : QWidget(parent, Qt::Window), view_(new QPlainTextEdit), decoder_(QStringDecoder::System) {
    setObjectName(QStringLiteral("BuildOutput"));
    setWindowTitle(QStringLiteral("Compiler window"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    view_->setObjectName(QStringLiteral("Output"));
    view_->setReadOnly(true);
    view_->setLineWrapMode(QPlainTextEdit::NoWrap);
    view_->setMaximumBlockCount(kMaxLines);
    view_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    resize(720, 320);
}

void BuildOutput::beginBuild() {
    view_->clear();
    lineOpen_ = false;
}

void BuildOutput::beginProcess(const CommandLine& command) {
    decoder_.resetState();
    QString head = command.text + QLatin1Char('\n');
    if (!view_->document()->isEmpty()) head.prepend(QLatin1Char('\n'));
    append(head);
}

void BuildOutput::appendOutput(const QByteArray& bytes) {
    QString text = decoder_.decode(bytes);
    text.remove(QLatin1Char('\r'));
    append(text);
}

void BuildOutput::endProcess(const CommandLine& command, const ShellResult& result) {
    QString tail;
    if (lineOpen_) tail = QStringLiteral("\n");
    switch (result.outcome) {
        case ShellResult::Outcome::Exited:
            tail += QStringLiteral("%1 ended with exit code %2\n")
                        .arg(command.programName)
                        .arg(result.exitCode);
            break;
        case ShellResult::Outcome::Crashed:
            tail += QStringLiteral("%1 crashed: %2\n").arg(command.programName, result.error);
            break;
        case ShellResult::Outcome::NotStarted:
            tail += QStringLiteral("%1 could not be started: %2\n")
                        .arg(command.programName, result.error);
            break;
        case ShellResult::Outcome::Abandoned:
            tail += QStringLiteral("%1 was stopped\n").arg(command.programName);
            break;
    }
    append(tail);
}

void BuildOutput::append(const QString& text) {
    if (text.isEmpty()) return;
    QScrollBar* bar = view_->verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    QTextCursor cursor(view_->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
    lineOpen_ = !text.endsWith(QLatin1Char('\n'));
    if (atEnd) bar->setValue(bar->maximum());
}

void BuildOutput::showBeside() {
    if (!placed_ && parentWidget()) {
        // First shown in the lower right corner of the main window, where it
        // hides the least of the program text and none of the commands.
        const QRect main = parentWidget()->geometry();
        QRect g(QPoint(), size());
        g.moveBottomRight(main.bottomRight() - QPoint(16, 40));
        if (const QScreen* screen = parentWidget()->screen()) {
            const QRect room = screen->availableGeometry();
            g.moveLeft(
                std::clamp(g.left(), room.left(), std::max(room.left(), room.right() - g.width())));
            g.moveTop(
                std::clamp(g.top(), room.top(), std::max(room.top(), room.bottom() - g.height())));
        }
        move(g.topLeft());
        placed_ = true;
    }
    if (!isVisible()) show();
    raise();
}

QString BuildOutput::text() const {
    return view_->toPlainText();
}

}  // namespace quv
