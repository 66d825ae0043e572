#pragma once

// Generates an investment data file in the program's own format (see the worked example below) for
// benchmarks: the same bytes on every machine for the same options, since only the raw output of a
// fixed-seed std::mt19937 is used (no std distributions, whose results differ between libraries).
//
//   <StockList>
//   <Stock Symbol="MSFT" Name="Microsoft Corporation" Quantity="10" DataSource="Yahoo Finance">
//   <StockAlert UpperAlert="TRUE" UpperLimit="30" LowerAlert="FALSE" LowerLimit="0"/>
//   <StockPriceList>
//   <StockPrice Date="2010-05-03" Price="30.5" Change="-0.25"/>
//   </StockPriceList>
//   </Stock>
//   </StockList>
//
// Every line ends with CR LF; there is no declaration. Prices follow a random walk in whole cents;
// the change is the difference of two such doubles, written with "%.16g" as the program writes it,
// so it often carries the binary noise of the subtraction (-0.2500000000000036).

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>

namespace quillory::bench {

struct DataFileOptions {
    int investments = 500;
    int pricesPerInvestment = 2500;
    uint32_t seed = 20100503;
};

namespace detail {

inline void AppendNumber(std::string& out, double value) {
    char text[80];
    int n = std::snprintf(text, sizeof text, "%.16g", value);
    out.append(text, static_cast<size_t>(n));
}

// Calendar date of a day number (days since 1970-01-01), proleptic Gregorian.
inline void AppendDate(std::string& out, int64_t days) {
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t dayOfEra = days - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t mp = (5 * dayOfYear + 2) / 153;
    const int64_t day = dayOfYear - (153 * mp + 2) / 5 + 1;
    const int64_t month = mp < 10 ? mp + 3 : mp - 9;
    const int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    char text[32];
    int n = std::snprintf(text, sizeof text, "%04d-%02d-%02d", static_cast<int>(year), static_cast<int>(month),
                          static_cast<int>(day));
    out.append(text, static_cast<size_t>(n));
}

} // namespace detail

inline std::string GenerateDataFile(const DataFileOptions& options = {}) {
    static const char* const sources[] = {"Yahoo Finance", "Yahoo Finance UK", "Bloomberg",         "Google Finance",
                                          "MSN Money",     "MSN Money UK",     "The Economic Times"};
    static const char* const words[] = {
        "Northern",           "Atlantic", "Consolidated", "General",  "United",  "Pacific",
        "Johnson &amp; Sons", "Energy",   "Mining",       "Holdings", "Systems", "Bank"};
    static const char* const suffixes[] = {"Inc.", "Corporation", "plc", "AG", "Group", "Ltd."};
    std::mt19937 random(options.seed);
    auto pick = [&random](uint32_t count) { return static_cast<uint32_t>(random() % count); };

    std::string out;
    out.reserve(static_cast<size_t>(options.investments) *
                (static_cast<size_t>(options.pricesPerInvestment) * 76 + 300));
    out += "<StockList>\r\n";
    const int64_t firstDay = 14610; // 2010-01-01
    for (int i = 0; i < options.investments; ++i) {
        std::string symbol;
        for (uint32_t k = 0, n = 3 + pick(2); k < n; ++k)
            symbol += static_cast<char>('A' + pick(26));
        std::string name = std::string(words[pick(12)]) + " " + words[pick(12)] + " " + suffixes[pick(6)];
        out += "<Stock Symbol=\"" + symbol + "\" Name=\"" + name + "\"";
        if (uint32_t quantity = pick(4) == 0 ? 0 : 1 + pick(1000); quantity != 0) {
            out += " Quantity=\"";
            detail::AppendNumber(out, quantity);
            out += "\"";
        }
        out += " DataSource=\"";
        out += sources[pick(7)];
        out += "\">\r\n";

        int64_t cents = 500 + pick(50000);
        const bool upper = pick(2) == 0, lower = pick(2) == 0;
        out += "<StockAlert UpperAlert=\"";
        out += upper ? "TRUE" : "FALSE";
        out += "\" UpperLimit=\"";
        detail::AppendNumber(out, upper ? static_cast<double>(cents * 12 / 10) / 100.0 : 0.0);
        out += "\" LowerAlert=\"";
        out += lower ? "TRUE" : "FALSE";
        out += "\" LowerLimit=\"";
        detail::AppendNumber(out, lower ? static_cast<double>(cents * 8 / 10) / 100.0 : 0.0);
        out += "\"/>\r\n<StockPriceList>\r\n";

        double previous = static_cast<double>(cents) / 100.0;
        for (int d = 0; d < options.pricesPerInvestment; ++d) {
            // A step of up to 2% either way, never below one cent.
            const int64_t step = (cents * static_cast<int64_t>(pick(401))) / 10000 - cents / 50;
            cents = cents + step > 0 ? cents + step : 1;
            const double price = static_cast<double>(cents) / 100.0;
            const double change = price - previous;
            previous = price;
            out += "<StockPrice Date=\"";
            detail::AppendDate(out, firstDay + d);
            out += "\" Price=\"";
            detail::AppendNumber(out, price);
            out += "\"";
            if (change != 0) {
                out += " Change=\"";
                detail::AppendNumber(out, change);
                out += "\"";
            }
            out += "/>\r\n";
        }
        out += "</StockPriceList>\r\n</Stock>\r\n";
    }
    out += "</StockList>\r\n";
    return out;
}

} // namespace quillory::bench
