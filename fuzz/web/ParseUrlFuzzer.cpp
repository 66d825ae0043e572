// URLs as quote sources build them and as redirects hand them over.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "web/HttpHelper.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string url(reinterpret_cast<const char*>(data), size);
    quillory::HttpProtocol protocol = quillory::HttpProtocol::Invalid;
    std::string host, path;
    uint16_t port = 0;
    quillory::HttpHelper::ParseUrl(url, protocol, host, port, path);
    // The result is always a usable request target of a known protocol, cut out of the URL.
    if (protocol == quillory::HttpProtocol::Invalid || path.empty() || path[0] != '/')
        std::abort();
    if (url.find(host) == std::string::npos || (path != "/" && url.find(path) == std::string::npos))
        std::abort();
    quillory::HttpHelper::EscapeUrl(url);
    if (url.find(' ') != std::string::npos || url.find(':') != std::string::npos)
        std::abort();
    return 0;
}
