// Text helpers of the OBJ/MTL loader. Whitespace means the space and the tab
// only; carriage returns and line feeds are ordinary characters here.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace objl {

// The first whitespace-separated token; empty for an empty or all-blank line.
std::string FirstToken(std::string_view line);
// Everything after the first token and the blanks behind it, up to the last
// non-blank character; empty when there is no second token.
std::string LineTail(std::string_view line);
// Fields between separators. Two separators in a row give an empty field,
// a leading separator a leading empty field, a single trailing one no field,
// an empty text no field. An empty separator gives the whole text as one
// field (none for an empty text).
void SplitString(std::string_view text, std::string_view separator,
                 std::vector<std::string>& fields);
// The text without its trailing CRs and LFs, unless it holds nothing else.
std::string TrimLineEnd(std::string_view text);

// Calls `line` for every line of `text`: each ends at a line feed, which is
// not part of it; text after the last line feed is a last line.
template <typename LineFunction>
void ForEachLine(std::string_view text, LineFunction&& line) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        line(text.substr(start, end - start));
        start = end + 1;
    }
}

// Number conversions that cannot throw. Leading whitespace is skipped and
// trailing characters are ignored, as with std::stof / std::stoi. They fail
// (and leave the value alone) when the text does not start with a number;
// ParseFloat also fails on a value that is not finite (nan, inf, overflow),
// the integer ones on a value outside their type.
bool ParseFloat(std::string_view text, float& value);
bool ParseInteger(std::string_view text, long long& value);
bool ParseInt32(std::string_view text, int& value);

// The list element an OBJ index names: i > 0 is element i - 1, i < 0 is
// element count + i (-1 the last). Index 0, an index beyond the list either
// way and text that is no number select nothing: the result is false and
// the element is left alone, so nothing outside the list is ever read.
template <typename T>
bool ResolveIndex(const std::vector<T>& list, std::string_view text, T& element) {
    long long i = 0;
    if (!ParseInteger(text, i)) return false;
    const auto count = static_cast<long long>(list.size());
    if (i > 0 && i <= count) {
        element = list[static_cast<std::size_t>(i - 1)];
        return true;
    }
    if (i < 0 && i >= -count) {
        element = list[static_cast<std::size_t>(count + i)];
        return true;
    }
    return false;
}

}  // namespace objl
