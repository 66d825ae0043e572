#pragma once

#include "markup/XMLPersistable.h"
#include "model/StockPrice.h"

namespace quillory {

template <> struct XMLListNames<StockPrice> {
    static constexpr const char* list = "StockPriceList";
    static constexpr const char* element = "StockPrice";
    static StockPrice Default() { return StockPrice(); }
};

// The price history of one investment, in insertion order (nothing sorts it).
class StockPriceList : public XMLPersistableList<StockPrice> {
public:
    using XMLPersistableList<StockPrice>::XMLPersistableList;
};

} // namespace quillory
