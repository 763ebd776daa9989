#include "ui/toolkit/AppInfo.h"

#include <gtest/gtest.h>

namespace tintwell {
namespace {

TEST(AppInfo, TitleIsTintwell) {
    EXPECT_EQ(AppInfo::Title(), "Tintwell");
}

TEST(AppInfo, VersionIsTheProjectVersion) {
    EXPECT_EQ(AppInfo::VersionText(), std::to_string(AppInfo::VersionMajor()) + "." +
                                          std::to_string(AppInfo::VersionMinor()) + "." +
                                          std::to_string(AppInfo::VersionRevision()));
    EXPECT_GE(AppInfo::VersionMajor(), 1);
}

TEST(AppInfo, PathsAreBuiltInTheHandedInFolder) {
    AppInfo info("/opt/tw");
    EXPECT_EQ(info.Folder(), "/opt/tw");
    EXPECT_EQ(info.PathInFolder("Tintwell.ini"), "/opt/tw/Tintwell.ini");
}

}  // namespace
}  // namespace tintwell
