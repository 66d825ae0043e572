#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "markup/XMLAttribute.h"
#include "markup/XMLDoc.h"

namespace quillory {

// Base of every quote source: the named text parameters that carry a run's inputs and outputs, the
// proxy handed to each download, and the text and tokens of the last page fetched.
class DataExtractor {
public:
    using Parameter = std::pair<std::string, std::string>;

    DataExtractor() = default;
    DataExtractor(const DataExtractor&) = delete;
    DataExtractor& operator=(const DataExtractor&) = delete;
    virtual ~DataExtractor() = default;

    // Downloads and searches; true when the outputs the source guarantees are set.
    virtual bool Run() = 0;

    // Replaces the value of an existing name in place, or appends a new pair.
    void SetParameter(const std::string& name, const std::string& value);
    void SetParameter(const std::string& name, const char* value);
    void SetParameter(const std::string& name, int32_t value); // "%d"
    void SetParameter(const std::string& name, double value);  // "%.16g"
    // The value, or "" when the name is absent.
    std::string GetParameter(const std::string& name) const;
    bool HasParameter(const std::string& name) const;
    const std::vector<Parameter>& GetParameters() const { return parameters; }
    // Writes "name=[value]\r\n" per pair, in list order, to standard output.
    void DumpParameters() const;

    void SetProxy(const std::string& host, uint16_t port);
    const std::string& GetProxyHost() const { return proxyHost; }
    uint16_t GetProxyPort() const { return proxyPort; }

    // Downloads `url` into pageText and tokenizes it into document. False when the download failed
    // or the URL holds control characters; document then still holds the previous page's tokens.
    bool RetrievePage(const std::string& url);

    const std::string& GetPageText() const { return pageText; }
    const XMLDoc& GetDocument() const { return document; }

protected:
    // The search vocabulary shared by the sources, over `document`.

    // Index of the first TEXT token that reads exactly `label`, or -1.
    int FindLabel(const std::string& label);
    // The first of `labels` (tried in order) that is found, or -1.
    int FindLabel(std::initializer_list<const char*> labels);
    // Index of the first START tag `name` at or after `start` meeting every condition, or -1.
    int FindStartTag(const std::string& name, int start = 0, const std::vector<XMLAttribute>& conditions = {});
    // Index of the first TEXT token after `index`, or -1 when the page ends first.
    int NextText(int index);
    // Token `index` as XMLDoc reads it: past the end this throws XMLException.
    XMLTag& Token(int index);
    // The token's text with the predefined entities decoded ("&nbsp;" stays).
    std::string DecodedText(int index);
    int TokenCount() const { return static_cast<int>(document.GetTagCount()); }
    // "Acme Corp (ACME)" -> "Acme Corp": when "(" first occurs at a position p > 0, keeps the
    // p - 1 characters before the blank that precedes it, trimmed. Returns false, leaving the text
    // alone, when there is no "(" or it is the first character.
    static bool CutAtParenthesis(std::string& text);

    std::vector<Parameter> parameters;
    std::string proxyHost;
    uint16_t proxyPort = 0;
    std::string pageText;
    XMLDoc document;
};

} // namespace quillory
