#include "AmountHelper.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "Log.h"
#include "StringUtils.h"

namespace quillory::AmountHelper {

namespace {
const double kPowersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000};
}

bool IsZero(double value) {
    return std::fabs(value) < 1e-7;
}

double RoundHalfAwayFromZero(double value) {
    if (IsZero(value))
        return 0;
    double a = std::fabs(value);
    double f = std::floor(a);
    if (a - f >= 0.5)
        f += 1;
    double result = value < 0 ? -f : f;
    return IsZero(result) ? 0 : result;
}

void Round(double& value, int digits) {
    if (digits == -1)
        digits = NumericFormat::GetDefault().GetNumberOfDecimalDigits();
    if (digits < 0 || digits > 6) {
        LogCriticalError("AmountHelper::Round() - Invalid number of digits!");
        digits = 6;
    }
    if (IsZero(value))
        value = 0;
    double factor = kPowersOfTen[digits];
    value = RoundHalfAwayFromZero(value * factor) / factor;
    if (IsZero(value))
        value = 0;
}

std::string FormatDouble(double value, const NumericFormat& format) {
    int digits = format.GetNumberOfDecimalDigits();
    if (digits > 6) {
        LogCriticalError("AmountHelper::FormatDouble() - Unsupported number of digits!");
        digits = 6;
    }
    double rounded = value;
    Round(rounded, digits);
    char buffer[256];
    // "%.*f" with 0..6 is the same text as the fixed "%.0f" .. "%.6f" formats; the buffer bounds
    // huge values, which print as far as they fit.
    std::snprintf(buffer, sizeof buffer, "%.*f", digits, rounded);
    return buffer;
}

std::string FormatDouble(double value) {
    return FormatDouble(value, NumericFormat::GetDefault());
}

std::string FormatAmount(double value, const NumericFormat& format) {
    std::string text = FormatDouble(value, format);
    size_t point = text.find('.');
    if (point != std::string::npos)
        text[point] = format.GetDecimalSeparator();
    else
        point = text.size();
    char separator = format.GetThousandSeparator();
    if (separator != '\0' && point > 3) {
        size_t sign = value < 0 ? 1 : 0;
        for (size_t i = point - 3; i > sign; i -= 3) {
            text.insert(i, 1, separator);
            if (i - sign < 3)
                break;
        }
    }
    return text;
}

std::string FormatAmount(double value) {
    return FormatAmount(value, NumericFormat::GetDefault());
}

std::string FormatAmount(double value, uint8_t digits) {
    NumericFormat format = NumericFormat::GetDefault();
    format.SetNumberOfDecimalDigits(digits);
    return FormatAmount(value, format);
}

bool ParseAmount(const std::string& input, double& value) {
    const NumericFormat& format = NumericFormat::GetDefault();
    std::string text = input;
    StringUtils::Trim(text);
    if (format.GetThousandSeparator() != '\0')
        std::erase(text, format.GetThousandSeparator());
    if (text.empty()) {
        value = 0;
        return true;
    }
    if (format.GetDecimalSeparator() != '.')
        StringUtils::ReplaceChar(text, format.GetDecimalSeparator(), '.');
    if (text.size() == 1 && text[0] == format.GetDecimalSeparator()) {
        value = 0;
        return true;
    }
    char* end = nullptr;
    double parsed = std::strtod(text.c_str(), &end);
    if (parsed == HUGE_VAL || parsed == -HUGE_VAL || end != text.c_str() + text.size())
        return false;
    value = IsZero(parsed) ? 0 : parsed;
    return true;
}

} // namespace quillory::AmountHelper
