#include "editor/instruction_help.h"

#include "core/working_folder.h"
#include "editor/source_editor.h"

#include <QDir>
#include <QKeyEvent>
#include <QListWidget>

namespace quv {

const QString InstructionHelp::kToolTip = QStringLiteral("C intructions help");

InstructionHelp::InstructionHelp(SourceEditor& editor, QListWidget& list,
                                 const WorkingFolder& folder, QObject* parent)
    : QObject(parent), editor_(editor), list_(list), folder_(folder) {
    list_.setToolTip(kToolTip);
    list_.setSelectionMode(QAbstractItemView::SingleSelection);
    list_.setUniformItemSizes(true);
    // Typing goes on in the editor while the list is shown.
    list_.setFocusPolicy(Qt::ClickFocus);
    list_.setMouseTracking(true);
    list_.viewport()->setMouseTracking(true);
    list_.installEventFilter(this);
    list_.viewport()->installEventFilter(this);
    connect(&list_, &QListWidget::itemDoubleClicked, this, [this] { complete(); });
}

void InstructionHelp::loadHelpLists() {
    words_.loadAll(QDir(folder_.current()));
    fillList();
}

void InstructionHelp::fillList() {
    list_.clear();
    const QStringList& words = words_.words();
    for (int row = 0; row < words.size(); ++row) {
        auto* item = new QListWidgetItem(words.at(row));
        item->setData(Qt::UserRole, words_.itemData(row));
        list_.addItem(item);
    }
}

bool InstructionHelp::listShown() const {
    return !list_.isHidden();
}

void InstructionHelp::trackCharacter(int c) {
    if (Current_Word.isEmpty() && c == 8) return;
    if (c <= 48 && c != 8) {
        reset();
        return;
    }
    if (c == 8) {
        Current_Word.chop(1);
    } else {
        Current_Word += QChar(c);
        // The character is not inserted yet: the caret is where it goes.
        if (Current_Word_pos < 0) Current_Word_pos = editor_.selectionStart();
    }
    if (Current_Word.isEmpty()) {
        // Nothing is left of the word: the next letter starts a new one.
        Current_Word_pos = -1;
        list_.hide();
        return;
    }
    const HelpWords::Match m = words_.match(Current_Word);
    allow_tab = m.several;
    if (m.row < 0) {
        list_.clearSelection();
        list_.hide();
        return;
    }
    list_.setCurrentRow(m.row, QItemSelectionModel::ClearAndSelect);
    list_.scrollToItem(list_.item(m.row), QAbstractItemView::PositionAtTop);
    list_.show();
    list_.raise();
}

void InstructionHelp::complete() {
    const QListWidgetItem* chosen = list_.currentItem();
    if (chosen && chosen->isSelected() && Current_Word_pos >= 0) {
        const int caret = editor_.selectionStart();
        const int from = std::min(caret, Current_Word_pos);
        editor_.beginUndoAction();
        editor_.select(from, caret - from);
        editor_.replaceSelectionBytes(chosen->text().toLatin1());
        editor_.endUndoAction();
    }
    list_.hide();
    Current_Word.clear();
    Current_Word_pos = -1;
    editor_.setFocus();
}

void InstructionHelp::reset() {
    Current_Word.clear();
    Current_Word_pos = -1;
    list_.hide();
}

void InstructionHelp::showHelpOfSelection() {
    const QListWidgetItem* item = list_.currentItem();
    const QString text =
        item && item->isSelected() ? words_.helpText(item->data(Qt::UserRole).toInt()) : kToolTip;
    if (list_.toolTip() != text) list_.setToolTip(text);
}

bool InstructionHelp::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &list_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            complete();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            list_.hide();
            editor_.setFocus();
            return true;
        }
    } else if (event->type() == QEvent::MouseMove || event->type() == QEvent::ToolTip) {
        showHelpOfSelection();
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace quv
