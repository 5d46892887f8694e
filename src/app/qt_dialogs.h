// The platform's message boxes, input box, file and font dialogs and printer.
#pragma once

#include "core/dialogs.h"

#include <QPointer>
#include <QWidget>

namespace quv {

class QtDialogs : public Dialogs {
  public:
    // Boxes and dialogs are shown over this window.
    void setParentWindow(QWidget* parent) { parent_ = parent; }

    Answer message(const QString& text, Buttons buttons, Icon icon, const QString& title) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& defaultText) override;
    std::optional<QString> openFileName(const QString& filter, const QString& fileName) override;
    std::optional<QString> saveFileName(const QString& filter, const QString& fileName) override;
    std::optional<FontChoice> chooseFont(const FontChoice& initial) override;
    std::optional<QString> printText(const QString& text) override;

  private:
    std::optional<QString> fileDialog(bool save, const QString& filter, const QString& fileName);
    // The program's window the user works in (a dialog such as the base
    // configuration, or the main window), so that a box stays over it.
    QWidget* owner() const;
    QPointer<QWidget> parent_;
};

}  // namespace quv
