#include "WebStockSource.h"

#include "foundation/Log.h"

namespace quillory {

bool WebStockSource::Fail(const std::string& origin, const std::string& why) {
    failureReason = why;
    LogError(origin + " - [" + GetSymbol() + "] " + why);
    return false;
}

} // namespace quillory
