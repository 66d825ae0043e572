#include "YahooQuotePage.h"

#include "foundation/StringUtils.h"
#include "markup/XMLEscape.h"
#include "markup/XMLTagKind.h"

namespace quillory {

void CleanQuoteNumber(std::string& text) {
    StringUtils::Trim(text);
    size_t open = text.find('(');
    size_t close = text.find(')');
    if (open != std::string::npos && close != std::string::npos && close > open)
        text = text.substr(open + 1, close - open - 1);
    StringUtils::ReplaceAll(text, "%", "");
    StringUtils::ReplaceAll(text, ",", "");
}

namespace YahooQuotePage {

bool ChangeAfter(XMLDoc& document, int label, double& value) {
    bool negative = false;
    const unsigned count = document.GetTagCount();
    for (unsigned j = static_cast<unsigned>(label) + 1; j < count; ++j) {
        XMLTag& token = document[j];
        if (token.GetName() == "img") {
            std::string alt = token.GetAttribute("alt");
            StringUtils::ToUpper(alt);
            if (alt == "DOWN") {
                negative = true;
                continue;
            }
        }
        if (token.GetName() == "&nbsp;" || token.GetKind() != XMLTagKind::TEXT)
            continue;
        std::string text = XMLUnescape(token.GetName());
        CleanQuoteNumber(text);
        value = StringUtils::ToDouble(text);
        if (negative)
            value *= -1.0;
        return true;
    }
    return false;
}

} // namespace YahooQuotePage

} // namespace quillory
