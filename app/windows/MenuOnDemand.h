// MenuOnDemand: the main window's menus, which take no room in the window, opened on demand as a desktop
// program's hidden menu bar opens. F10, or Alt pressed and released alone, shows a menu bar over the top
// edge of the window with the first menu open; Left and Right move between the menus, Esc or a click
// elsewhere closes the menu and the bar goes with it. Alt with a menu's underlined letter opens that menu.
// A right-click on the window's background (on no control with a menu of its own) opens all the menus as
// submenus of one context menu. Nothing opens while a modal window or another menu is open.
#pragma once

#include <QList>
#include <QObject>

class QAction;
class QMenu;
class QMenuBar;
class QPoint;
class QWidget;

class MenuOnDemand : public QObject {
public:
    MenuOnDemand(QWidget &window, const QList<QMenu *> &menus);

    // Shows the bar with the menu `index` (or the first enabled one after it) open. Returns whether it
    // opened.
    bool OpenBar(int index = 0);
    // Opens the context menu at a global position. Returns whether it opened.
    bool OpenContextMenu(const QPoint &globalPos);

    QMenuBar *Bar() const { return bar_; }
    QMenu *ContextMenu() const { return context_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool MayOpen() const;
    void HideBarWhenClosed();

    QWidget &window_;
    QList<QMenu *> menus_;
    QMenuBar *bar_;
    QMenu *context_;
    QList<QAction *> mnemonics_; // Alt+letter of each menu while the bar is hidden
    bool altAlone_ = false; // Alt is down and nothing else happened since it went down
};
