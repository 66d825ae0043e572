#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "../../tasks/TaskFakes.h" // also reached from the Qt tests
#include "app/core/StockSources.h"

namespace quillory::test {

// Quote sources in memory. Each named source knows some symbols (name, last trade, change); a
// run for another symbol fails, and a symbol listed in `throwing` raises an error. A symbol with a
// gate waits there first (until the test opens it, or the download is cancelled). Runs may come
// from several threads; set the world up before they start and read it after they end.
class FakeSourceWorld {
public:
    struct Quote {
        std::string company;
        double lastTrade = 0, change = 0;
        std::string chosenSource = {}; // the "Source" parameter, as "Automatic" sets it
        std::string currency = {};     // the "Currency" parameter, when the source reports one
    };

    void Add(const std::string& source, const std::string& symbol, Quote quote) { quotes[{source, symbol}] = quote; }

    StockSources Sources(std::vector<std::string> names, std::vector<std::string> uncreatable = {}) {
        StockSources sources;
        sources.names = [names] { return names; };
        sources.create = [this, names, uncreatable](const std::string& name) -> std::unique_ptr<StockDataExtractor> {
            for (const std::string& bad : uncreatable)
                if (bad == name)
                    return nullptr;
            for (const std::string& known : names)
                if (known == name)
                    return std::make_unique<Source>(*this, name);
            return nullptr;
        };
        return sources;
    }

    std::vector<std::string> runs; // "source:symbol" in the order run
    std::vector<std::string> throwing;
    std::map<std::pair<std::string, std::string>, Quote> quotes;
    std::map<std::string, std::shared_ptr<Gate>> gates;
    std::mutex mutex;

private:
    class Source : public StockDataExtractor {
    public:
        Source(FakeSourceWorld& world, std::string name) : world(world), name(std::move(name)) {}
        bool Run() override {
            const std::string symbol = GetSymbol();
            std::shared_ptr<Gate> gate;
            {
                std::lock_guard lock(world.mutex);
                world.runs.push_back(name + ":" + symbol);
                auto at = world.gates.find(symbol);
                if (at != world.gates.end())
                    gate = at->second;
            }
            if (gate && !gate->Wait())
                throw std::runtime_error("download cancelled");
            std::lock_guard lock(world.mutex);
            for (const std::string& bad : world.throwing)
                if (bad == symbol)
                    throw std::runtime_error("connection reset");
            auto it = world.quotes.find({name, symbol});
            if (it == world.quotes.end())
                return false;
            SetCompanyName(it->second.company);
            SetLastTrade(it->second.lastTrade);
            SetChange(it->second.change);
            if (!it->second.chosenSource.empty())
                SetParameter("Source", it->second.chosenSource);
            if (!it->second.currency.empty())
                SetCurrency(it->second.currency);
            return true;
        }

    private:
        FakeSourceWorld& world;
        std::string name;
    };
};

} // namespace quillory::test
