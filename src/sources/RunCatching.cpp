#include "RunCatching.h"

#include <exception>

#include "DataExtractor.h"
#include "foundation/Exception.h"

namespace quillory {

RunOutcome RunCatching(DataExtractor& source) {
    RunOutcome outcome;
    try {
        outcome.ok = source.Run();
    } catch (const Exception& e) {
        outcome.caught = "Exception";
        outcome.message = e.Message();
    } catch (const HttpException& e) {
        outcome.caught = "HttpException";
        outcome.message = e.Message();
    } catch (const std::exception& e) {
        outcome.caught = "exception";
        outcome.message = e.what();
    } catch (...) {
        outcome.caught = "unknown exception";
    }
    return outcome;
}

std::string CaughtText(const std::string& caller, const RunOutcome& outcome) {
    return caller + " - Caught " + outcome.caught + (outcome.message.empty() ? "" : " - " + outcome.message);
}

} // namespace quillory
