#include "StringUtils.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "DoubleText.h"
#include "Log.h"

namespace quillory::StringUtils {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

template <typename Container>
void SplitInto(const std::string& text, const std::string& delimiters, Container& out, bool quotes) {
    char quote = 0;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (quotes) {
            if (quote != 0) {
                if (c == quote)
                    quote = 0;
                continue;
            }
            if (c == '"') {
                quote = c;
                continue;
            }
        }
        if (delimiters.find(c) != std::string::npos) {
            out.emplace_back(text, start, i - start);
            start = i + 1;
        }
    }
    out.emplace_back(text, start, text.size() - start);
}

} // namespace

std::string ToString(int32_t value) {
    char buffer[80];
    int n = std::snprintf(buffer, sizeof buffer, "%d", value);
    if (n < 0 || n >= 80) {
        LogError("StringUtils::ToString(Int32) - Conversion exceeds 80 byte limit.");
        return std::string();
    }
    return std::string(buffer, static_cast<size_t>(n));
}

std::string ToString(double value) {
    // Our own exact "%.16g": at most 24 characters, so the 80-byte limit cannot be reached.
    std::string text;
    AppendDouble(text, value);
    return text;
}

double ToDouble(const std::string& text) {
    return std::strtod(text.c_str(), nullptr);
}

void Trim(std::string& text) {
    size_t end = text.size();
    while (end > 0 && IsBlank(text[end - 1]))
        --end;
    size_t begin = 0;
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    text.erase(end);
    text.erase(0, begin);
}

void Split(const std::string& text, const std::string& delimiters, std::vector<std::string>& out, bool quotes) {
    if (text.empty()) {
        out.clear();
        return;
    }
    SplitInto(text, delimiters, out, quotes);
}

void Split(const std::string& text, const std::string& delimiters, std::list<std::string>& out, bool quotes) {
    if (text.empty()) {
        out.clear();
        return;
    }
    SplitInto(text, delimiters, out, quotes);
}

void ToLower(std::string& text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
}

void ToUpper(std::string& text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
}

int ReplaceAll(std::string& text, const std::string& search, const std::string& replacement) {
    if (search.empty())
        return 0;
    int count = 0;
    for (size_t pos = text.find(search); pos != std::string::npos; pos = text.find(search, pos)) {
        text.replace(pos, search.size(), replacement);
        pos += replacement.size();
        ++count;
    }
    return count;
}

int ReplaceChar(std::string& text, char search, char replacement) {
    int count = 0;
    for (char& c : text) {
        if (c == search) {
            c = replacement;
            ++count;
        }
    }
    return count;
}

bool IsDigits(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace quillory::StringUtils

namespace quillory::UnicodeUtils {

std::string Unicode2Ansi(const std::u16string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            LogError("UnicodeUtils::Unicode2Ansi() - wcstombs returned error!");
            return std::string();
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

} // namespace quillory::UnicodeUtils
