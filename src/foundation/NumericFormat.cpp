#include "NumericFormat.h"

#include "Log.h"

namespace quillory {

namespace {
NumericFormat defaultFormat;
}

NumericFormat::NumericFormat(char decimal, char thousand, uint8_t digits) {
    SetDecimalSeparator(decimal);
    SetThousandSeparator(thousand);
    SetNumberOfDecimalDigits(digits);
}

void NumericFormat::SetDecimalSeparator(char c) {
    if (c != '.' && c != ',') {
        LogError("NumericFormat::SetDecimalSeparator() - Invalid separator, replacing with '.'!");
        c = '.';
    }
    decimalSeparator = c;
}

void NumericFormat::SetThousandSeparator(char c) {
    if (c != '.' && c != ',' && c != ' ' && c != '\'' && c != '`' && c != '\0') {
        LogError("NumericFormat::SetThousandSeparator() - Invalid separator, replacing with ','!");
        c = ',';
    }
    thousandSeparator = c;
}

void NumericFormat::SetNumberOfDecimalDigits(uint8_t digits) {
    if (digits > 6) {
        LogError("NumericFormat::SetNumberOfDecimalDigits() - Invalid number of digits, replacing with 2!");
        digits = 2;
    }
    decimalDigits = digits;
}

void NumericFormat::SetDefault(const NumericFormat& format) {
    defaultFormat = format;
}

NumericFormat& NumericFormat::GetDefault() {
    return defaultFormat;
}

} // namespace quillory
