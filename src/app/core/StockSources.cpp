#include "app/core/StockSources.h"

#include "foundation/Log.h"
#include "sources/Automatic.h"
#include "sources/DataExtractorFactory.h"
#include "sources/RunCatching.h"
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

bool RunSource(StockDataExtractor& source, const std::string& caller) {
    RunOutcome outcome = RunCatching(source);
    if (!outcome.caught.empty())
        LogError(CaughtText(caller, outcome));
    return outcome.ok;
}

namespace {

// "Automatic" names the source it chose in its "Source" parameter.
std::string AnsweredBy(const StockDataExtractor& source, const std::string& sourceName) {
    std::string chosen = source.GetParameter("Source");
    return chosen.empty() ? sourceName : chosen;
}

} // namespace

QuoteFetch FetchQuote(const StockSources& sources, const std::string& sourceName, const std::string& symbol,
                      bool fallback, const std::string& caller) {
    QuoteFetch fetch;
    std::unique_ptr<StockDataExtractor> own = sources.create(sourceName);
    if (!own) {
        fetch.result = QuoteFetch::Result::NoSource;
        return fetch;
    }
    own->SetSymbol(symbol);
    if (RunSource(*own, caller)) {
        fetch.result = QuoteFetch::Result::Updated;
        fetch.answeredBy = AnsweredBy(*own, sourceName);
        fetch.source = std::move(own);
        return fetch;
    }
    if (!fallback || sourceName == AutomaticSource::kName)
        return fetch;
    std::unique_ptr<StockDataExtractor> automatic = sources.create(AutomaticSource::kName);
    if (!automatic)
        return fetch;
    if (auto* chooser = dynamic_cast<AutomaticSource*>(automatic.get()))
        chooser->Exclude(sourceName); // it just failed; asking it again would only cost time
    automatic->SetSymbol(symbol);
    if (!RunSource(*automatic, caller))
        return fetch;
    LogMessage(caller + " - [" + symbol + "] " + sourceName + " failed; quoted by " +
               AnsweredBy(*automatic, AutomaticSource::kName) + " instead");
    fetch.result = QuoteFetch::Result::Updated;
    fetch.answeredBy = AnsweredBy(*automatic, AutomaticSource::kName);
    fetch.fellBack = true;
    fetch.source = std::move(automatic);
    return fetch;
}

} // namespace quillory
