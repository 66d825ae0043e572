#pragma once

#include <string>
#include <vector>

namespace quillory::ServiceHosts {

// Where each quote service is reached, by the display name of its source. The defaults are the
// services' real hosts; QUILLORY_HOSTS='Display Name=[scheme://]host[:port];...' overrides them
// (read again whenever the variable changes; an entry with an unknown name or no host is reported
// once on stderr and ignored). The scheme, http or https, defaults to the service's own: http for
// the quote pages, https for today's JSON, text and XML services. "Yahoo Currency" is served by
// the "Yahoo Finance" host; "Yahoo Finance Chart" covers both chart hosts and the symbol search.

// "host" or "host:port"; "" for a name that is no quote service.
std::string Host(const std::string& displayName);
// "scheme://" + Host(displayName): the front of every request URL of that service.
std::string BaseUrl(const std::string& displayName);
// The second host of a service that has one (query2 for the Yahoo chart and search); with an
// override in QUILLORY_HOSTS, or for any other service, BaseUrl.
std::string AlternateBaseUrl(const std::string& displayName);
// What downloads for that source talk to, for limiting them per host: its host, or the name itself
// for a source with no host of its own ("Automatic" counts as one).
std::string LimitKey(const std::string& displayName);
// The display names QUILLORY_HOSTS accepts, in table order.
std::vector<std::string> Names();

} // namespace quillory::ServiceHosts
