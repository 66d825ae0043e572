#include "app/core/StockSources.h"

#include <exception>

#include "foundation/Exception.h"
#include "foundation/Log.h"
#include "sources/DataExtractorFactory.h"
#include "sources/ServiceHosts.h"
#include "sources/ServiceProxy.h"

namespace quillory {

StockSources StockSources::Default() {
    StockSources sources;
    sources.names = [] {
        std::vector<std::string> names;
        DataExtractorFactory::GetStockDataExtractorNames(names);
        return names;
    };
    sources.create = [](const std::string& name) {
        auto source = DataExtractorFactory::CreateStockDataExtractor(name);
        if (source)
            ServiceProxy::Apply(*source, name); // http_proxy / no_proxy, as for quillory-quote
        return source;
    };
    return sources;
}

std::string HostKey(const std::string& sourceName) {
    std::string host = ServiceHosts::Host(sourceName);
    return host.empty() ? sourceName : host;
}

bool RunSource(StockDataExtractor& source, const std::string& caller) {
    const std::string prefix = caller + " - Caught ";
    try {
        return source.Run();
    } catch (const Exception& e) {
        LogError(prefix + "Exception - " + e.Message());
    } catch (const HttpException& e) {
        LogError(prefix + "HttpException - " + e.Message());
    } catch (const std::exception& e) {
        LogError(prefix + "exception - " + e.what());
    } catch (...) {
        LogError(prefix + "unknown exception");
    }
    return false;
}

QuoteFetch FetchQuote(const StockSources& sources, const std::string& sourceName, const std::string& symbol,
                      bool /*fallback*/, const std::string& caller) {
    QuoteFetch fetch;
    fetch.source = sources.create(sourceName);
    if (!fetch.source) {
        fetch.result = QuoteFetch::Result::NoSource;
        return fetch;
    }
    fetch.source->SetSymbol(symbol);
    if (!RunSource(*fetch.source, caller)) {
        fetch.source.reset();
        return fetch;
    }
    fetch.result = QuoteFetch::Result::Updated;
    fetch.answeredBy = sourceName;
    return fetch;
}

} // namespace quillory
