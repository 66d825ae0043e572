#include "ServiceProxy.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>
#include <vector>

#include "DataExtractor.h"
#include "ServiceHosts.h"
#include "foundation/StringUtils.h"

namespace quillory::ServiceProxy {

namespace {

std::string FirstSet(const char* lower, const char* upper) {
    const char* value = std::getenv(lower);
    if (!value || !*value)
        value = std::getenv(upper);
    return value ? value : "";
}

// Each distinct complaint is written once, not once per download.
void WarnOnce(const std::string& text) {
    static std::mutex mutex;
    static std::set<std::string> said;
    std::lock_guard lock(mutex);
    if (said.insert(text).second) {
        std::fprintf(stderr, "%s\n", text.c_str());
        std::fflush(stderr);
    }
}

std::string Lower(std::string text) {
    StringUtils::ToLower(text);
    return text;
}

// Splits "name:port" (port 80 when absent); false when the port is not a number from 1 to 65535.
bool SplitHostPort(const std::string& text, std::string& name, uint16_t& port) {
    size_t colon = text.rfind(':');
    name = text.substr(0, colon);
    port = 80;
    if (colon == std::string::npos)
        return true;
    std::string digits = text.substr(colon + 1);
    if (digits.empty() || digits.size() > 5 || !StringUtils::IsDigits(digits))
        return false;
    long value = std::strtol(digits.c_str(), nullptr, 10);
    if (value < 1 || value > 65535)
        return false;
    port = static_cast<uint16_t>(value);
    return true;
}

bool ParseProxy(const std::string& raw, std::string& host, uint16_t& port) {
    std::string text = raw;
    StringUtils::Trim(text);
    if (text.empty())
        return false;
    size_t scheme = text.find("://");
    if (scheme != std::string::npos) {
        if (Lower(text.substr(0, scheme)) != "http") {
            WarnOnce("http_proxy: only plain http proxies are supported; [" + raw + "] is ignored");
            return false;
        }
        text = text.substr(scheme + 3);
    }
    text = text.substr(0, text.find('/'));
    size_t at = text.rfind('@');
    if (at != std::string::npos)
        text = text.substr(at + 1); // the request carries no credentials
    if (text.empty() || !SplitHostPort(text, host, port) || host.empty()) {
        WarnOnce("http_proxy: [" + raw + "] is not host[:port]; it is ignored");
        return false;
    }
    return true;
}

} // namespace

bool Bypasses(const std::string& noProxy, const std::string& target) {
    std::string targetName;
    uint16_t targetPort = 80;
    if (!SplitHostPort(Lower(target), targetName, targetPort))
        return false;
    std::vector<std::string> entries;
    StringUtils::Split(noProxy, ", ", entries, false);
    for (std::string entry : entries) {
        StringUtils::Trim(entry);
        if (entry.empty())
            continue;
        if (entry == "*")
            return true;
        std::string name;
        uint16_t port = 0;
        bool withPort = entry.find(':') != std::string::npos;
        if (!SplitHostPort(Lower(entry), name, port))
            continue;
        while (!name.empty() && name.front() == '.')
            name.erase(0, 1);
        if (name.empty() || (withPort && port != targetPort))
            continue;
        if (targetName == name || (targetName.size() > name.size() &&
                                   targetName.compare(targetName.size() - name.size(), name.size(), name) == 0 &&
                                   targetName[targetName.size() - name.size() - 1] == '.'))
            return true;
    }
    return false;
}

bool ForService(const std::string& displayName, std::string& host, uint16_t& port) {
    std::string proxy = FirstSet("http_proxy", "HTTP_PROXY");
    if (proxy.empty())
        return false;
    std::string target = ServiceHosts::Host(displayName);
    if (target.empty() || Bypasses(FirstSet("no_proxy", "NO_PROXY"), target))
        return false;
    return ParseProxy(proxy, host, port);
}

void Apply(DataExtractor& source, const std::string& displayName) {
    std::string host;
    uint16_t port = 0;
    if (ForService(displayName, host, port))
        source.SetProxy(host, port);
}

} // namespace quillory::ServiceProxy
