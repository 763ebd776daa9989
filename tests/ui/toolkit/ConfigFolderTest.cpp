// The command line, which has no Qt, names the same configuration folder as
// the window, which asks Qt for it.
#include <gtest/gtest.h>

#include <QStandardPaths>

#include "settings/SettingsLocation.h"
#include "support/WindowsTestKit.h"

namespace tintwell::test {
namespace {

TEST(SettingsLocation, UserConfigFolderFollowsXdgConfigHomeElseHomeAsQtDoes) {
    TestApp();
    const QByteArray home = qgetenv("HOME"), xdg = qgetenv("XDG_CONFIG_HOME");
    QCoreApplication::setApplicationName("Tintwell");
    qputenv("HOME", "/home/u");
    const char* const xdgValues[] = {"/x/cfg", nullptr, ""};
    for (const char* value : xdgValues) {
        SCOPED_TRACE(value ? value : "(unset)");
        value ? qputenv("XDG_CONFIG_HOME", value) : qunsetenv("XDG_CONFIG_HOME");
        EXPECT_EQ(SettingsLocation::UserConfigFolder(),
                  value && *value ? "/x/cfg/Tintwell" : "/home/u/.config/Tintwell");
        EXPECT_EQ(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation).toStdString(),
                  SettingsLocation::UserConfigFolder());
    }
    qputenv("HOME", home);
    xdg.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", xdg);
}

}  // namespace
}  // namespace tintwell::test
