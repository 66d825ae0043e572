#pragma once

#include <string>

namespace quillory {

// Appends "%.16g" of the C library, without its cost: the data file holds two numbers per price
// entry, and a save writes millions of them.
void AppendXMLDouble(std::string& out, double value);
// The same into a buffer of at least XMLDoubleMaxLength characters; returns the end of the text.
constexpr int XMLDoubleMaxLength = 32;
char* WriteXMLDouble(char* out, double value);
std::string FormatXMLDouble(double value);

} // namespace quillory
