#include "mesh/ObjText.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace objl {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Start and end of the first token at or after `from`.
std::size_t TokenStart(std::string_view line, std::size_t from) {
    while (from < line.size() && IsBlank(line[from])) ++from;
    return from;
}

std::size_t TokenEnd(std::string_view line, std::size_t from) {
    while (from < line.size() && !IsBlank(line[from])) ++from;
    return from;
}

}  // namespace

std::string FirstToken(std::string_view line) {
    const std::size_t start = TokenStart(line, 0);
    return std::string(line.substr(start, TokenEnd(line, start) - start));
}

std::string LineTail(std::string_view line) {
    const std::size_t tail = TokenStart(line, TokenEnd(line, TokenStart(line, 0)));
    std::size_t end = line.size();
    while (end > tail && IsBlank(line[end - 1])) --end;
    return std::string(line.substr(tail, end - tail));
}

void SplitString(std::string_view text, std::string_view separator,
                 std::vector<std::string>& fields) {
    fields.clear();
    if (separator.empty()) {
        if (!text.empty()) fields.emplace_back(text);
        return;
    }
    const std::size_t n = text.size();
    const std::size_t m = separator.size();
    std::string field;
    for (std::size_t i = 0; i < n; ++i) {
        if (text.compare(i, m, separator) == 0) {
            if (field.empty()) {
                fields.emplace_back();
            } else {
                fields.push_back(field);
                field.clear();
                i += m - 1;
            }
        } else if (i + m >= n) {
            field.append(text.substr(i, m));
            fields.push_back(field);
            return;
        } else {
            field += text[i];
        }
    }
}

std::string TrimLineEnd(std::string_view text) {
    std::size_t end = text.size();
    while (end > 0 && (text[end - 1] == '\r' || text[end - 1] == '\n')) --end;
    return std::string(end == 0 ? text : text.substr(0, end));
}

bool ParseFloat(std::string_view text, float& value) {
    const std::string copy(text);  // strtof needs the terminator
    char* end = nullptr;
    const float parsed = std::strtof(copy.c_str(), &end);
    if (end == copy.c_str() || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

bool ParseInteger(std::string_view text, long long& value) {
    const std::string copy(text);
    char* end = nullptr;
    errno = 0;
    const long long parsed = std::strtoll(copy.c_str(), &end, 10);
    if (end == copy.c_str() || errno == ERANGE) return false;
    value = parsed;
    return true;
}

bool ParseInt32(std::string_view text, int& value) {
    long long parsed = 0;
    if (!ParseInteger(text, parsed) || parsed < INT_MIN || parsed > INT_MAX) return false;
    value = static_cast<int>(parsed);
    return true;
}

}  // namespace objl
