#include "storage/StockList.h"

#include <array>
#include <cstring>
#include <string_view>
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

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// True when the characters between a tag's '<' and its '>' read "/Stock" once trimmed.
bool IsStockEndTag(std::string_view content) {
    while (!content.empty() && IsBlank(content.front()))
        content.remove_prefix(1);
    while (!content.empty() && IsBlank(content.back()))
        content.remove_suffix(1);
    return content == "/Stock";
}

// Where to cut the text for the next piece to tokenize, which starts at `from` with the tokenizer
// at rest. The cut lies just after the '>' that completes an end tag of an investment, at least
// `minBytes` after `from`, with the tokenizer at rest again (outside any tag or quote). The pieces
// therefore tokenize to exactly the tokens of the whole text, and a well-formed file never splits an
// investment between two pieces. The character rules are the tokenizer's: only a double quote
// inside a tag opens a quoted section, and '<' or '>' inside one are plain characters.
size_t NextCut(std::string_view text, size_t from, size_t minBytes) {
    static const auto special = [] {
        std::array<bool, 256> table{};
        table['<'] = table['>'] = table['"'] = true;
        return table;
    }();
    bool inTag = false, quoted = false;
    size_t boundary = from; // just after the last '<' or '>' that ended a token
    const size_t size = text.size();
    for (size_t i = from; i < size; ++i) {
        while (i < size && !special[static_cast<unsigned char>(text[i])])
            ++i;
        if (i == size)
            break;
        char c = text[i];
        if (c == '"') {
            quoted = inTag && !quoted;
        } else if (!(inTag && quoted)) {
            if (c == '>' && i + 1 - from >= minBytes && IsStockEndTag(text.substr(boundary, i - boundary)))
                return i + 1;
            inTag = c == '<';
            boundary = i + 1;
        }
    }
    return size;
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
    // Anything this reader does not expect is handed to the plain reader, which then raises the
    // error (or, for a shape only the plain reader accepts, gives the result) from the whole text.
    auto readWhole = [&] { XMLPersistable::ParseXMLString(text); };

    std::string_view all(text);
    if (const void* nul = std::memchr(all.data(), 0, all.size()))
        all = all.substr(0, static_cast<size_t>(static_cast<const char*>(nul) - all.data()));
    clear();

    size_t from = 0;
    size_t cut = NextCut(all, from, chunkBytes);
    XMLDoc doc;
    doc.Parse(std::string(all.substr(from, cut - from)));
    if (doc.GetTagCount() == 0)
        return cut == all.size() ? void() : readWhole();
    const XMLTag& first = doc[0];
    if (first.GetName() != XMLListNames<Stock>::list || first.GetKind() != XMLTagKind::START)
        return readWhole();
    unsigned index = 1;
    for (;;) {
        if (index >= doc.GetTagCount()) {
            if (cut == all.size())
                return readWhole();
            from = cut;
            cut = NextCut(all, from, chunkBytes);
            doc.Parse(std::string(all.substr(from, cut - from)));
            index = 0;
            continue;
        }
        const XMLTag& tag = doc[index];
        if (tag.GetKind() == XMLTagKind::END && tag.GetName() == XMLListNames<Stock>::list)
            return;
        if (tag.GetName() != XMLListNames<Stock>::element)
            return readWhole();
        Stock stock;
        try {
            stock.ParseXML(doc, index);
        } catch (const XMLException&) {
            return readWhole();
        }
        push_back(std::move(stock));
    }
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
