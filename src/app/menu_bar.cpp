#include "app/menu_bar.h"

#include "app/menu_tree.h"
#include "baseconfig/help_topics.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

namespace quv {

MenuBar::MenuBar(QMenuBar* bar, std::function<void(int)> showTopic, QObject* parent)
    : QObject(parent), showTopic_(std::move(showTopic)) {
    QHash<QString, QMenu*> menus;
    for (const MenuItemDef& def : kMenuTree) {
        const QString name = QString::fromLatin1(def.name);
        const QString caption = QString::fromLatin1(def.caption);
        QMenu* parentMenu = def.parent ? menus.value(QString::fromLatin1(def.parent)) : nullptr;
        QAction* action = nullptr;
        if (def.kind == MenuItemDef::Submenu || def.kind == MenuItemDef::DisabledSubmenu) {
            QMenu* menu = parentMenu ? parentMenu->addMenu(caption) : bar->addMenu(caption);
            menu->setObjectName(name);
            menu->installEventFilter(this);
            menus.insert(name, menu);
            action = menu->menuAction();
        } else if (parentMenu) {
            action = parentMenu->addAction(caption);
        } else {
            action = bar->addAction(caption);
        }
        action->setObjectName(name);
        action->setProperty(kHelpTopicProperty, def.topic);
        if (*def.key) {
            action->setShortcut(
                QKeySequence(QString::fromLatin1(def.key), QKeySequence::PortableText));
            action->setShortcutContext(Qt::WindowShortcut);
        }
        action->setCheckable(def.kind == MenuItemDef::Toggle);
        action->setEnabled(def.kind != MenuItemDef::Disabled &&
                           def.kind != MenuItemDef::DisabledSubmenu);
        actions_.insert(name, action);
    }
}

QList<QKeySequence> MenuBar::shortcuts() const {
    QList<QKeySequence> keys;
    for (QAction* a : std::as_const(actions_))
        if (!a->shortcut().isEmpty()) keys << a->shortcut();
    return keys;
}

bool MenuBar::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* menu = qobject_cast<QMenu*>(watched);
        const auto* key = static_cast<QKeyEvent*>(event);
        if (menu && key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier) {
            // A disabled item is never the menu's active one: the item under
            // the mouse stands for it.
            const QAction* active = menu->activeAction();
            if (!active) active = menu->actionAt(menu->mapFromGlobal(QCursor::pos()));
            const int topic = active ? active->property(kHelpTopicProperty).toInt() : 0;
            // Close the open menus before the help window shows.
            for (QWidget* w : QApplication::topLevelWidgets())
                if (qobject_cast<QMenu*>(w) && w->isVisible()) w->hide();
            showTopic_(topic);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace quv
