#pragma once

#include <cstdint>
#include <list>
#include <string>
#include <vector>

namespace quillory::StringUtils {

std::string ToString(int32_t value);      // "%d"
std::string ToString(double value);       // "%.16g" as in the C locale, whatever the process locale
double ToDouble(const std::string& text); // strtod, no checks
// Removes CR, LF, TAB and blanks at both ends, in place.
void Trim(std::string& text);
// Cuts at every delimiter outside a double-quoted stretch (when quotes are honoured) and appends the
// pieces, empty ones included, to `out`; an empty text empties `out` instead.
void Split(const std::string& text, const std::string& delimiters, std::vector<std::string>& out, bool quotes);
void Split(const std::string& text, const std::string& delimiters, std::list<std::string>& out, bool quotes);
// ASCII letters only: the program's texts are UTF-8, and case never changes outside A-Z/a-z.
void ToLower(std::string& text);
void ToUpper(std::string& text);
// Replaces each occurrence from left to right, resuming after the inserted text; returns the count.
int ReplaceAll(std::string& text, const std::string& search, const std::string& replacement);
int ReplaceChar(std::string& text, char search, char replacement);
bool IsDigits(const std::string& text); // true for ""

} // namespace quillory::StringUtils

namespace quillory::UnicodeUtils {

// UTF-16LE code units to UTF-8; an unpaired surrogate is an error (logged, "" returned).
std::string Unicode2Ansi(const std::u16string& text);

} // namespace quillory::UnicodeUtils
