// The loader's text helpers and number conversions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mesh/ObjText.h"

namespace {

using Fields = std::vector<std::string>;

struct TextCase {
    const char* input;
    const char* expected;
};

TEST(ObjText, FirstToken) {
    const TextCase cases[] = {
        {"", ""},
        {" \t ", ""},
        {"v 1 2 3", "v"},
        {"\t usemtl  a", "usemtl"},
        {"f\r", "f\r"},  // a carriage return is not whitespace
        {"gear box", "gear"},
    };
    for (const TextCase& c : cases) EXPECT_EQ(c.expected, objl::FirstToken(c.input)) << c.input;
}

TEST(ObjText, LineTail) {
    const TextCase cases[] = {
        {"v 1 2 3", "1 2 3"},
        {"  g \t name with blanks \t ", "name with blanks"},
        {"g", ""},
        {"g  \t", ""},
        {"", ""},
        {"f 1 2 3 \r", "1 2 3 \r"},
        {"newmtl \r", "\r"},
    };
    for (const TextCase& c : cases) EXPECT_EQ(c.expected, objl::LineTail(c.input)) << c.input;
}

TEST(ObjText, SplitString) {
    struct Case {
        const char* text;
        const char* separator;
        Fields expected;
    };
    const Case cases[] = {
        {"1//3", "/", {"1", "", "3"}},
        {"1/2/3", "/", {"1", "2", "3"}},
        {"/1", "/", {"", "1"}},
        {"1/", "/", {"1"}},       // a single separator at the end: no trailing field
        {"1//", "/", {"1", ""}},  // two: one empty trailing field
        {"", "/", {}},
        {"a  b", " ", {"a", "", "b"}},
        {"x", " ", {"x"}},
        {"a::b", "::", {"a", "b"}},
        {"ab", "", {"ab"}},
        {"", "", {}},
    };
    Fields fields{"stale"};
    for (const Case& c : cases) {
        objl::SplitString(c.text, c.separator, fields);
        EXPECT_EQ(c.expected, fields) << '"' << c.text << "\" at \"" << c.separator << '"';
    }
}

TEST(ObjText, TrimLineEnd) {
    const TextCase cases[] = {
        {"name\r\n", "name"}, {"name\r\r", "name"}, {"\r\n", "\r\n"}, {"a\rb", "a\rb"}, {"", ""},
    };
    for (const TextCase& c : cases) EXPECT_EQ(c.expected, objl::TrimLineEnd(c.input)) << c.input;
}

TEST(ObjText, ParseFloat) {
    float value = 0.0f;
    EXPECT_TRUE(objl::ParseFloat("1.5", value));
    EXPECT_EQ(1.5f, value);
    EXPECT_TRUE(objl::ParseFloat(" \t-2e3xyz", value));
    EXPECT_EQ(-2000.0f, value);
    EXPECT_TRUE(objl::ParseFloat("0.3412\r", value));
    EXPECT_EQ(0.3412f, value);
    EXPECT_TRUE(objl::ParseFloat("1e-50", value));  // underflow rounds, it does not fail
    EXPECT_EQ(0.0f, value);
    value = 7.0f;
    for (const char* bad : {"", "abc", "-", "nan", "inf", "-infinity", "1e999"}) {
        EXPECT_FALSE(objl::ParseFloat(bad, value)) << bad;
        EXPECT_EQ(7.0f, value) << bad;
    }
}

TEST(ObjText, ParseIntegers) {
    long long wide = 0;
    EXPECT_TRUE(objl::ParseInteger(" -7abc", wide));
    EXPECT_EQ(-7, wide);
    EXPECT_FALSE(objl::ParseInteger("99999999999999999999", wide));
    EXPECT_FALSE(objl::ParseInteger("x1", wide));
    EXPECT_EQ(-7, wide);
    int narrow = 5;
    EXPECT_TRUE(objl::ParseInt32("2\r", narrow));
    EXPECT_EQ(2, narrow);
    EXPECT_FALSE(objl::ParseInt32("3000000000", narrow));
    EXPECT_FALSE(objl::ParseInt32("", narrow));
    EXPECT_EQ(2, narrow);
}

TEST(ObjText, ResolveIndex) {
    const std::vector<int> list{10, 20, 30};
    const struct {
        const char* text;
        int expected;
    } found[] = {{"1", 10}, {"3", 30}, {"-1", 30}, {"-3", 10}, {" 2", 20}, {"2abc", 20}};
    for (const auto& c : found) {
        int element = 0;
        EXPECT_TRUE(objl::ResolveIndex(list, c.text, element)) << c.text;
        EXPECT_EQ(c.expected, element) << c.text;
    }
    for (const char* bad : {"0", "4", "-4", "x", "", "-", "99999999999999999999",
                            "-9223372036854775808", "9223372036854775807"}) {
        int element = -1;
        EXPECT_FALSE(objl::ResolveIndex(list, bad, element)) << bad;
        EXPECT_EQ(-1, element) << bad;
    }
    int element = -1;
    EXPECT_FALSE(objl::ResolveIndex(std::vector<int>{}, "1", element));
    EXPECT_FALSE(objl::ResolveIndex(std::vector<int>{}, "-1", element));
}

TEST(ObjText, ForEachLine) {
    const struct {
        const char* text;
        Fields lines;
    } cases[] = {
        {"", {}}, {"a", {"a"}}, {"a\n", {"a"}}, {"a\r\n\nb", {"a\r", "", "b"}}, {"\n\n", {"", ""}},
    };
    for (const auto& c : cases) {
        Fields lines;
        objl::ForEachLine(c.text, [&lines](std::string_view line) { lines.emplace_back(line); });
        EXPECT_EQ(c.lines, lines) << c.text;
    }
}

}  // namespace
