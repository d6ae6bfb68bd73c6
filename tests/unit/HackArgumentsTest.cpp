#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "host/CommandLine.h"
#include "host/HackArguments.h"

namespace {

HackLaunch Translate(const std::vector<const char*>& arguments, const char* variable = nullptr) {
    return TranslateHackArguments(static_cast<int>(arguments.size()), arguments.data(), variable);
}

TEST(HackArguments, RootDrawsIntoTheDaemonsWindowOrFullScreen) {
    // The daemon names its window in hexadecimal or in decimal.
    for (const char* root : {"-root", "--root"}) {
        const HackLaunch hex = Translate({root}, "0x1A00007");
        EXPECT_EQ(hex.commandTail, "/p 27262983") << root;
        EXPECT_TRUE(hex.hostHandover) << root;
        EXPECT_EQ(Translate({root}, "4194311").commandTail, "/p 4194311") << root;
        // Without the variable (or with it empty): full screen.
        const HackLaunch full = Translate({root});
        EXPECT_EQ(full.commandTail, "/s") << root;
        EXPECT_TRUE(full.hostHandover) << root;
        EXPECT_EQ(Translate({root}, "").commandTail, "/s") << root;
    }
    // A malformed handover names no window: the bad-host failure follows.
    EXPECT_EQ(Translate({"--root"}, "window").commandTail, "/p 0");
}

TEST(HackArguments, WindowIdDrawsIntoThatWindow) {
    EXPECT_EQ(Translate({"-window-id", "0x2a"}).commandTail, "/p 42");
    EXPECT_EQ(Translate({"--window-id", "4194311"}).commandTail, "/p 4194311");
    EXPECT_TRUE(Translate({"--window-id", "7"}).hostHandover);
    // The id is the next argument, even when XSCREENSAVER_WINDOW is set.
    EXPECT_EQ(Translate({"--window-id", "7"}, "0x99").commandTail, "/p 7");
    // A missing id names no window.
    EXPECT_EQ(Translate({"--window-id"}).commandTail, "/p 0");
}

TEST(HackArguments, TheScreensaverSwitchesPassUnchanged) {
    const HackLaunch none = Translate({});
    EXPECT_EQ(none.commandTail, "");
    EXPECT_FALSE(none.hostHandover);
    const HackLaunch preview = Translate({"/p", "1234"}, "0x99");
    EXPECT_EQ(preview.commandTail, "/p 1234");
    EXPECT_FALSE(preview.hostHandover);  // the Windows way keeps the guard
    EXPECT_EQ(Translate({"/c:5", "x"}).commandTail, "/c:5 x");
    EXPECT_EQ(Translate({"/p", "", "5"}).commandTail, "/p  5");  // joined as before
    // Only the exact spellings count.
    for (const char* other : {"---root", "-Root", "root", "-rootx", "--window-id=5"}) {
        const HackLaunch launch = Translate({other}, "0x10");
        EXPECT_EQ(launch.commandTail, other);
        EXPECT_FALSE(launch.hostHandover) << other;
    }
}

TEST(HackArguments, TheTranslationParsesIntoTheModes) {
    // The last recognised switch wins, as with switches alone.
    const HackLaunch mixed = Translate({"/s", "--window-id", "0x10"});
    CCommandLine preview(mixed.commandTail.c_str());
    EXPECT_EQ(preview.mode, MODE_PREVIEW);
    EXPECT_EQ(preview.hostWindow, 16);
    CCommandLine full(Translate({"-root"}).commandTail.c_str());
    EXPECT_EQ(full.mode, MODE_SCREENSAVER);
}

TEST(ReadWindowId, TakesHexadecimalOrDecimalAndNothingElse) {
    EXPECT_EQ(ReadWindowId("0XfF"), 255);
    EXPECT_EQ(ReadWindowId("0x7fffffff"), INT_MAX);
    EXPECT_EQ(ReadWindowId("2147483647"), INT_MAX);
    for (const char* bad : {"", "0x", "12ab", "0x1g", "-5", "+5", " 5", "5 ", "0x80000000",
                            "2147483648", "99999999999999999999", "x10"}) {
        EXPECT_EQ(ReadWindowId(bad), 0) << "'" << bad << "'";
    }
    EXPECT_EQ(ReadWindowId(nullptr), 0);
}

}  // namespace
