#include "windows/MainMenu.h"

#include <QAction>
#include <QWidget>

QAction *MainMenu::AddMenu(const QString &name, const QString &caption, const QString &parentName) {
    auto *a = new QAction(caption, &window_);
    a->setObjectName(name);
    items_.insert(name, a);
    parent_.insert(name, parentName);
    ownEnabled_.insert(name, true);
    return a;
}

QAction *MainMenu::AddItem(const QString &name, const QString &caption, const QString &parentName,
                           const QKeySequence &shortcut) {
    QAction *a = AddMenu(name, caption, parentName);
    if (!shortcut.isEmpty()) {
        a->setShortcut(shortcut);
        a->setShortcutContext(Qt::WindowShortcut);
    }
    // Added to the window, not to a visible menu bar: the shortcut works while the item is enabled.
    window_.addAction(a);
    Refresh();
    return a;
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
