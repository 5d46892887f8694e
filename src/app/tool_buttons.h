// The main window's ten tool buttons: five commands, five recent files, clicks by index.
#pragma once

#include <array>
#include <functional>

class QPushButton;
class QWidget;

namespace quv {

struct LayoutResult;
class RecentFiles;

class ToolButtons {
  public:
    // Builds buttons 1 to 10 on the window's client area.
    ToolButtons(QWidget* client, std::function<void(int)> clicked);

    // Buttons 1 to 10; nullptr for any other index.
    QPushButton* button(int index) const;
    // Moves and sizes each column of buttons, and sets their font size, as
    // the window's layout gives them.
    void place(const LayoutResult& layout);
    // Buttons 6 to 10 show the paths of the recent-file slots and the
    // highlight of the current document's slot.
    void showRecent(const RecentFiles& recent);

  private:
    std::array<QPushButton*, 11> buttons_{};
};

}  // namespace quv
