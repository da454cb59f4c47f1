// MainMenu: the main window's menu items by component name, with their parents and their own enabled
// states. Each menu is a QMenu holding its items in menu order; the five top-level menus are not shown
// in a menu bar (MenuOnDemand opens them). An item's shortcut key works while it and every menu above
// it are enabled.
#pragma once

#include <QKeySequence>
#include <QList>
#include <QMap>
#include <QString>

class QAction;
class QMenu;
class QWidget;

class MainMenu {
public:
    explicit MainMenu(QWidget &window) : window_(window) {}

    // A menu: a top-level menu when parent is empty, else a submenu at the end of its parent.
    QAction *AddMenu(const QString &name, const QString &caption, const QString &parent = {});
    // An item at the end of its menu, whose shortcut works while it is reachable.
    QAction *AddItem(const QString &name, const QString &caption, const QString &parent,
                     const QKeySequence &shortcut = {});

    QAction *Item(const QString &name) const { return items_.value(name, nullptr); }
    QMenu *Menu(const QString &name) const { return menus_.value(name, nullptr); }
    // The top-level menus in menu order.
    const QList<QMenu *> &TopMenus() const { return topMenus_; }
    // The item's own enabled state, and its effective state (the item and all parent menus enabled).
    void SetEnabled(const QString &name, bool enabled);
    bool Enabled(const QString &name) const { return ownEnabled_.value(name, false); }
    bool Reachable(const QString &name) const;

private:
    void Add(const QString &name, QAction *action, const QString &parent);
    void Refresh();

    QWidget &window_;
    QMap<QString, QAction *> items_;
    QMap<QString, QMenu *> menus_;
    QList<QMenu *> topMenus_;
    QMap<QString, QString> parent_;
    QMap<QString, bool> ownEnabled_;
};
