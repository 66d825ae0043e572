#pragma once

#include <cstddef>
#include <string>

#include "markup/XMLPersistable.h"
#include "model/ListView.h"
#include "model/Stock.h"

namespace quillory {

template <> struct XMLListNames<Stock> {
    static constexpr const char* list = "StockList";
    static constexpr const char* element = "Stock";
    static Stock Default() { return Stock(); }
};

// All investments of the user, keyed by symbol (compared byte for byte), in insertion order. Only
// Add refuses duplicates; the list itself does not.
class StockList : public XMLPersistableList<Stock> {
public:
    // How much of the data file is tokenized at a time while it is read.
    static constexpr size_t DataFileChunkBytes = 1 << 20;

    using XMLPersistableList<Stock>::XMLPersistableList;

    bool Contains(const std::string& symbol) const;
    // Refuses an empty symbol and one already present.
    bool Add(const Stock& stock);
    // Replaces the first investment with this symbol by a copy of `stock`, symbol included.
    bool Update(const std::string& symbol, const Stock& stock);
    bool Remove(const std::string& symbol);
    // Copies the first investment with this symbol into `out`; `out` is unchanged when there is none.
    bool Get(const std::string& symbol, Stock& out) const;
    void FillListView(ListView& view) const;

    // Reads the data file at start-up. Without a readable file the older file is imported (or the
    // defaults added) and written as the new data file. A file that cannot be read or parsed is kept
    // aside as Quillory.xml.broken first; the investments read before a parse error stay.
    void Load();
    // Writes the whole list atomically; "Can't save <path>!" when that fails.
    void Save() const;
    void AddDefaults();
    // Appends the investments of the older file "Quillory.dat", looked for in the data folder and
    // then in GetBaseFolder. True when the whole file was read.
    bool ImportLegacyFile();
    // The same from the bytes of such a file.
    bool ImportLegacyData(const std::string& bytes);

    // ParseXMLString with the same result and the same errors, but the text is tokenized a piece at
    // a time, so a large file never needs all of its tokens in memory at once.
    void ParseDataFile(const std::string& text, size_t chunkBytes = DataFileChunkBytes);
    // The text CreateXMLString gives, rendered one investment at a time.
    void CreateDataFile(std::string& out) const;
};

extern StockList theStockList;

} // namespace quillory
