// Shows a new text in an editable combo box: the matching item is selected,
// so that the list opens on it; any other text stands in the edit field. A
// text already shown is left alone, so that typing is not disturbed.
#pragma once

#include <QComboBox>

namespace quv {

inline void showText(QComboBox* box, const QString& text) {
    if (box->currentText() == text) return;
    const int item = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (item >= 0 && box->currentIndex() != item) box->setCurrentIndex(item);
    if (box->currentText() != text) box->setEditText(text);
}

}  // namespace quv
