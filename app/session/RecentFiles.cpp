#include "session/RecentFiles.h"

#include <QStringList>

#include <algorithm>
#include <filesystem>

namespace kpd {

namespace {

const char *const kKey = "RecentFiles";

std::string Absolute(const std::string &file) {
    std::error_code ec;
    const std::filesystem::path p = std::filesystem::absolute(file, ec);
    return ec ? file : p.lexically_normal().string();
}

} // namespace

void RecentFiles::SetStore(std::unique_ptr<QSettings> store) {
    store_ = std::move(store);
    if (!store_) return;
    const QStringList stored = store_->value(kKey).toStringList();
    files_.clear();
    for (auto it = stored.crbegin(); it != stored.crend(); ++it) // oldest first, so the newest ends on top
        if (!it->isEmpty()) Insert(it->toStdString());
}

std::unique_ptr<QSettings> RecentFiles::UserStore() {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, "KPD", "KPD");
}

void RecentFiles::Add(const std::string &file) {
    Insert(file);
    Write();
}

void RecentFiles::Insert(const std::string &file) {
    const std::string path = Absolute(file);
    files_.erase(std::remove(files_.begin(), files_.end(), path), files_.end());
    files_.insert(files_.begin(), path);
    if (files_.size() > kMaximum) files_.resize(kMaximum);
}

void RecentFiles::Remove(const std::string &file) {
    const std::string path = Absolute(file);
    files_.erase(std::remove(files_.begin(), files_.end(), path), files_.end());
    Write();
}

void RecentFiles::Write() {
    if (!store_) return;
    QStringList list;
    for (const std::string &f : files_)
        list.append(QString::fromStdString(f));
    store_->setValue(kKey, list);
    store_->sync();
}

} // namespace kpd
