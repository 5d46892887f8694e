#include "baseconfig/pick_combo_box.h"

#include <QTimer>
#include <QWheelEvent>

namespace quv {

PickComboBox::PickComboBox(const QStringList& items, QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    addItems(items);
    // The box also reports a typed text that matches an item on Enter or on
    // leaving it, and the arrow keys over the closed box: none of them is a
    // choice from the list.
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (!listClosing_) return;
        listClosing_ = false;
        emit picked(itemText(index));
    });
}

void PickComboBox::showText(const QString& text) {
    if (currentText() == text) return;
    const int item = findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (item >= 0 && currentIndex() != item) setCurrentIndex(item);
    if (currentText() != text) setEditText(text);
}

void PickComboBox::hidePopup() {
    QComboBox::hidePopup();
    // The list closes first and then reports the item chosen in it, within
    // the same event; closed by Esc or a click elsewhere, it reports nothing.
    listClosing_ = true;
    QTimer::singleShot(0, this, [this] { listClosing_ = false; });
}

bool PickComboBox::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::FocusOut)
        listClosing_ = false;
    return QComboBox::event(event);
}

void PickComboBox::wheelEvent(QWheelEvent* event) {
    event->ignore();
}

}  // namespace quv
