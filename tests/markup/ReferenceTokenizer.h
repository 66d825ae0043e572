#pragma once

// A deliberately plain tokenizer that follows the character step literally (one character at a time
// into a growing buffer, attributes cut with SplitQuoted below). The fast XMLDoc::Parse must
// give the same tokens; the tests and the fuzz target compare the two.

#include <string>
#include <vector>

#include "foundation/StringUtils.h"
#include "markup/XMLDoc.h"

namespace quillory::reference {

// Cuts at every delimiter outside a stretch quoted by '"' or '\'' (when `quotes`); "" gives {""}.
inline std::vector<std::string> SplitQuoted(const std::string& text, const std::string& delimiters, bool quotes) {
    std::vector<std::string> out;
    char quote = 0;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quotes && quote != 0) {
            if (c == quote)
                quote = 0;
        } else if (quotes && (c == '"' || c == '\'')) {
            quote = c;
        } else if (delimiters.find(c) != std::string::npos) {
            out.emplace_back(text, start, i - start);
            start = i + 1;
        }
    }
    out.emplace_back(text, start, text.size() - start);
    return out;
}

inline XMLAttribute ParseAttribute(const std::string& token) {
    std::vector<std::string> pieces = SplitQuoted(token, "=", true);
    XMLAttribute attribute;
    attribute.hasValue = pieces.size() != 1;
    for (const std::string& piece : pieces) {
        if (attribute.name.empty())
            attribute.name = piece;
        else
            attribute.value += piece;
    }
    std::string& value = attribute.value;
    if (!value.empty() && value.front() == '"' && value.back() == '"') {
        value = value.size() >= 2 ? value.substr(1, value.size() - 2) : std::string();
    } else if (!value.empty() && value.front() == '\'' && value.back() == '\'') {
        value = value.size() >= 2 ? value.substr(1, value.size() - 2) : std::string();
        attribute.quote = '\'';
    }
    return attribute;
}

inline XMLTag ParseTag(const std::string& content) {
    XMLTag tag;
    const size_t n = content.size();
    std::string rest;
    if (n == 0) {
        tag.kind = XMLTagKind::START;
    } else if (content[0] == '/') {
        tag.kind = XMLTagKind::END;
        rest = content.substr(1);
    } else if (content[0] == '?' && content[n - 1] == '?') {
        tag.kind = XMLTagKind::SYSTEM;
        rest = n >= 2 ? content.substr(1, n - 2) : std::string();
    } else if (n > 3 && content.starts_with("!--") && content.ends_with("--")) {
        tag.kind = XMLTagKind::COMMENT;
        tag.name = n > 5 ? content.substr(3, n - 5) : std::string();
        return tag;
    } else if (content[0] == '!') {
        tag.kind = XMLTagKind::DTD;
        rest = content.substr(1);
    } else if (content[n - 1] == '/') {
        tag.kind = XMLTagKind::EMPTY;
        rest = content.substr(0, n - 1);
    } else {
        tag.kind = XMLTagKind::START;
        rest = content;
    }
    std::vector<std::string> pieces = SplitQuoted(rest, " \t\n\r", true);
    tag.name = pieces[0];
    for (size_t i = 1; i < pieces.size(); ++i)
        tag.attributes.push_back(ParseAttribute(pieces[i]));
    return tag;
}

inline std::vector<XMLTag> Tokenize(const std::string& text) {
    std::vector<XMLTag> tags;
    std::string buffer;
    char quote = 0;
    bool inTag = false;
    int line = 1;
    for (char c : text) {
        if (c == 0)
            break;
        if (c == '\n')
            ++line;
        if (c == '"') {
            if (inTag)
                quote = quote == 0 ? '"' : 0;
            buffer += c;
        } else if (c == '<') {
            if (inTag && quote != 0) {
                buffer += c;
                continue;
            }
            StringUtils::Trim(buffer);
            if (!buffer.empty()) {
                XMLTag tag(buffer, XMLTagKind::TEXT, {});
                tag.line = line;
                tags.push_back(tag);
                buffer.clear();
            }
            inTag = true;
        } else if (c == '>') {
            if (inTag && quote != 0) {
                buffer += c;
                continue;
            }
            StringUtils::Trim(buffer);
            if (!buffer.empty()) {
                XMLTag tag = ParseTag(buffer);
                tag.line = line;
                tags.push_back(tag);
                buffer.clear();
            }
            inTag = false;
        } else {
            buffer += c;
        }
    }
    return tags;
}

// One line per token, with everything that the comparison must see.
inline std::string Describe(const XMLTag& tag) {
    std::string out = std::to_string(tag.kind) + "@" + std::to_string(tag.line) + " [" + tag.name + "]";
    for (const XMLAttribute& a : tag.attributes) {
        out += " {" + a.name + "}";
        if (a.hasValue)
            out += std::string("=") + a.quote + a.value + a.quote;
    }
    return out;
}

inline std::string Describe(const std::vector<XMLTag>& tags) {
    std::string out;
    for (const XMLTag& tag : tags)
        out += Describe(tag) + "\n";
    return out;
}

inline std::string Describe(const XMLDoc& doc) {
    return Describe(doc.GetTags());
}

} // namespace quillory::reference

namespace quillory::reference {

inline bool Same(const XMLAttribute& a, const XMLAttribute& b) {
    return a.name == b.name && a.value == b.value && a.hasValue == b.hasValue && a.quote == b.quote;
}

inline bool Same(const XMLTag& a, const XMLTag& b) {
    if (a.name != b.name || a.kind != b.kind || a.line != b.line || a.attributes.size() != b.attributes.size())
        return false;
    for (size_t i = 0; i < a.attributes.size(); ++i)
        if (!Same(a.attributes[i], b.attributes[i]))
            return false;
    return true;
}

inline bool Same(const std::vector<XMLTag>& a, const std::vector<XMLTag>& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (!Same(a[i], b[i]))
            return false;
    return true;
}

} // namespace quillory::reference
