#include "StockDataExtractor.h"

#include "foundation/StringUtils.h"

namespace quillory {

double StockDataExtractor::GetLastTrade() const {
    return StringUtils::ToDouble(GetParameter("LastTrade"));
}

double StockDataExtractor::GetChange() const {
    return StringUtils::ToDouble(GetParameter("Change"));
}

} // namespace quillory
