#include "storage/LegacyFileReader.h"

#include <bit>
#include <cstring>
#include <ctime>

#include "foundation/Clock.h"
#include "foundation/StringUtils.h"

namespace quillory {

namespace {

static_assert(std::endian::native == std::endian::little, "the older file is read as little-endian");

// The latest moment the older program's 64-bit time conversion accepted (3000-12-31 23:59:59 UTC).
// Later dates would be written as five-digit years that the data file cannot read back.
constexpr int64_t LatestTime = 32535215999;

} // namespace

bool LegacyFileReader::Read(void* target, size_t size) {
    if (size > Left())
        return false;
    std::memcpy(target, data.data() + position, size);
    position += size;
    return true;
}

bool LegacyFileReader::ReadInt32(int32_t& value) {
    return Read(&value, sizeof value);
}

bool LegacyFileReader::ReadUInt32(uint32_t& value) {
    return Read(&value, sizeof value);
}

bool LegacyFileReader::ReadDouble(double& value) {
    return Read(&value, sizeof value);
}

// A length prefix of growing width (0xFF, 0xFFFF and 0xFFFFFFFF announce the next width; FF FE FF
// announces UTF-16 characters), then the characters; the text ends at its first NUL.
bool LegacyFileReader::ReadString(std::string& value) {
    uint8_t byte = 0;
    if (!Read(&byte, 1))
        return false;
    bool wide = false;
    uint64_t length = byte;
    if (byte == 0xFF) {
        uint16_t word = 0;
        if (!Read(&word, 2))
            return false;
        bool haveLength = false;
        if (word == 0xFFFE) {
            wide = true;
            if (!Read(&byte, 1))
                return false;
            if (byte < 0xFF) {
                length = byte;
                haveLength = true;
            } else if (!Read(&word, 2)) {
                return false;
            }
        }
        if (!haveLength) {
            if (word < 0xFFFF) {
                length = word;
            } else {
                uint32_t dword = 0;
                if (!Read(&dword, 4))
                    return false;
                if (dword < 0xFFFFFFFFu) {
                    length = dword;
                } else {
                    uint64_t qword = 0;
                    if (!Read(&qword, 8))
                        return false;
                    if ((qword >> 32) != 0 || (qword & 0xFFFFFFFFu) >= 0x80000000u)
                        return false;
                    length = qword;
                }
            }
        }
    }

    uint64_t bytes = wide ? length * 2 : length;
    if (bytes > Left())
        return false;
    const char* start = data.data() + position;
    position += bytes;
    if (!wide) {
        const void* nul = std::memchr(start, 0, bytes);
        value.assign(start, nul ? static_cast<const char*>(nul) - start : static_cast<ptrdiff_t>(bytes));
        return true;
    }
    std::u16string units;
    units.reserve(length);
    for (uint64_t i = 0; i < length; ++i) {
        auto low = static_cast<uint8_t>(start[2 * i]);
        auto high = static_cast<uint8_t>(start[2 * i + 1]);
        char16_t unit = static_cast<char16_t>(low | (high << 8));
        if (unit == 0)
            break;
        units.push_back(unit);
    }
    value = UnicodeUtils::Unicode2Ansi(units);
    return true;
}

// A time value: 32-bit seconds since 1970 (UTC), or the marker 0x8000000A followed by 64-bit
// seconds; the local calendar day of that moment. A moment before 1970, or one the local-time
// conversion refuses, gives the date's own default.
bool LegacyFileReader::ReadDate(Date& value) {
    uint32_t first = 0;
    if (!ReadUInt32(first))
        return false;
    int64_t seconds = static_cast<int32_t>(first);
    if (first == 0x8000000Au && !Read(&seconds, 8))
        return false;
    std::tm local{};
    if (seconds < 0 || seconds > LatestTime || !Clock::ToLocal(static_cast<std::time_t>(seconds), local))
        value = Date(-1, -1, -1);
    else
        value = Date(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    return true;
}

bool LegacyFileReader::ReadStock(Stock& stock) {
    std::string text;
    if (!ReadString(text))
        return false;
    stock.SetSymbol(text);
    if (!ReadString(text))
        return false;
    stock.SetName(text);
    double quantity = 0;
    int32_t count = 0;
    if (!ReadDouble(quantity) || !ReadInt32(count))
        return false;
    stock.SetQuantity(quantity);
    // Each entry takes at least 20 bytes: refuse a count the data cannot hold before building it.
    if (count > 0 && static_cast<uint64_t>(count) * 20 > Left())
        return false;
    for (int32_t i = 0; i < count; ++i) {
        double price = 0, change = 0;
        Date date;
        if (!ReadDouble(price) || !ReadDouble(change) || !ReadDate(date))
            return false;
        StockPrice entry(price, date);
        entry.SetChange(change);
        stock.GetPrices().push_back(entry);
    }
    int32_t lowerFlag = 0, upperFlag = 0;
    double lowerLimit = 0, upperLimit = 0;
    if (!ReadInt32(lowerFlag) || !ReadDouble(lowerLimit) || !ReadInt32(upperFlag) || !ReadDouble(upperLimit))
        return false;
    stock.GetAlert().SetLower(lowerFlag != 0, lowerLimit);
    stock.GetAlert().SetUpper(upperFlag != 0, upperLimit);
    stock.SetDataSource(Stock::DefaultDataSource);
    return true;
}

bool LegacyFileReader::ReadStocks(std::list<Stock>& out) {
    int32_t count = 0;
    if (!ReadInt32(count))
        return false;
    for (int32_t i = 0; i < count; ++i) {
        Stock stock;
        if (!ReadStock(stock))
            return false;
        out.push_back(std::move(stock));
    }
    return true;
}

} // namespace quillory
