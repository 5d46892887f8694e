// A recent-file button: its caption is the file's full path, shown shortened
// at the front when the button is too narrow, so the file name stays visible.
#pragma once

#include <QPushButton>

namespace quv {

class RecentButton : public QPushButton {
    Q_OBJECT
  public:
    using QPushButton::QPushButton;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace quv
