#include "compile/build_output.h"

#include "compile/build_log.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

namespace quv {

namespace {
// How often a shown window catches up with a build that prints.
constexpr int kRefreshMs = 100;
}  // namespace

BuildOutput::BuildOutput(const BuildLog& log, QWidget* parent)
    : QWidget(parent, Qt::Window), log_(log), view_(new QPlainTextEdit) {
    setObjectName(QStringLiteral("BuildOutput"));
    setWindowTitle(QStringLiteral("Compiler window"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    view_->setObjectName(QStringLiteral("Output"));
    view_->setReadOnly(true);
    view_->setLineWrapMode(QPlainTextEdit::NoWrap);
    view_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    resize(720, 320);
    refresh_.setSingleShot(true);
    refresh_.setInterval(kRefreshMs);
    connect(&refresh_, &QTimer::timeout, this, &BuildOutput::refresh);
}

void BuildOutput::logChanged() {
    if (isVisible() && !refresh_.isActive()) refresh_.start();
}

void BuildOutput::refresh() {
    refresh_.stop();
    QScrollBar* bar = view_->verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    const int kept = bar->value();
    view_->setPlainText(log_.text());
    bar->setValue(atEnd ? bar->maximum() : kept);
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
    if (!isVisible()) {
        refresh();
        show();
    }
    raise();
}

QString BuildOutput::text() const {
    return view_->toPlainText();
}

}  // namespace quv
