#include "DataExtractor.h"

#include <cstdio>

#include "foundation/Log.h"
#include "foundation/StringUtils.h"
#include "markup/XMLEscape.h"
#include "markup/XMLTagKind.h"
#include "web/HttpHelper.h"

namespace quillory {

void DataExtractor::SetParameter(const std::string& name, const std::string& value) {
    for (Parameter& p : parameters) {
        if (p.first == name) {
            p.second = value;
            return;
        }
    }
    parameters.emplace_back(name, value);
}

void DataExtractor::SetParameter(const std::string& name, const char* value) {
    SetParameter(name, std::string(value ? value : ""));
}

void DataExtractor::SetParameter(const std::string& name, int32_t value) {
    SetParameter(name, StringUtils::ToString(value));
}

void DataExtractor::SetParameter(const std::string& name, double value) {
    SetParameter(name, StringUtils::ToString(value));
}

std::string DataExtractor::GetParameter(const std::string& name) const {
    for (const Parameter& p : parameters)
        if (p.first == name)
            return p.second;
    return {};
}

bool DataExtractor::HasParameter(const std::string& name) const {
    for (const Parameter& p : parameters)
        if (p.first == name)
            return true;
    return false;
}

void DataExtractor::DumpParameters() const {
    // Written byte for byte, so a value with odd bytes cannot cut the line short.
    for (const Parameter& p : parameters) {
        std::string line = p.first + "=[" + p.second + "]\r\n";
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    std::fflush(stdout);
}

void DataExtractor::SetProxy(const std::string& host, uint16_t port) {
    proxyHost = host;
    proxyPort = port;
}

bool DataExtractor::RetrievePage(const std::string& url) {
    pageText.clear();
    // A symbol is put into the URL as it is; a line break in it (from a crafted data file, say)
    // would otherwise end the request line and add header lines of its own.
    for (unsigned char c : url) {
        if (c < 0x20 || c == 0x7F) {
            LogError("DataExtractor::RetrievePage() - Refusing a URL with control characters!");
            return false;
        }
    }
    if (!HttpHelper::DownloadPage(url, proxyHost, proxyPort, pageText))
        return false;
    document.Parse(pageText);
    return true;
}

int DataExtractor::FindLabel(const std::string& label) {
    return document.FindTag(label, XMLTagKind::TEXT, 0, {});
}

int DataExtractor::FindLabel(std::initializer_list<const char*> labels) {
    for (const char* label : labels) {
        int i = FindLabel(std::string(label));
        if (i != -1)
            return i;
    }
    return -1;
}

int DataExtractor::FindStartTag(const std::string& name, int start, const std::vector<XMLAttribute>& conditions) {
    if (start < 0)
        start = 0;
    return document.FindTag(name, XMLTagKind::START, static_cast<unsigned>(start), conditions);
}

int DataExtractor::NextText(int index) {
    for (int j = index + 1; j < TokenCount(); ++j)
        if (j >= 0 && document[static_cast<unsigned>(j)].GetKind() == XMLTagKind::TEXT)
            return j;
    return -1;
}

XMLTag& DataExtractor::Token(int index) {
    // A negative index is past the end too, as far as the document is concerned.
    return document[index < 0 ? document.GetTagCount() : static_cast<unsigned>(index)];
}

std::string DataExtractor::DecodedText(int index) {
    return XMLUnescape(Token(index).GetName());
}

bool DataExtractor::CutAtParenthesis(std::string& text) {
    size_t p = text.find('(');
    if (p == std::string::npos || p == 0)
        return false;
    text = text.substr(0, p - 1);
    StringUtils::Trim(text);
    return true;
}

} // namespace quillory
