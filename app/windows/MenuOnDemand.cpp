#include "windows/MenuOnDemand.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QWidget>

MenuOnDemand::MenuOnDemand(QWidget &window, const QList<QMenu *> &menus)
    : QObject(&window), window_(window), menus_(menus), bar_(new QMenuBar(&window)),
      context_(new QMenu(&window)) {
    bar_->setObjectName("MenuBar");
    bar_->setNativeMenuBar(false); // in the window, never in a desktop's global menu
    bar_->hide();
    context_->setObjectName("ContextMenu");
    for (int i = 0; i < menus_.size(); ++i) {
        QMenu *menu = menus_[i];
        bar_->addAction(menu->menuAction());
        context_->addAction(menu->menuAction());
        connect(menu, &QMenu::aboutToHide, this, [this] {
            // Left and Right close one menu and open the next: look once the switch is over.
            QTimer::singleShot(0, this, [this] { HideBarWhenClosed(); });
        });
        // Alt with the menu's underlined letter, while the bar is hidden (it has its own when shown).
        auto *open = new QAction(&window_);
        mnemonics_.append(open);
        open->setShortcut(QKeySequence::mnemonic(menu->title()));
        open->setShortcutContext(Qt::WindowShortcut);
        connect(open, &QAction::triggered, this, [this, i] { OpenBar(i); });
        window_.addAction(open);
    }
    auto *f10 = new QAction(&window_);
    f10->setObjectName("OpenMenu");
    f10->setShortcut(Qt::Key_F10);
    f10->setShortcutContext(Qt::WindowShortcut);
    connect(f10, &QAction::triggered, this, [this] { OpenBar(0); });
    window_.addAction(f10);
    window_.installEventFilter(this);
    qApp->installEventFilter(this); // Alt reaches whichever control has the focus
}

bool MenuOnDemand::MayOpen() const {
    return !QApplication::activeModalWidget() && !QApplication::activePopupWidget() && window_.isVisible();
}

bool MenuOnDemand::OpenBar(int index) {
    if (!MayOpen()) return false;
    QAction *open = nullptr;
    for (int i = index; i < menus_.size() && !open; ++i)
        if (menus_[i]->menuAction()->isEnabled()) open = menus_[i]->menuAction();
    if (!open) return false;
    bar_->setGeometry(0, 0, window_.width(), bar_->sizeHint().height());
    for (QAction *a : mnemonics_)
        a->setEnabled(false);
    bar_->show();
    bar_->raise();
    bar_->setActiveAction(open);
    return true;
}

bool MenuOnDemand::OpenContextMenu(const QPoint &globalPos) {
    if (!MayOpen()) return false;
    context_->popup(globalPos);
    return true;
}

void MenuOnDemand::HideBarWhenClosed() {
    for (QMenu *menu : menus_)
        if (menu->isVisible()) return;
    bar_->hide();
    for (QAction *a : mnemonics_)
        a->setEnabled(true);
}

bool MenuOnDemand::eventFilter(QObject *watched, QEvent *event) {
    switch (event->type()) {
    case QEvent::ContextMenu:
        // Controls with a menu of their own accept the event; the rest pass it on to the window.
        if (watched == &window_) {
            OpenContextMenu(static_cast<QContextMenuEvent *>(event)->globalPos());
            return true;
        }
        break;
    case QEvent::ShortcutOverride: // a key that a shortcut takes arrives only as this
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->isAutoRepeat()) break;
        const Qt::KeyboardModifiers others =
            key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::MetaModifier);
        altAlone_ = key->key() == Qt::Key_Alt && !others;
        break;
    }
    case QEvent::KeyRelease: {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->isAutoRepeat() || key->key() != Qt::Key_Alt || !altAlone_) break;
        altAlone_ = false;
        auto *w = qobject_cast<QWidget *>(watched);
        if (w && w->window() == &window_) OpenBar(0);
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::Wheel:
    case QEvent::FocusOut:
        altAlone_ = false;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
