#include "markup/XMLEscape.h"

#include <cstring>

#include "foundation/StringUtils.h"

namespace quillory {

std::string XMLEscape(const std::string& text) {
    if (text.find_first_of("\"&'<>") == std::string::npos)
        return text;
    std::string out;
    out.reserve(text.size() + 16);
    for (char c : text) {
        switch (c) {
        case '"':
            out += "&quot;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '\'':
            out += "&apos;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string XMLUnescape(const std::string& text) {
    std::string out = text;
    if (out.find('&') == std::string::npos)
        return out;
    StringUtils::ReplaceAll(out, "&lt;", "<");
    StringUtils::ReplaceAll(out, "&gt;", ">");
    StringUtils::ReplaceAll(out, "&quot;", "\"");
    StringUtils::ReplaceAll(out, "&apos;", "'");
    StringUtils::ReplaceAll(out, "&amp;", "&");
    return out;
}

} // namespace quillory
