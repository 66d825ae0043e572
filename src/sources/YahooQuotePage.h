#pragma once

#include <string>

#include "markup/XMLDoc.h"

namespace quillory {

// Number clean-up of the Yahoo quote pages, in place: trims, keeps only what stands between a "("
// and a later ")" ("(3.1%)" -> "3.1"), then drops every "%" and ",".
void CleanQuoteNumber(std::string& text);

namespace YahooQuotePage {

// The change value after the "Change:" label at `label`: the first text after it that is not
// "&nbsp;", cleaned with CleanQuoteNumber and negated when an arrow image whose alternative text
// reads "down" (any case) came before it. False when the page ends first.
bool ChangeAfter(XMLDoc& document, int label, double& value);

} // namespace YahooQuotePage

} // namespace quillory
