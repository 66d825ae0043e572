#include "markup/XMLDoc.h"

#include <algorithm>

#include "foundation/Exception.h"
#include "markup/CharScan.h"

namespace quillory {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

XMLDoc::~XMLDoc() {
    Clear();
}

// Tokens go in reverse order of their making, so that the attribute lists are freed last-allocated
// first: the allocator can then merge each one straight into free space instead of searching its bins
// (about a quarter of the time of reading the data file went into those bins).
void XMLDoc::Clear() {
    while (!tags.empty())
        tags.pop_back();
}

void XMLDoc::Parse(const std::string& text) {
    Clear();
    Input input(text);
    ParseMore(input, text.size());
}

XMLDoc::Input::Input(const std::string& text) : base(text.data()), span(text.data()) {
    const CharScan::Census census = CharScan::TakeCensus(text.data(), text.data() + text.size());
    end = census.end;
    marks = census.marks;
}

// A token is the span between the last '<' or '>' that ended a token and the next one. The input
// is classified 64 bytes at a time into bit masks of '<', '>', '"' and '\n'. Outside a tag the next
// boundary is simply the next '<' or '>'. Inside a tag it is the next '<' or '>' with an even number
// of double quotes between the tag's start and itself, found for a whole block at once from the
// running parity of the quote bits. Each token is built in place from its span; its line is the
// line count at the start of its block plus the newlines below its bit.
void XMLDoc::ParseMore(Input& in, size_t minBytes) {
    using namespace CharScan;
    // Every token is completed by a '<' or '>' and holds at least one other byte. Reserving for that
    // many would cost a hostile page of brackets a huge reservation; real pages and the data file
    // have one token in well over eight bytes, and anything denser just lets the vector grow.
    const size_t stretch = std::min(minBytes, static_cast<size_t>(in.end - in.base));
    tags.reserve(tags.size() + std::min(in.marks, stretch / 8 + 16));

    const char* const stop = in.base + stretch;
    for (; in.base < in.end && in.base < stop; in.base += 64) {
        const char* const base = in.base;
        const size_t size = static_cast<size_t>(in.end - base);
        const Block block(base, size, size);
        const TextMasks masks = ClassifyText(block.bytes);
        const uint64_t valid = ValidBits(size);
        const uint64_t brackets = (masks.lt | masks.gt) & valid;
        uint64_t ahead = valid; // bits not yet passed
        while (true) {
            uint64_t candidates = brackets & ahead;
            if (in.inside) {
                const uint64_t quoted = PrefixXor(masks.quote & ahead) ^ (in.inQuote ? ~uint64_t{0} : 0);
                candidates &= ~quoted;
                if (candidates == 0) {
                    in.inQuote = (quoted >> 63) != 0;
                    break;
                }
                in.inQuote = false;
            } else if (candidates == 0) {
                break;
            }
            const int i = LowestBit(candidates);
            ahead = ClearThrough(ahead, i);
            const char* const p = base + i;
            const char* first = in.span;
            const char* last = p;
            while (first < last && IsBlank(*first))
                ++first;
            while (last > first && IsBlank(last[-1]))
                --last;
            const bool lt = *p == '<';
            if (first < last) {
                XMLTag& tag = NewTag();
                if (lt) {
                    tag.name.assign(first, static_cast<size_t>(last - first));
                    tag.kind = XMLTagKind::TEXT;
                    tag.attributes.clear();
                } else {
                    tag.ParseContent(first, static_cast<size_t>(last - first), static_cast<size_t>(in.end - first));
                }
                tag.line = in.lineAtBlock + PopCount(masks.newline & Below(i));
            }
            in.inside = lt;
            in.span = p + 1;
        }
        in.lineAtBlock += PopCount(masks.newline & valid);
    }
    // Whatever is left at the end (text after the last tag, an unterminated tag) is not a token.
}

XMLTag& XMLDoc::NewTag() {
    if (spare.empty())
        return tags.emplace_back();
    XMLTag& tag = tags.emplace_back(std::move(spare.back()));
    spare.pop_back();
    return tag;
}

void XMLDoc::DropFront(unsigned count) {
    const size_t dropped = std::min<size_t>(count, tags.size());
    for (size_t i = 0; i < dropped; ++i)
        spare.push_back(std::move(tags[i]));
    tags.erase(tags.begin(), tags.begin() + static_cast<long>(dropped));
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
