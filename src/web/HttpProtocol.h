#pragma once

#include <cstdint>
#include <string>

namespace quillory {

enum class HttpProtocol { Invalid = 0, Http = 1, Https = 2, Ftp = 3 };

// "http", "HTTPS", "Ftp", ... in any letter case; any other name is Invalid.
HttpProtocol HttpProtocolFromName(const std::string& name);
// Http 80, Https 443, Ftp 21, Invalid 0.
uint16_t DefaultPort(HttpProtocol protocol);

} // namespace quillory
