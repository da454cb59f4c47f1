// RecentFiles: the recordings saved or loaded most recently, newest first, at most eight, each once. The
// list lives in memory, or in a settings store of the user's own (never in "KPD.ini"), which is read when
// the store is given and written on every change.
#pragma once

#include <QSettings>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace kpd {

class RecentFiles {
public:
    static constexpr std::size_t kMaximum = 8;

    RecentFiles() = default;
    // The list kept in `store` from now on (null: in memory only); its entries replace the current ones.
    void SetStore(std::unique_ptr<QSettings> store);
    // The user's own settings of KPD: "KPD.conf" in the folder KPD of the user's configuration folder
    // ($XDG_CONFIG_HOME, else ~/.config).
    static std::unique_ptr<QSettings> UserStore();

    const std::vector<std::string> &Files() const { return files_; }
    // The file goes to the top (as an absolute path); an earlier entry of it goes, the ninth goes.
    void Add(const std::string &file);
    void Remove(const std::string &file);

private:
    void Insert(const std::string &file);
    void Write();

    std::vector<std::string> files_;
    std::unique_ptr<QSettings> store_;
};

} // namespace kpd
