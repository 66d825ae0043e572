#pragma once

#include <concepts>
#include <cstddef>
#include <string>

namespace quillory {

// One attribute of a markup token, a plain value (no virtual destructor: tokens hold millions of them). `value` carries
// neither its quotes nor decoded entities; `quote` is the character used when the attribute is rendered again.
class XMLAttribute {
public:
    XMLAttribute() = default;
    XMLAttribute(std::string name, std::string value, bool hasValue = true);
    // A null value makes a bare attribute (no "=").
    XMLAttribute(std::string name, const char* value);
    XMLAttribute(std::string name, std::nullptr_t);
    XMLAttribute(std::string name, double value); // "%.16g"
    XMLAttribute(std::string name, bool value);   // "TRUE" / "FALSE"
    // Whole numbers would otherwise be ambiguous between the double and the bool form; they take the
    // number form, which writes them without a fraction.
    template <std::integral T>
    requires(!std::same_as<T, bool> && !std::same_as<T, char>) XMLAttribute(std::string name, T value)
        : XMLAttribute(std::move(name), static_cast<double>(value)) {}

    // Reads one attribute piece such as  href="x"  or  a=b=c  (name a, value bc). An '=' inside
    // double or single quotes does not split; enclosing quotes of the value are removed.
    void Parse(const std::string& token);
    void Parse(const char* data, size_t size);
    // name, and when hasValue: ="value" with the stored quote character. Nothing is escaped.
    void CreateText(std::string& out) const;
    void AppendText(std::string& out) const;

    std::string& GetName() { return name; }
    const std::string& GetName() const { return name; }
    void SetName(const std::string& text) { name = text; }
    std::string& GetValue() { return value; }
    const std::string& GetValue() const { return value; }
    void SetValue(const std::string& text) { value = text; }
    bool HasValue() const { return hasValue; }
    bool GetHasValue() const { return hasValue; }
    void SetHasValue(bool flag) { hasValue = flag; }
    char GetQuote() const { return quote; }
    void SetQuote(char c) { quote = c; }

    std::string name;
    std::string value;
    bool hasValue = true;
    char quote = '"';

private:
    friend class XMLTag;
    // The tokenizer has already found the first '=' (or none) and knows how many there are.
    void ParseSplit(const char* data, size_t size, size_t firstEquals, bool moreEquals);
    void AssignValue(const char* data, size_t size);
};

} // namespace quillory
