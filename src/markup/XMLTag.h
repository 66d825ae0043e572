#pragma once

#include <string>
#include <vector>

#include "markup/XMLAttribute.h"
#include "markup/XMLTagKind.h"

namespace quillory {

// One token of a markup text: a tag with its attributes, or a run of text, or a comment.
class XMLTag {
public:
    XMLTag() = default;
    XMLTag(std::string name, int kind, std::vector<XMLAttribute> attributes);
    XMLTag(const XMLTag&) = default;
    XMLTag(XMLTag&&) noexcept = default;
    XMLTag& operator=(const XMLTag&) = default;
    XMLTag& operator=(XMLTag&&) noexcept = default;
    virtual ~XMLTag() = default;

    // Makes this token from the trimmed characters between '<' and '>': the first and last
    // characters give the kind (</a>, <?a?>, <!--a-->, <!a>, <a/>, <a>), the rest is split at
    // blanks outside quotes into the name and the attributes, empty pieces included.
    void Parse(const std::string& content);
    void Parse(const char* data, size_t size);
    // Renders the token with the brackets of its kind; TEXT comes out unchanged.
    void CreateText(std::string& out) const;
    void AppendText(std::string& out) const;

    std::string& GetName() { return name; }
    const std::string& GetName() const { return name; }
    int GetKind() const { return kind; }
    void SetKind(int value) { kind = value; }
    int GetLine() const { return line; }
    void SetLine(int value) { line = value; }
    std::vector<XMLAttribute>& GetAttributes() { return attributes; }
    const std::vector<XMLAttribute>& GetAttributes() const { return attributes; }
    void AddAttribute(const XMLAttribute& attribute) { attributes.push_back(attribute); }

    // The first attribute named exactly `attributeName`.
    bool FindAttribute(const std::string& attributeName, std::string& value) const;
    // Its value, or "" when absent.
    std::string GetAttribute(const std::string& attributeName) const;
    // strtod in the C locale; false (and 0) when absent, 0 for a non-number; throws XMLException on
    // overflow.
    bool GetAttributeDouble(const std::string& attributeName, double& out) const;
    // "TRUE" / "FALSE" exactly; false for anything else.
    bool GetAttributeBool(const std::string& attributeName, bool& out) const;

    std::string name; // for TEXT and COMMENT the text itself
    int kind = XMLTagKind::UNKNOWN;
    std::vector<XMLAttribute> attributes;
    int line = 0; // source line that completed the token; 0 when not parsed

private:
    friend class XMLDoc;
    const XMLAttribute* Lookup(const std::string& attributeName) const;
    // As Parse, for content inside a larger text: `readable` bytes from data may be read.
    void ParseContent(const char* data, size_t size, size_t readable);
    void ParseAttributes(const char* data, size_t size, size_t readable);
};

} // namespace quillory
