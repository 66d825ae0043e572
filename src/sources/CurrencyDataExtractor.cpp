#include "CurrencyDataExtractor.h"

#include "foundation/StringUtils.h"

namespace quillory {

double CurrencyDataExtractor::GetRate() const {
    return StringUtils::ToDouble(GetParameter("Rate"));
}

} // namespace quillory
