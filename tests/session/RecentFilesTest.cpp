// The recent files: newest first, each once, at most eight, kept in the store they were given.
#include "session/RecentFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(RecentFiles, NewestFirstEachOnceAtMostEightAndKeptInTheStore) {
    QTemporaryDir dir;
    const std::string d = dir.path().toStdString() + "/";
    const QString store = dir.filePath("KPD.conf");
    kpd::RecentFiles recent;
    recent.SetStore(std::make_unique<QSettings>(store, QSettings::IniFormat));
    for (const char *file : {"a", "b", "sub/../a", "1", "2", "3", "4", "5", "6", "7"})
        recent.Add(d + file);
    recent.Remove(d + "3");
    // b went as the ninth; "sub/../a" is a.
    const std::vector<std::string> expected{d + "7", d + "6", d + "5", d + "4", d + "2", d + "1", d + "a"};
    EXPECT_EQ(recent.Files(), expected);
    kpd::RecentFiles reread;
    reread.SetStore(std::make_unique<QSettings>(store, QSettings::IniFormat));
    EXPECT_EQ(reread.Files(), expected);
}
