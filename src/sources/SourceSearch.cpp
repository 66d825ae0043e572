#include "SourceSearch.h"

#include <algorithm>

#include "foundation/CancelToken.h"

namespace quillory {

SourceSearch SearchSources(std::vector<std::string> names, const SourceFactory& create, const std::string& symbol,
                           const std::function<void(const std::string& name)>& trying,
                           const std::function<void(const RunOutcome& outcome)>& caught) {
    SourceSearch search;
    std::sort(names.begin(), names.end());
    const CancelToken* token = CancelToken::Current();
    for (const std::string& name : names) {
        if (token && token->IsCancelled()) {
            search.cancelled = true;
            break;
        }
        std::unique_ptr<StockDataExtractor> source = create(name);
        if (!source) {
            ++search.invalidSources;
            continue;
        }
        search.source = name;
        if (trying)
            trying(name);
        source->SetSymbol(symbol);
        const RunOutcome outcome = RunCatching(*source);
        if (!outcome.caught.empty() && caught)
            caught(outcome);
        if (outcome.ok && !source->GetCompanyName().empty()) {
            search.found = std::move(source);
            return search;
        }
    }
    if (token && token->IsCancelled())
        search.cancelled = true;
    return search;
}

} // namespace quillory
