#pragma once

#include <string>

namespace quillory::StringUtils {

// Appends exactly what "%.16g" of the C library in the C locale writes, without its cost and
// whatever the process locale is: the data file holds two numbers per price entry, and a save
// writes millions of them. ToString(double) is this.
void AppendDouble(std::string& out, double value);
// The same into a buffer of at least kDoubleTextMax characters; returns the end of the text.
constexpr int kDoubleTextMax = 32;
char* WriteDouble(char* out, double value);

} // namespace quillory::StringUtils
