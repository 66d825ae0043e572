#pragma once

#include <string>

#include "NumericFormat.h"

namespace quillory::AmountHelper {

// Rounds half away from zero to `digits` decimals in place; -1 means the default format's digits.
void Round(double& value, int digits = -1);
// The rounded value with "." as decimal point and no grouping.
std::string FormatDouble(double value, const NumericFormat& format);
std::string FormatDouble(double value);
// FormatDouble with the format's separators applied, e.g. 1234567.891 -> "1,234,567.89".
std::string FormatAmount(double value, const NumericFormat& format);
std::string FormatAmount(double value);
std::string FormatAmount(double value, uint8_t digits); // default format with other digits
bool IsZero(double value);
double RoundHalfAwayFromZero(double value);
// Reads an amount written in the default format's notation; false (value untouched) when it is not one.
bool ParseAmount(const std::string& text, double& value);

} // namespace quillory::AmountHelper
