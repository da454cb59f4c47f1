// RecentFilesMenu: File > Recent Files. It lists the recordings of kpd::RecentFiles, newest first, and
// loads the one chosen as File > Load would; a file that is gone is taken off the list with a message.
// The menu is disabled while the list is empty.
#pragma once

#include "session/RecentFiles.h"

#include <QObject>

#include <functional>
#include <string>

class MainMenu;
class QMenu;

class RecentFilesMenu : public QObject {
public:
    // `name`: the menu's component name in `menu`; `load` loads a file.
    RecentFilesMenu(MainMenu &menu, const QString &name, std::function<void(const std::string &)> load,
                    QObject *parent);

    kpd::RecentFiles &List() { return list_; }
    // A recording was saved or loaded.
    void Add(const std::string &file);
    // The list and the menu from a settings store (see kpd::RecentFiles::SetStore).
    void SetStore(std::unique_ptr<QSettings> store);
    // Chooses the entry `index` (0 the newest), as a click on it does.
    void Choose(int index);

private:
    void Rebuild();

    MainMenu &menu_;
    QString name_;
    std::function<void(const std::string &)> load_;
    kpd::RecentFiles list_;
};
