#pragma once

#include <string>
#include <vector>

namespace quillory::SymbolSearch {

// One instrument whose name or symbol matches the text searched for.
struct Candidate {
    std::string symbol;
    std::string name;     // the long name, else the short name
    std::string exchange; // as the service shows it ("NASDAQ")
    std::string type;     // "Equity", "ETF", "Index", ...
};

// Asks Yahoo's search (the "Yahoo Finance Chart" service) for up to ten instruments matching
// `text`. True when the service answered, with `candidates` possibly empty; false with `reason`
// when it could not be asked or gave something else.
bool Find(const std::string& text, std::vector<Candidate>& candidates, std::string& reason);

// Reads a search answer ({"count":N,"quotes":[...],...}); entries without a symbol are skipped.
bool ReadAnswer(const std::string& body, std::vector<Candidate>& candidates, std::string& reason);

// The request target for `text`.
std::string Target(const std::string& text);

} // namespace quillory::SymbolSearch
