#include "markup/XMLAttribute.h"

#include "foundation/StringUtils.h"

namespace quillory {

XMLAttribute::XMLAttribute(std::string name, std::string value, bool hasValue)
    : name(std::move(name)), value(std::move(value)), hasValue(hasValue) {}

XMLAttribute::XMLAttribute(std::string name, const char* value)
    : name(std::move(name)), value(value != nullptr ? value : ""), hasValue(value != nullptr) {}

XMLAttribute::XMLAttribute(std::string name, std::nullptr_t) : name(std::move(name)), hasValue(false) {}

XMLAttribute::XMLAttribute(std::string name, double value)
    : name(std::move(name)), value(StringUtils::ToString(value)) {}

XMLAttribute::XMLAttribute(std::string name, bool value) : name(std::move(name)), value(value ? "TRUE" : "FALSE") {}

void XMLAttribute::Parse(const std::string& token) {
    Parse(token.data(), token.size());
}

void XMLAttribute::Parse(const char* data, size_t size) {
    // Find the first '=' outside quotes and whether another one follows.
    size_t first = std::string::npos;
    bool more = false;
    char open = 0;
    for (size_t i = 0; i < size; ++i) {
        char c = data[i];
        if (open != 0) {
            if (c == open)
                open = 0;
        } else if (c == '"' || c == '\'') {
            open = c;
        } else if (c == '=') {
            if (first != std::string::npos) {
                more = true;
                break;
            }
            first = i;
        }
    }
    ParseSplit(data, size, first, more);
}

void XMLAttribute::ParseSplit(const char* data, size_t size, size_t firstEquals, bool moreEquals) {
    quote = '"';
    if (firstEquals == std::string::npos) {
        name.assign(data, size);
        value.clear();
        hasValue = false;
        return;
    }
    hasValue = true;
    if (firstEquals > 0 && !moreEquals) {
        name.assign(data, firstEquals);
        AssignValue(data + firstEquals + 1, size - firstEquals - 1);
        return;
    }
    // The rare shapes (a=b=c, =a, a==b): the first non-empty piece is the name, every later piece is
    // appended to the value, the '=' themselves are dropped.
    name.clear();
    std::string joined;
    char open = 0;
    size_t start = 0;
    for (size_t i = 0; i <= size; ++i) {
        char c = i < size ? data[i] : '=';
        if (i < size && open != 0) {
            if (c == open)
                open = 0;
            continue;
        }
        if (i < size && (c == '"' || c == '\'')) {
            open = c;
            continue;
        }
        if (c != '=')
            continue;
        if (name.empty())
            name.assign(data + start, i - start);
        else
            joined.append(data + start, i - start);
        start = i + 1;
    }
    AssignValue(joined.data(), joined.size());
}

void XMLAttribute::AssignValue(const char* data, size_t size) {
    // A lone quote counts as starting and ending with it and leaves an empty value.
    if (size > 0 && data[0] == data[size - 1] && (data[0] == '"' || data[0] == '\'')) {
        quote = data[0];
        if (size >= 2)
            value.assign(data + 1, size - 2);
        else
            value.clear();
    } else {
        value.assign(data, size);
    }
}

void XMLAttribute::CreateText(std::string& out) const {
    out.clear();
    AppendText(out);
}

void XMLAttribute::AppendText(std::string& out) const {
    out += name;
    if (hasValue) {
        out += '=';
        out += quote;
        out += value;
        out += quote;
    }
}

} // namespace quillory
