#include "windows/MainMenu.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

QAction *MainMenu::AddMenu(const QString &name, const QString &caption, const QString &parentName) {
    auto *menu = new QMenu(caption, &window_);
    menu->setObjectName(name);
    menus_.insert(name, menu);
    if (parentName.isEmpty()) topMenus_.append(menu);
    Add(name, menu->menuAction(), parentName);
    return menu->menuAction();
}

QAction *MainMenu::AddItem(const QString &name, const QString &caption, const QString &parentName,
                           const QKeySequence &shortcut) {
    auto *a = new QAction(caption, &window_);
    if (!shortcut.isEmpty()) {
        a->setShortcut(shortcut);
        a->setShortcutContext(Qt::WindowShortcut);
    }
    // Also added to the window itself: the shortcut works while no menu is open.
    window_.addAction(a);
    Add(name, a, parentName);
    return a;
}

void MainMenu::Add(const QString &name, QAction *a, const QString &parentName) {
    a->setObjectName(name);
    items_.insert(name, a);
    parent_.insert(name, parentName);
    ownEnabled_.insert(name, true);
    if (QMenu *parent = menus_.value(parentName, nullptr)) parent->addAction(a);
    Refresh();
}

void MainMenu::SetEnabled(const QString &name, bool enabled) {
    if (!ownEnabled_.contains(name)) return;
    ownEnabled_[name] = enabled;
    Refresh();
}

bool MainMenu::Reachable(const QString &name) const {
    if (!ownEnabled_.contains(name)) return false;
    for (QString n = name; !n.isEmpty(); n = parent_.value(n)) {
        if (!ownEnabled_.value(n, false)) return false;
    }
    return true;
}

void MainMenu::Refresh() {
    for (auto it = items_.constBegin(); it != items_.constEnd(); ++it)
        it.value()->setEnabled(Reachable(it.key()));
}
