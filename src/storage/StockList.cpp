#include "storage/StockList.h"

#include <sys/stat.h>

#include "foundation/Exception.h"
#include "foundation/FileHelper.h"
#include "foundation/MessageBox.h"
#include "markup/XMLDoc.h"
#include "storage/DataFile.h"
#include "storage/LegacyFileReader.h"

namespace quillory {

StockList theStockList;

namespace {

constexpr const char* Caption = "Quillory";

bool IsFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string KeptLine(const std::string& copy) {
    return copy.empty() ? "No copy of the file could be kept." : "The file was kept as " + copy + ".";
}

} // namespace

bool StockList::Contains(const std::string& symbol) const {
    for (const Stock& stock : *this)
        if (stock.GetSymbol() == symbol)
            return true;
    return false;
}

bool StockList::Add(const Stock& stock) {
    if (stock.GetSymbol().empty() || Contains(stock.GetSymbol()))
        return false;
    push_back(stock);
    return true;
}

bool StockList::Update(const std::string& symbol, const Stock& stock) {
    for (Stock& existing : *this) {
        if (existing.GetSymbol() == symbol) {
            existing = stock;
            return true;
        }
    }
    return false;
}

bool StockList::Remove(const std::string& symbol) {
    for (auto it = begin(); it != end(); ++it) {
        if (it->GetSymbol() == symbol) {
            erase(it);
            return true;
        }
    }
    return false;
}

bool StockList::Get(const std::string& symbol, Stock& out) const {
    for (const Stock& stock : *this) {
        if (stock.GetSymbol() == symbol) {
            out = stock;
            return true;
        }
    }
    return false;
}

void StockList::FillListView(ListView& view) const {
    for (const Stock& stock : *this)
        stock.InsertListRow(view);
}

void StockList::AddDefaults() {
    const std::pair<const char*, const char*> defaults[] = {{"^DJI", "Dow Jones Industrial Average Index"},
                                                            {"^IXIC", "NASDAQ Composite"},
                                                            {"GOOG", "Google Inc."},
                                                            {"MSFT", "Microsoft Corporation"}};
    for (const auto& [symbol, name] : defaults) {
        Stock stock(symbol, name);
        stock.SetDataSource(Stock::NewInvestmentSource);
        push_back(stock);
    }
}

void StockList::Load() {
    const std::string& path = GetDataFilePath();
    std::string text;
    if (!FileHelper::FileToString(path, text)) {
        if (IsFile(path)) // unreadable, or in an encoding we do not read: keep it before it is overwritten
            ShowMessageBox("Can't read " + path + "!\n" + KeptLine(KeepBrokenFile(path)), Caption,
                           MessageBoxIcon::Warning);
        ImportLegacyFile();
        if (empty())
            AddDefaults();
        Save();
        if (!FileHelper::FileToString(path, text)) {
            ShowMessageBox("Can't open " + path + "!", Caption, MessageBoxIcon::Error);
            return;
        }
    }
    try {
        ParseDataFile(text);
    } catch (const XMLException& e) {
        // The next save writes only what was read, so the user's whole file is kept aside first.
        std::string copy = KeepBrokenFile(path);
        ShowMessageBox("Error parsing XML!\n" + e.Message() + "\n" + KeptLine(copy), Caption, MessageBoxIcon::Error);
    }
}

void StockList::Save() const {
    const std::string& path = GetDataFilePath();
    std::string text;
    CreateDataFile(text);
    if (!FileHelper::StringToFile(path, text))
        ShowMessageBox("Can't save " + path + "!", Caption, MessageBoxIcon::Error);
}

bool StockList::ImportLegacyFile() {
    std::string path = GetDataFolder() + "Quillory.dat";
    if (!FileHelper::FileExists(path)) {
        std::string base = GetBaseFolder();
        path = (base.empty() || base.back() == '/' ? base : base + "/") + "Quillory.dat";
    }
    std::string bytes;
    if (!ReadFileBytes(path, bytes))
        return false;
    return ImportLegacyData(bytes);
}

bool StockList::ImportLegacyData(const std::string& bytes) {
    LegacyFileReader reader(bytes);
    return reader.ReadStocks(*this);
}

void StockList::ParseDataFile(const std::string& text, size_t chunkBytes) {
    XMLDoc::Input input(text);
    XMLDoc window;
    size_t windowBytes = chunkBytes;
    unsigned index = 0;
    ParseXML(window, index, [&](unsigned& at, bool grow) {
        if (input.AtEnd())
            return false;
        windowBytes = grow ? windowBytes * 2 : chunkBytes;
        window.DropFront(at);
        at = 0;
        window.ParseMore(input, windowBytes);
        return true;
    });
}

void StockList::CreateDataFile(std::string& out) const {
    size_t entries = 0;
    for (const Stock& stock : *this)
        entries += stock.GetPrices().size();
    out.clear();
    out.reserve(entries * 80 + size() * 300 + 64);
    out += "<StockList>\r\n";
    for (const Stock& stock : *this)
        stock.AppendXMLText(out);
    out += "</StockList>\r\n";
}

} // namespace quillory
