// Response headers as a hostile server may send them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>

#include "foundation/Log.h"
#include "web/HttpConnection.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    quillory::Log::Instance().toConsole = false; // every broken header logs a line
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static quillory::HttpConnection connection("h", 80, false);
    std::string header(reinterpret_cast<const char*>(data), size);
    int32_t status = 0;
    std::map<std::string, std::string> fields;
    if (connection.ParseHttpResponse(header, status, fields)) {
        for (const auto& [name, value] : fields) {
            // Values come trimmed, and every name came from the header text.
            if (!value.empty() && (value.front() == ' ' || value.back() == ' '))
                std::abort();
            if (header.find(name) == std::string::npos)
                std::abort();
        }
    }
    return 0;
}
