// MainMenu: the main window's menu items by component name, with their parents and their own enabled
// states. The top-level menus are hidden, so an item is reached only through its shortcut key, and only
// while it and every menu above it are enabled.
#pragma once

#include <QKeySequence>
#include <QMap>
#include <QString>

class QAction;
class QWidget;

class MainMenu {
public:
    explicit MainMenu(QWidget &window) : window_(window) {}

    // A menu (no action of its own).
    QAction *AddMenu(const QString &name, const QString &caption, const QString &parent = {});
    // An item whose shortcut works while it is reachable.
    QAction *AddItem(const QString &name, const QString &caption, const QString &parent,
                     const QKeySequence &shortcut = {});

    QAction *Item(const QString &name) const { return items_.value(name, nullptr); }
    // The item's own enabled state, and its effective state (the item and all parent menus enabled).
    void SetEnabled(const QString &name, bool enabled);
    bool Enabled(const QString &name) const { return ownEnabled_.value(name, false); }
    bool Reachable(const QString &name) const;

private:
    void Refresh();

    QWidget &window_;
    QMap<QString, QAction *> items_;
    QMap<QString, QString> parent_;
    QMap<QString, bool> ownEnabled_;
};
