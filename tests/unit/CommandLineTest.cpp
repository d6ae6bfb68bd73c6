#include <gtest/gtest.h>

#include <climits>

#include "host/CommandLine.h"

namespace {

struct ParseCase {
    const char* tail;
    int mode;
    int hostWindow;
};

class CommandLineParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(CommandLineParse, GivesModeAndHostWindow) {
    const ParseCase& c = GetParam();
    CCommandLine commandLine(c.tail);
    EXPECT_EQ(commandLine.mode, c.mode) << "tail: '" << c.tail << "'";
    EXPECT_EQ(commandLine.hostWindow, c.hostWindow) << "tail: '" << c.tail << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Switches, CommandLineParse,
    ::testing::Values(ParseCase{"", MODE_NONE, 0},               // no switch: full screen, guarded
                      ParseCase{"/s", MODE_SCREENSAVER, 0},      // text ends before the number
                      ParseCase{"/p 1234", MODE_PREVIEW, 1234},  // blank separator
                      ParseCase{"/c:5678", MODE_CONFIGURE, 5678},  // colon separator
                      ParseCase{"/S", MODE_NONE, 0},               // upper case is not a switch
                      ParseCase{"/P 12", MODE_NONE, 0}, ParseCase{"/C", MODE_NONE, 0},
                      ParseCase{"/s /p 99", MODE_PREVIEW, 99},  // the last switch wins
                      ParseCase{"/p 100 /x 7", MODE_PREVIEW,
                                7},                              // later slashes re-read the number
                      ParseCase{"/p", MODE_PREVIEW, 0},          // switch at the very end
                      ParseCase{"/p ", MODE_PREVIEW, 0},         // separator, then the end
                      ParseCase{"/p x12", MODE_PREVIEW, 0},      // exactly one separator is skipped
                      ParseCase{"/p12345", MODE_PREVIEW, 2345},  // ... whatever it is
                      ParseCase{"/p   42", MODE_PREVIEW, 42},    // atoi skips further blanks
                      ParseCase{"/p -5", MODE_PREVIEW, -5},      // and takes a sign
                      ParseCase{"/p 12abc", MODE_PREVIEW, 12},   // digits up to the first non-digit
                      ParseCase{"/x 5", MODE_NONE, 0},           // no switch seen: number not read
                      ParseCase{"/x 5 /s", MODE_SCREENSAVER, 0},
                      ParseCase{"/s/", MODE_SCREENSAVER, 0},  // slash as the last character
                      ParseCase{"//p 3", MODE_PREVIEW, 3}, ParseCase{"-s", MODE_NONE, 0}));

TEST(ReadHandleNumber, ReadsLikeAtoiWithinRange) {
    EXPECT_EQ(ReadHandleNumber(""), 0);
    EXPECT_EQ(ReadHandleNumber("abc"), 0);
    EXPECT_EQ(ReadHandleNumber(" \t\n+17x"), 17);
    EXPECT_EQ(ReadHandleNumber("-"), 0);
    EXPECT_EQ(ReadHandleNumber("2147483647"), INT_MAX);
    EXPECT_EQ(ReadHandleNumber("-2147483648"), INT_MIN);
}

TEST(ReadHandleNumber, SaturatesInsteadOfOverflowing) {
    EXPECT_EQ(ReadHandleNumber("2147483648"), INT_MAX);
    EXPECT_EQ(ReadHandleNumber("99999999999999999999999999"), INT_MAX);
    EXPECT_EQ(ReadHandleNumber("-2147483649"), INT_MIN);
    EXPECT_EQ(ReadHandleNumber("-99999999999999999999999999"), INT_MIN);
    CCommandLine commandLine("/p 99999999999");
    EXPECT_EQ(commandLine.hostWindow, INT_MAX);
}

}  // namespace
