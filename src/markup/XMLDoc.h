#pragma once

#include <string>
#include <vector>

#include "markup/XMLTag.h"

namespace quillory {

// A markup text as a flat vector of tokens, no tree and no validation. Parse never fails: any bytes
// give a (possibly empty) token vector. The same class writes markup: Add tokens, then CreateText.
class XMLDoc {
public:
    XMLDoc() = default;
    XMLDoc(const XMLDoc&) = default;
    XMLDoc(XMLDoc&&) noexcept = default;
    XMLDoc& operator=(const XMLDoc&) = default;
    XMLDoc& operator=(XMLDoc&&) noexcept = default;
    virtual ~XMLDoc();

    // Replaces the content by the tokens of `text`, which ends at its first NUL. Text after the last
    // tag and an unterminated tag are dropped.
    void Parse(const std::string& text);

    // A text being tokenized a stretch at a time, for reading a large file without holding all of
    // its tokens. The text must outlive the Input.
    class Input {
    public:
        explicit Input(const std::string& text);
        bool AtEnd() const { return base >= end; }

    private:
        friend class XMLDoc;
        const char* end;      // the first NUL, or the end of the text
        const char* base;     // the next 64-byte block
        const char* span;     // start of the pending token
        bool inside = false;  // after a '<'
        bool inQuote = false; // inside a tag's double quotes
        int lineAtBlock = 1;
        size_t marks; // '<' and '>' in the whole text
    };
    // Appends the tokens of at least the next `minBytes` bytes of `input`: over all calls, exactly
    // the tokens Parse gives for the whole text.
    void ParseMore(Input& input, size_t minBytes);
    // Removes the first `count` tokens, so a reader can slide its window; their storage is reused
    // by the next ParseMore, which then allocates next to nothing.
    void DropFront(unsigned count);

    unsigned GetTagCount() const { return static_cast<unsigned>(tags.size()); }
    // Throw XMLException for an index at or past the end.
    XMLTag& operator[](unsigned index);
    const XMLTag& operator[](unsigned index) const;
    const std::vector<XMLTag>& GetTags() const { return tags; }

    // The first index >= startIndex whose token has exactly this name and kind and, for every
    // condition, an attribute value equal to the condition's value (a missing attribute reads as "");
    // -1 when none.
    int FindTag(const std::string& name, int kind, unsigned startIndex,
                const std::vector<XMLAttribute>& conditions = {}) const;

    void AddTag(const XMLTag& tag) { tags.push_back(tag); }
    void AddStartTag(const std::string& name, const std::vector<XMLAttribute>& attributes);
    void AddEmptyTag(const std::string& name, const std::vector<XMLAttribute>& attributes);
    void AddEndTag(const std::string& name);

    // Every token's text followed by CR LF.
    void CreateText(std::string& out) const;

private:
    void Clear();

    XMLTag& NewTag();

    std::vector<XMLTag> tags;
    std::vector<XMLTag> spare; // dropped tokens whose strings and attribute lists are reused
};

} // namespace quillory
