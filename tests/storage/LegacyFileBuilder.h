#pragma once

#include <cstdint>
#include <cstring>
#include <string>

namespace quillory::test {

// Writes the older binary data file format, field by field, little-endian.
class LegacyFileBuilder {
public:
    LegacyFileBuilder& Int32(int32_t value) { return Raw(&value, 4); }
    LegacyFileBuilder& UInt16(uint16_t value) { return Raw(&value, 2); }
    LegacyFileBuilder& UInt32(uint32_t value) { return Raw(&value, 4); }
    LegacyFileBuilder& UInt64(uint64_t value) { return Raw(&value, 8); }
    LegacyFileBuilder& Double(double value) { return Raw(&value, 8); }
    LegacyFileBuilder& Byte(uint8_t value) { return Raw(&value, 1); }
    LegacyFileBuilder& Bytes(const std::string& text) { return Raw(text.data(), text.size()); }
    // A string with the one-byte length prefix.
    LegacyFileBuilder& Text(const std::string& text) { return Byte(static_cast<uint8_t>(text.size())).Bytes(text); }
    // A UTF-16 string announced by FF FE FF and a one-byte length (ASCII text only).
    LegacyFileBuilder& WideText(const std::string& text) {
        Byte(0xFF).UInt16(0xFFFE).Byte(static_cast<uint8_t>(text.size()));
        for (char c : text)
            UInt16(static_cast<uint8_t>(c));
        return *this;
    }
    LegacyFileBuilder& Stamp32(int32_t seconds) { return Int32(seconds); }
    LegacyFileBuilder& Stamp64(int64_t seconds) { return UInt32(0x8000000A).Raw(&seconds, 8); }
    // A whole record with the given price entries (price, change, 32-bit stamp each).
    LegacyFileBuilder& Record(const std::string& symbol, const std::string& name, double quantity,
                              std::initializer_list<std::pair<double, int32_t>> prices = {}) {
        Text(symbol).Text(name).Double(quantity).Int32(static_cast<int32_t>(prices.size()));
        for (const auto& [price, stamp] : prices)
            Double(price).Double(price / 100).Stamp32(stamp);
        return Int32(1).Double(10).Int32(0).Double(0); // lower alert on at 10, upper off
    }

    const std::string& Data() const { return data; }

private:
    LegacyFileBuilder& Raw(const void* p, size_t size) {
        data.append(static_cast<const char*>(p), size);
        return *this;
    }
    std::string data;
};

} // namespace quillory::test
