// The main window's menus from the menu tree: actions by name, keys, F1 in an open menu.
#pragma once

#include <QAction>
#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class QMenuBar;

namespace quv {

class MenuBar : public QObject {
    Q_OBJECT
  public:
    // Builds the menus into the window's menu bar; F1 in an open menu calls
    // showTopic with the help topic of the item under it.
    MenuBar(QMenuBar* bar, std::function<void(int)> showTopic, QObject* parent);

    // A menu item by its name ("EditorEnabled", "Open", ...).
    QAction* action(const QString& name) const { return actions_.value(name); }
    // Choosing the item runs slot: a member function of receiver, or a
    // function that stops being called once receiver is gone.
    template <typename Receiver, typename Slot>
    void on(const char* name, Receiver* receiver, Slot slot) const {
        connect(action(QString::fromLatin1(name)), &QAction::triggered, receiver, slot);
    }
    // The keys of the menu items.
    QList<QKeySequence> shortcuts() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::function<void(int)> showTopic_;
    QHash<QString, QAction*> actions_;
};

}  // namespace quv
