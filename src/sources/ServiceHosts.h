#pragma once

#include <string>
#include <vector>

namespace quillory::ServiceHosts {

// Where each quote service is reached, by the display name of its source. The defaults are the
// services' real hosts; QUILLORY_HOSTS='Display Name=host[:port];...' overrides them (read again
// whenever the variable changes; an entry with an unknown name or no host is reported once on
// stderr and ignored). "Yahoo Currency" is served by the "Yahoo Finance" host.

// "host" or "host:port"; "" for a name that is no quote service.
std::string Host(const std::string& displayName);
// "http://" + Host(displayName): the front of every request URL of that service.
std::string BaseUrl(const std::string& displayName);
// The display names QUILLORY_HOSTS accepts, in table order.
std::vector<std::string> Names();

} // namespace quillory::ServiceHosts
