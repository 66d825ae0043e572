#pragma once

#include <string>
#include <vector>

#include "TestSupport.h"

namespace quillory::test {

// The captured log texts (without time prefix) that mention `origin`, in order, so a test can compare a
// source's own lines exactly while the web layer logs what it likes.
inline std::vector<std::string> LinesFrom(const LogCapture& log, const std::string& origin) {
    std::vector<std::string> lines;
    for (const std::string& text : log.Texts())
        if (text.find(origin) != std::string::npos)
            lines.push_back(text);
    return lines;
}

// A QUILLORY_HOSTS value that sends `displayName` to a local port nobody listens on.
inline std::string DeadHost(const std::string& displayName) {
    return displayName + "=127.0.0.1:1";
}

} // namespace quillory::test
