// The recent files: newest first, each once, at most eight, kept in the store they were given.
#include "session/RecentFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using Files = std::vector<std::string>;

TEST(RecentFiles, NewestFirstEachOnceAtMostEightAndKeptInTheStore) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string d = dir.path().toStdString() + "/";
    const std::string store = d + "KPD.conf";
    struct Step {
        const char *add;    // null: remove `remove`
        const char *remove;
        Files expected;
    };
    const Step steps[] = {
        {"a.lis", nullptr, {d + "a.lis"}},
        {"b.man", nullptr, {d + "b.man", d + "a.lis"}},
        {"sub/../a.lis", nullptr, {d + "a.lis", d + "b.man"}}, // the same file moves to the top
        {nullptr, "b.man", {d + "a.lis"}},
        {"1", nullptr, {d + "1", d + "a.lis"}},
        {"2", nullptr, {d + "2", d + "1", d + "a.lis"}},
        {"3", nullptr, {d + "3", d + "2", d + "1", d + "a.lis"}},
        {"4", nullptr, {d + "4", d + "3", d + "2", d + "1", d + "a.lis"}},
        {"5", nullptr, {d + "5", d + "4", d + "3", d + "2", d + "1", d + "a.lis"}},
        {"6", nullptr, {d + "6", d + "5", d + "4", d + "3", d + "2", d + "1", d + "a.lis"}},
        {"7", nullptr, {d + "7", d + "6", d + "5", d + "4", d + "3", d + "2", d + "1", d + "a.lis"}},
        {"8", nullptr, {d + "8", d + "7", d + "6", d + "5", d + "4", d + "3", d + "2", d + "1"}}, // a.lis goes
    };
    kpd::RecentFiles recent;
    recent.SetStore(std::make_unique<QSettings>(QString::fromStdString(store), QSettings::IniFormat));
    for (const Step &s : steps) {
        if (s.add)
            recent.Add(d + s.add);
        else
            recent.Remove(d + s.remove);
        EXPECT_EQ(recent.Files(), s.expected) << (s.add ? s.add : s.remove);
        kpd::RecentFiles reread;
        reread.SetStore(std::make_unique<QSettings>(QString::fromStdString(store), QSettings::IniFormat));
        EXPECT_EQ(reread.Files(), s.expected);
    }
}
