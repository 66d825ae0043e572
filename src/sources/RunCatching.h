#pragma once

#include <string>

namespace quillory {

class DataExtractor;

// How a run of a source ended. A source may throw (markup read past its end, a socket that could
// not start); the callers count that as a failed run and report it each in its own words.
struct RunOutcome {
    bool ok = false;
    // "" when Run returned; otherwise "Exception", "HttpException", "exception" (a standard one)
    // or "unknown exception".
    std::string caught;
    std::string message; // what the caught error said, if anything
};

RunOutcome RunCatching(DataExtractor& source);
// The log line for a run that threw: "<caller> - Caught HttpException - <message>".
std::string CaughtText(const std::string& caller, const RunOutcome& outcome);

} // namespace quillory
