#include "windows/RecentFilesMenu.h"

#include "platform/Dialogs.h"
#include "windows/MainMenu.h"

#include <QAction>
#include <QMenu>

#include <filesystem>

RecentFilesMenu::RecentFilesMenu(MainMenu &menu, const QString &name,
                                 std::function<void(const std::string &)> load, QObject *parent)
    : QObject(parent), menu_(menu), name_(name), load_(std::move(load)) {
    // Filled again when it opens (not while one of its items is being triggered).
    if (QMenu *m = menu_.Menu(name_)) connect(m, &QMenu::aboutToShow, this, [this] { Rebuild(); });
    Rebuild();
}

void RecentFilesMenu::Add(const std::string &file) {
    list_.Add(file);
    Rebuild();
}

void RecentFilesMenu::SetStore(std::unique_ptr<QSettings> store) {
    list_.SetStore(std::move(store));
    Rebuild();
}

void RecentFilesMenu::Choose(int index) {
    const auto &files = list_.Files();
    if (index < 0 || static_cast<std::size_t>(index) >= files.size()) return;
    const std::string file = files[static_cast<std::size_t>(index)];
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        list_.Remove(file);
        menu_.SetEnabled(name_, !list_.Files().empty());
        platform::ShowMessage(platform::MessageKind::Error,
                              "Cannot find the file \"" + file +
                                  "\". It has been removed from the list of recent files.",
                              platform::MessageButtons::Ok);
        return;
    }
    load_(file);
}

void RecentFilesMenu::Rebuild() {
    QMenu *m = menu_.Menu(name_);
    if (!m) return;
    m->clear();
    const auto &files = list_.Files();
    for (std::size_t i = 0; i < files.size(); ++i) {
        // "&1 /path/name.lis"; an ampersand of the path is shown as it is.
        QAction *a = m->addAction(QString("&%1 %2").arg(i + 1).arg(
            QString::fromStdString(files[i]).replace(QLatin1Char('&'), QLatin1String("&&"))));
        a->setObjectName(QString("RecentFile%1").arg(i + 1));
        connect(a, &QAction::triggered, this, [this, i] { Choose(static_cast<int>(i)); });
    }
    menu_.SetEnabled(name_, !files.empty());
}
