#include "app/settings_place.h"

#include <gtest/gtest.h>

namespace quor {
namespace {

TEST(SettingsPlace, BesideTheProgramUnlessItsFolderIsReadOnlyAndHasNone) {
    struct Case {
        bool iniBeside;
        bool writable;
        const char* xdg;
        const char* home;
        const char* expected;
    };
    const Case cases[] = {
        {false, true, "/x", "/home/u", "/opt/q/bin/quorprn.ini"},
        {true, false, "/x", "/home/u", "/opt/q/bin/quorprn.ini"},
        {true, true, "", "/home/u", "/opt/q/bin/quorprn.ini"},
        {false, false, "/x/cfg", "/home/u", "/x/cfg/quorprn/quorprn.ini"},
        {false, false, "", "/home/u", "/home/u/.config/quorprn/quorprn.ini"},
        // A relative XDG_CONFIG_HOME is not valid and is passed over.
        {false, false, "cfg", "/home/u", "/home/u/.config/quorprn/quorprn.ini"},
        {false, false, "", "", "./.config/quorprn/quorprn.ini"},
    };
    for (const Case& c : cases) {
        const SettingsPlaceFacts facts{"/opt/q/bin/", c.iniBeside, c.writable, c.xdg, c.home};
        EXPECT_EQ(settingsFileFor(facts), c.expected) << c.iniBeside << c.writable << c.xdg;
    }
}

}  // namespace
}  // namespace quor
