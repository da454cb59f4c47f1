#include "platform/VersionInfo.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

using platform::VersionResource;

TEST(VersionInfo, ProgramHasTheFourStrings) {
    for (auto path : {platform::kProductNamePath, platform::kFileVersionPath, platform::kCommentsPath,
                      platform::kLegalCopyrightPath}) {
        const auto value = platform::QueryVersionString(path);
        ASSERT_TRUE(value.has_value()) << path;
        EXPECT_FALSE(value->empty()) << path;
    }
    EXPECT_GT(VersionResource::Program().Size(), 0u);
}

TEST(VersionInfo, FileVersionIsFourNumbers) {
    const auto version = platform::QueryVersionString("\\StringFileInfo\\040904E4\\FileVersion");
    ASSERT_TRUE(version);
    EXPECT_TRUE(std::regex_match(*version, std::regex(R"(\d+\.\d+\.\d+\.\d+)"))) << *version;
}

TEST(VersionInfo, QueryPaths) {
    const VersionResource res({{"ProductName", "P"}, {"Comments", "C"}});
    EXPECT_EQ(res.Query("\\StringFileInfo\\040904E4\\ProductName"), "P");
    EXPECT_EQ(res.Query("\\stringfileinfo\\040904e4\\productname"), "P"); // case-insensitive
    EXPECT_EQ(res.Query("StringFileInfo\\040904E4\\Comments"), "C");      // leading backslash optional
    EXPECT_EQ(res.Query("\\StringFileInfo\\040904E4\\FileVersion"), std::nullopt); // not in the resource
    EXPECT_EQ(res.Query("\\StringFileInfo\\040704B0\\ProductName"), std::nullopt); // other block
    EXPECT_EQ(res.Query("\\StringFileInfo\\040904E4\\"), std::nullopt);
    EXPECT_EQ(res.Query("\\StringFileInfo\\040904E4\\ProductName\\x"), std::nullopt);
    EXPECT_EQ(res.Query("\\VarFileInfo\\Translation"), std::nullopt);
    EXPECT_EQ(res.Query(""), std::nullopt);
}

TEST(VersionInfo, EmptyResourceHasNoSize) {
    const VersionResource empty({});
    EXPECT_EQ(empty.Size(), 0u);
    EXPECT_EQ(empty.Query(platform::kProductNamePath), std::nullopt);
}

} // namespace
