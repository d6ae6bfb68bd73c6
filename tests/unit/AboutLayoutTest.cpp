// The About window's portable rules: where it goes on the screen, which
// command opens the web site, and the fixed texts and layout both windows
// draw from.
#include <gtest/gtest.h>

#include <cstdint>
#include <regex>
#include <string>

#include "ResourceReading.h"
#include "about/AboutLayout.h"
#include "resources/ResourceIds.h"

namespace {

using about::Box;

TEST(AboutWindowPosition, CentresTheWindowWithTruncatedHalves) {
    struct Case {
        int screenWidth, screenHeight, x, y;
    };
    const Case cases[] = {
        {1920, 1080, 760, 390},  {1365, 767, 482, 233},  // 482.5 and 233.5 truncated
        {400, 300, 0, 0},        {401, 301, 0, 0},
        {399, 299, 0, 0},    // -0.5 truncates toward zero, not down to -1
        {1, 1, -199, -149},  // -199.5 and -149.5, toward zero
        {3840, 2160, 1720, 930},
    };
    for (const Case& c : cases) {
        const about::Point p = about::CentredWindowPosition(c.screenWidth, c.screenHeight);
        EXPECT_EQ(p.x, c.x) << c.screenWidth << "x" << c.screenHeight;
        EXPECT_EQ(p.y, c.y) << c.screenWidth << "x" << c.screenHeight;
    }
}

TEST(AboutWebsiteCommand, IsTheWholeWParamOfTheButtonsClick) {
    EXPECT_TRUE(about::IsWebsiteCommand(10));                // id 10, BN_CLICKED (0) above it
    EXPECT_FALSE(about::IsWebsiteCommand((1u << 16) | 10));  // another notification
    EXPECT_FALSE(about::IsWebsiteCommand((5u << 16) | 10));
    EXPECT_FALSE(about::IsWebsiteCommand(30));  // the product line's id
    EXPECT_FALSE(about::IsWebsiteCommand(0));
    EXPECT_FALSE(about::IsWebsiteCommand(static_cast<std::uintptr_t>(1) << 32 | 10));
}

TEST(AboutTexts, AreTheFixedOnes) {
    EXPECT_STREQ(about::kWindowCaption, "About");
    EXPECT_STREQ(about::kWindowClassName, "OstrelWindowClass");
    EXPECT_STREQ(about::kButtonCaption, "Visit website");
    EXPECT_STREQ(about::kProductLine, "Tolvane Screensaver");
}

TEST(AboutTexts, NoticeIsThreeLinesSeparatedByCrLf) {
    const std::string notice = about::kNotice;
    EXPECT_EQ(notice.find("\r\n\r\n"), std::string::npos);
    EXPECT_NE(notice.substr(notice.size() - 2), "\r\n") << "no line break after the last line";
    const auto lines = about::NoticeLines();
    ASSERT_EQ(lines.size(), 3u);
    for (const std::string& line : lines) {
        EXPECT_FALSE(line.empty());
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
        for (char c : line) EXPECT_TRUE(c >= 0x20 && c < 0x7F) << "plain ASCII: " << line;
    }
    EXPECT_EQ(lines[0] + "\r\n" + lines[1] + "\r\n" + lines[2], notice);

    // A copyright line with holder and years, a pointer to the site, a
    // contact address on the site's own domain.
    EXPECT_TRUE(std::regex_search(lines[0], std::regex(R"(^Copyright .*\b20\d\d-20\d\d \w+)")))
        << lines[0];
    const std::string site = about::kWebsiteAddress;
    std::smatch address;
    ASSERT_TRUE(std::regex_match(
        site, address, std::regex(R"(^https://(www\.([a-z]+\.[a-z]+))/\?utm_source=About$)")))
        << about::kWebsiteAddress;
    EXPECT_NE(lines[1].find("free screensavers"), std::string::npos) << lines[1];
    EXPECT_NE(lines[1].find(address[1].str()), std::string::npos) << lines[1];
    EXPECT_TRUE(std::regex_search(lines[2], std::regex("[a-z]+@" + address[2].str() + "$")))
        << lines[2];
}

TEST(AboutLayout, ElementsLieInsideTheWindow) {
    const Box window{0, 0, about::kWindowWidth, about::kWindowHeight};
    for (const Box& b :
         {about::kProductLineBox, about::kPictureBox, about::kNoticeBox, about::kButtonBox}) {
        EXPECT_TRUE(window.Contains(b.x, b.y));
        EXPECT_TRUE(window.Contains(b.x + b.width - 1, b.y + b.height - 1));
    }
    // Contains takes the top and left edges, not the bottom and right ones:
    // the button's click test depends on it.
    const Box& b = about::kButtonBox;
    EXPECT_TRUE(b.Contains(150, 210));
    EXPECT_TRUE(b.Contains(249, 241));
    EXPECT_FALSE(b.Contains(250, 220));
    EXPECT_FALSE(b.Contains(200, 242));
    EXPECT_FALSE(b.Contains(149, 220));
    EXPECT_FALSE(b.Contains(200, 209));
}

TEST(AboutLayout, PictureBoxIsTheSizeOfBitmap182) {
    const auto dib = ReadDib(ByteReader(FindResourceBytes(kPreviewBitmapId, kBitmapResource)));
    ASSERT_TRUE(dib.has_value());
    EXPECT_EQ(dib->width, about::kPictureBox.width);
    EXPECT_EQ(dib->height, about::kPictureBox.height);
}

}  // namespace
