#include "markup/XMLDoc.h"

#include "foundation/Exception.h"
#include "markup/CharScan.h"

namespace quillory {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

// The tokenizer's buffer always holds the input between the last '<' or '>' that ended a token and
// the current character, so it is kept as that span instead of being filled byte by byte: the loop
// jumps from one significant character to the next ('<' and '>' outside tags; '<', '>' and '"'
// inside; only '"' within a double-quoted section) and builds each token in place from its span.
// Lines are counted only when a token is made.
void XMLDoc::Parse(const std::string& text) {
    tags.clear();
    buffer.clear();
    quote = 0;
    inTag = false;
    line = 1;

    const char* const begin = text.data();
    const CharScan::Census census = CharScan::TakeCensus(begin, begin + text.size());
    const char* const end = census.end;
    tags.reserve(census.marks);

    const char* span = begin;    // start of the buffer
    const char* counted = begin; // newlines before this point are in `line`
    const char* p = begin;
    bool inQuote = false;
    bool inside = false;
    while (true) {
        if (inQuote) {
            p = CharScan::Find(p, end, '"');
            if (p == end)
                break;
            ++p;
            inQuote = false;
            continue;
        }
        p = inside ? CharScan::FindAny(p, end, '<', '>', '"') : CharScan::FindAny(p, end, '<', '>');
        if (p == end)
            break;
        const char c = *p;
        if (c == '"') {
            inQuote = true;
            ++p;
            continue;
        }
        const char* first = span;
        const char* last = p;
        while (first < last && IsBlank(*first))
            ++first;
        while (last > first && IsBlank(last[-1]))
            --last;
        if (first < last) {
            line += static_cast<int>(CharScan::CountNewlines(counted, p));
            counted = p;
            XMLTag& tag = tags.emplace_back();
            if (c == '<') {
                tag.name.assign(first, static_cast<size_t>(last - first));
                tag.kind = XMLTagKind::TEXT;
            } else {
                tag.Parse(first, static_cast<size_t>(last - first));
            }
            tag.line = line;
        }
        inside = c == '<';
        span = ++p;
    }
    // Whatever is left (text after the last tag, an unterminated tag) is not a token.
    line += static_cast<int>(CharScan::CountNewlines(counted, end));
    quote = inQuote ? '"' : 0;
    inTag = inside;
}

XMLTag& XMLDoc::operator[](unsigned index) {
    if (index >= tags.size())
        throw XMLException("XMLTag & XMLDoc::operator [] () - Invalid index!");
    return tags[index];
}

const XMLTag& XMLDoc::operator[](unsigned index) const {
    if (index >= tags.size())
        throw XMLException("XMLTag & XMLDoc::operator [] () const - Invalid index!");
    return tags[index];
}

int XMLDoc::FindTag(const std::string& name, int kind, unsigned startIndex,
                    const std::vector<XMLAttribute>& conditions) const {
    for (size_t i = startIndex; i < tags.size(); ++i) {
        const XMLTag& tag = tags[i];
        if (tag.kind != kind || tag.name != name)
            continue;
        bool matches = true;
        for (const XMLAttribute& condition : conditions) {
            const XMLAttribute* attribute = tag.Lookup(condition.name);
            const std::string& value = attribute != nullptr ? attribute->value : std::string();
            if (value != condition.value) {
                matches = false;
                break;
            }
        }
        if (matches)
            return static_cast<int>(i);
    }
    return -1;
}

void XMLDoc::AddStartTag(const std::string& name, const std::vector<XMLAttribute>& attributes) {
    tags.emplace_back(name, XMLTagKind::START, attributes);
}

void XMLDoc::AddEmptyTag(const std::string& name, const std::vector<XMLAttribute>& attributes) {
    tags.emplace_back(name, XMLTagKind::EMPTY, attributes);
}

void XMLDoc::AddEndTag(const std::string& name) {
    tags.emplace_back(name, XMLTagKind::END, std::vector<XMLAttribute>());
}

void XMLDoc::CreateText(std::string& out) const {
    out.clear();
    for (const XMLTag& tag : tags) {
        tag.AppendText(out);
        out += "\r\n";
    }
}

} // namespace quillory
