#include "ServiceHosts.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>

#include "foundation/StringUtils.h"

namespace quillory::ServiceHosts {

namespace {

struct Service {
    const char* displayName;
    const char* host;
    const char* scheme = "http";
    const char* alternateHost = nullptr;
};

struct Override {
    std::string scheme; // "" for the service's own
    std::string host;
};

// The services' own hosts. Both India Times pages (summary and current quote) live on one host,
// and so do Finam's code lists and quote pages.
const Service services[] = {
    {"Yahoo Finance", "finance.yahoo.com"},
    {"Yahoo Finance UK", "uk.finance.yahoo.com"},
    {"Bloomberg", "www.bloomberg.com"},
    {"Google Finance", "www.google.com"},
    {"Money Central", "moneycentral.msn.com"},
    {"MSN Money UK", "money.uk.msn.com"},
    {"India Times", "economictimes.indiatimes.com"},
    {"Finam", "www.finam.ru"},
    {"Zagreb Stock Exchange", "www.limun.hr"},
    {"AMFI India", "www.amfiindia.com"},
    {"Russian Trade System", "www.rts.ru"},
    {"Yahoo Finance Chart", "query1.finance.yahoo.com", "https", "query2.finance.yahoo.com"},
    {"Moscow Exchange", "iss.moex.com", "https"},
    {"AMFI India NAV", "portal.amfiindia.com", "https"},
    {"ECB Reference Rates", "www.ecb.europa.eu", "https"},
};

const Service* FindService(const std::string& displayName) {
    for (const Service& s : services)
        if (displayName == s.displayName)
            return &s;
    return nullptr;
}

std::mutex mutex;
std::string parsedValue;
bool parsedOnce = false;
std::map<std::string, Override> overrides;

void Warn(const std::string& text) {
    std::fprintf(stderr, "QUILLORY_HOSTS: %s\n", text.c_str());
    std::fflush(stderr);
}

// Re-reads the overrides when the variable differs from the text parsed last.
void Refresh() {
    const char* env = std::getenv("QUILLORY_HOSTS");
    std::string value = env ? env : "";
    if (parsedOnce && value == parsedValue)
        return;
    parsedOnce = true;
    parsedValue = value;
    overrides.clear();
    std::vector<std::string> entries;
    StringUtils::Split(value, ";", entries, false);
    for (std::string entry : entries) {
        StringUtils::Trim(entry);
        if (entry.empty())
            continue;
        size_t eq = entry.find('=');
        std::string name = eq == std::string::npos ? entry : entry.substr(0, eq);
        std::string host = eq == std::string::npos ? "" : entry.substr(eq + 1);
        StringUtils::Trim(name);
        StringUtils::Trim(host);
        std::string scheme;
        for (const char* known : {"http", "https"}) {
            const std::string prefix = std::string(known) + "://";
            std::string front = host.substr(0, prefix.size());
            StringUtils::ToLower(front);
            if (front == prefix) {
                scheme = known;
                host = host.substr(prefix.size());
                if (!host.empty() && host.back() == '/')
                    host.pop_back();
            }
        }
        if (host.empty() || host.find_first_of(" /\t") != std::string::npos) {
            Warn("ignoring [" + entry + "]: expected Display Name=[http://|https://]host[:port]");
            continue;
        }
        if (!FindService(name)) {
            Warn("ignoring unknown quote service [" + name + "]");
            continue;
        }
        overrides[name] = Override{scheme, host};
    }
}

// The service's scheme and host, with its override applied; false for an unknown name.
bool Lookup(const std::string& displayName, bool alternate, std::string& scheme, std::string& host) {
    const std::string& name = displayName == "Yahoo Currency" ? std::string("Yahoo Finance") : displayName;
    const Service* service = FindService(name);
    if (!service)
        return false;
    scheme = service->scheme;
    host = alternate && service->alternateHost ? service->alternateHost : service->host;
    std::lock_guard lock(mutex);
    Refresh();
    if (auto it = overrides.find(name); it != overrides.end()) {
        host = it->second.host;
        if (!it->second.scheme.empty())
            scheme = it->second.scheme;
    }
    return true;
}

} // namespace

std::string Host(const std::string& displayName) {
    std::string scheme, host;
    Lookup(displayName, false, scheme, host);
    return host;
}

std::string BaseUrl(const std::string& displayName) {
    std::string scheme = "http", host;
    Lookup(displayName, false, scheme, host);
    return scheme + "://" + host;
}

std::string AlternateBaseUrl(const std::string& displayName) {
    std::string scheme = "http", host;
    Lookup(displayName, true, scheme, host);
    return scheme + "://" + host;
}

std::string LimitKey(const std::string& displayName) {
    const std::string host = Host(displayName);
    return host.empty() ? displayName : host;
}

std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const Service& s : services)
        names.emplace_back(s.displayName);
    return names;
}

} // namespace quillory::ServiceHosts
