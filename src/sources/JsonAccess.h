#pragma once

// Careful reading of answers whose shape we hope for but cannot trust: every step checks the type,
// so a body of the wrong shape gives "absent", never an exception.

#include <cmath>
#include <string>

#include <nlohmann/json.hpp>

namespace quillory::JsonAccess {

using Json = nlohmann::json;

// The parsed body, or a discarded value when it is no JSON at all.
inline Json Parse(const std::string& body) {
    return Json::parse(body, nullptr, false);
}

inline const Json* Member(const Json* object, const char* key) {
    if (object == nullptr || !object->is_object())
        return nullptr;
    auto it = object->find(key);
    return it == object->end() ? nullptr : &*it;
}

inline const Json* Element(const Json* array, size_t index) {
    if (array == nullptr || !array->is_array() || index >= array->size())
        return nullptr;
    return &(*array)[index];
}

inline bool Number(const Json* value, double& out) {
    if (value == nullptr || !value->is_number())
        return false;
    double number = value->get<double>();
    if (!std::isfinite(number))
        return false;
    out = number;
    return true;
}

// A non-empty string.
inline bool Text(const Json* value, std::string& out) {
    if (value == nullptr || !value->is_string() || value->get_ref<const std::string&>().empty())
        return false;
    out = value->get<std::string>();
    return true;
}

// The start of a body that was not what we expected, for the log.
inline std::string Glimpse(const std::string& body) {
    std::string start = body.substr(0, 40);
    for (char& c : start)
        if (static_cast<unsigned char>(c) < 0x20)
            c = ' ';
    return start.empty() ? "an empty body" : "\"" + start + (body.size() > 40 ? "...\"" : "\"");
}

} // namespace quillory::JsonAccess
