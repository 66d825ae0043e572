#pragma once

#include <cstdint>

namespace quillory {

// Decimal separator, thousands separator ('\0' = no grouping) and decimal digits, with one
// process-wide default. Invalid values are logged and replaced, never thrown.
class NumericFormat {
public:
    NumericFormat() = default;
    NumericFormat(char decimal, char thousand, uint8_t digits);
    NumericFormat(const NumericFormat&) = default;
    NumericFormat& operator=(const NumericFormat&) = default;
    virtual ~NumericFormat() = default;

    void SetDecimalSeparator(char c);
    void SetThousandSeparator(char c);
    void SetNumberOfDecimalDigits(uint8_t digits);
    char GetDecimalSeparator() const { return decimalSeparator; }
    char GetThousandSeparator() const { return thousandSeparator; }
    uint8_t GetNumberOfDecimalDigits() const { return decimalDigits; }

    static void SetDefault(const NumericFormat& format);
    static NumericFormat& GetDefault();

private:
    char decimalSeparator = '.';
    char thousandSeparator = ',';
    uint8_t decimalDigits = 2;
};

} // namespace quillory
