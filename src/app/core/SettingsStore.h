#pragma once

#include <string>

namespace quillory {

// Integer values kept by section and name, as the program's options and window placement are.
// Every read goes to the store itself (nothing is cached), so a value written by one part of the
// program is seen by the next read anywhere else.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The stored value, or defaultValue when it is missing or not an integer. Never writes.
    virtual int GetProfileInt(const std::string& section, const std::string& name, int defaultValue) = 0;
    virtual void WriteProfileInt(const std::string& section, const std::string& name, int value) = 0;
};

} // namespace quillory
