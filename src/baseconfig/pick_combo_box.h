// An editable combo box in which only a choice made in its open list, by
// mouse or keyboard, is a pick. Typed text stays as typed (no completion, no
// case folding), and neither Enter nor a focus change makes a typed text that
// matches an item a pick; the wheel over the closed box changes nothing.
#pragma once

#include <QComboBox>

namespace quv {

class PickComboBox : public QComboBox {
    Q_OBJECT
  public:
    explicit PickComboBox(const QStringList& items = {}, QWidget* parent = nullptr);

    // Shows a new text: the matching item is selected, so that the list opens
    // on it; any other text stands in the edit field. A text already shown is
    // left alone, so that typing is not disturbed.
    void showText(const QString& text);
    void hidePopup() override;

  signals:
    // An item chosen in the open list.
    void picked(const QString& item);

  protected:
    bool event(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    // The list has just closed: the choice made in it follows at once.
    bool listClosing_ = false;
};

}  // namespace quv
