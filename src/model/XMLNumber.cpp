#include "model/XMLNumber.h"

#include <charconv>
#include <cstdio>

namespace quillory {

std::string FormatXMLDouble(double value) {
    // to_chars in general form with a precision is specified to match printf's "%.16g".
    char text[64];
    auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 16);
    if (result.ec != std::errc())
        return std::to_string(value);
    return std::string(text, result.ptr);
}

} // namespace quillory
