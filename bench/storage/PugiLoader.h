#pragma once

#include <string>
#include <vector>

#include <pugixml.hpp>

namespace quillory::bench {

// What a program built on a good XML library would keep of the data file: plain structs.
struct PlainPrice {
    int year = 0, month = 0, day = 0;
    double price = 0, change = 0;
};
struct PlainStock {
    std::string symbol, name, dataSource;
    double quantity = 0;
    bool upperAlert = false, lowerAlert = false;
    double upperLimit = 0, lowerLimit = 0;
    std::vector<PlainPrice> prices;
};

// The peer loader: pugixml's DOM from the file's bytes, then every record decoded.
class PugiLoader {
public:
    bool Load(const std::string& path);
    bool Save(const std::string& path) const;

    pugi::xml_document document;
    std::vector<PlainStock> stocks;
};

} // namespace quillory::bench
