#pragma once

#include <string>

namespace quillory {

// "%.16g" of the C library, without its cost: the data file holds two numbers per price entry.
std::string FormatXMLDouble(double value);

} // namespace quillory
