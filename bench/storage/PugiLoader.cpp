#include "PugiLoader.h"

#include <cstdio>
#include <cstdlib>

namespace quillory::bench {

namespace {

bool ReadWhole(const std::string& path, std::string& out) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    std::fseek(file, 0, SEEK_END);
    long size = std::ftell(file);
    std::fseek(file, 0, SEEK_SET);
    out.resize(static_cast<size_t>(size));
    bool ok = std::fread(out.data(), 1, out.size(), file) == out.size();
    std::fclose(file);
    return ok;
}

void ReadDate(const char* text, PlainPrice& price) {
    price.year = std::atoi(text);
    price.month = std::atoi(text + 5);
    price.day = std::atoi(text + 8);
}

} // namespace

bool PugiLoader::Load(const std::string& path) {
    std::string bytes;
    if (!ReadWhole(path, bytes))
        return false;
    if (!document.load_buffer(bytes.data(), bytes.size()))
        return false;
    bytes = std::string(); // the DOM holds its own copy
    stocks.clear();
    for (pugi::xml_node node : document.child("StockList").children("Stock")) {
        PlainStock& stock = stocks.emplace_back();
        stock.symbol = node.attribute("Symbol").value();
        stock.name = node.attribute("Name").value();
        stock.quantity = node.attribute("Quantity").as_double();
        stock.dataSource = node.attribute("DataSource").value();
        pugi::xml_node alert = node.child("StockAlert");
        stock.upperAlert = std::string_view(alert.attribute("UpperAlert").value()) == "TRUE";
        stock.upperLimit = alert.attribute("UpperLimit").as_double();
        stock.lowerAlert = std::string_view(alert.attribute("LowerAlert").value()) == "TRUE";
        stock.lowerLimit = alert.attribute("LowerLimit").as_double();
        for (pugi::xml_node entry : node.child("StockPriceList").children("StockPrice")) {
            PlainPrice& price = stock.prices.emplace_back();
            ReadDate(entry.attribute("Date").value(), price);
            price.price = entry.attribute("Price").as_double();
            price.change = entry.attribute("Change").as_double();
        }
    }
    return true;
}

bool PugiLoader::Save(const std::string& path) const {
    return document.save_file(path.c_str());
}

} // namespace quillory::bench
