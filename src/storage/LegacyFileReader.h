#pragma once

#include <cstdint>
#include <list>
#include <string>

#include "model/Stock.h"

namespace quillory {

// Reads the older binary data file "Quillory.dat": an int32 count of investment records, each a
// counted symbol and name, the quantity, the dated prices and the two alert limits, all
// little-endian. Every declared length is checked against the bytes that are left before anything
// is allocated, so a damaged or hostile file ends like a short read: it cannot exhaust memory.
class LegacyFileReader {
public:
    explicit LegacyFileReader(const std::string& bytes) : data(bytes) {}
    virtual ~LegacyFileReader() = default;

    // Appends every complete record to `out`; false when the data ends early or holds an invalid
    // string length, in which case the record being read is dropped and the earlier ones stay.
    bool ReadStocks(std::list<Stock>& out);

private:
    bool Read(void* target, size_t size);
    bool ReadInt32(int32_t& value);
    bool ReadUInt32(uint32_t& value);
    bool ReadDouble(double& value);
    bool ReadString(std::string& value);
    bool ReadDate(Date& value);
    bool ReadStock(Stock& stock);
    size_t Left() const { return data.size() - position; }

    const std::string& data;
    size_t position = 0;
};

} // namespace quillory
