#pragma once

#include <cstdint>
#include <string>

namespace quillory {
class DataExtractor;
}

namespace quillory::ServiceProxy {

// The proxy the callers of the factory hand to every source: from http_proxy (or HTTP_PROXY),
// "[http://][user:pass@]host[:port][/]" with port 80 when none is given, unless the service's host
// matches no_proxy (or NO_PROXY): a comma-separated list of host names, each matching itself and
// every host below it as a domain suffix (a leading "." is allowed), optionally with ":port", or
// "*" for every host. Only plain http proxies are supported; anything else is reported once on
// stderr and the download goes direct.

// True with the proxy's host and port when the service named `displayName` is to be reached
// through one.
bool ForService(const std::string& displayName, std::string& host, uint16_t& port);
// Hands the proxy (if any) for `displayName` to the source with DataExtractor::SetProxy.
void Apply(DataExtractor& source, const std::string& displayName);
// Whether `host` ("name" or "name:port") is exempt under the no_proxy list `noProxy`.
bool Bypasses(const std::string& noProxy, const std::string& host);

} // namespace quillory::ServiceProxy
