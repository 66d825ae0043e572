#include "Clock.h"

#include <atomic>

namespace quillory {

namespace {
std::atomic<bool> frozen{false};
std::atomic<std::time_t> frozenAt{0};
} // namespace

std::time_t Clock::Now() {
    return frozen ? frozenAt.load() : std::time(nullptr);
}

bool Clock::ToLocal(std::time_t t, std::tm& out) {
    return localtime_r(&t, &out) != nullptr;
}

void Clock::Freeze(std::time_t moment) {
    frozenAt = moment;
    frozen = true;
}

void Clock::Advance(std::time_t seconds) {
    if (!frozen)
        Freeze(std::time(nullptr));
    frozenAt += seconds;
}

void Clock::Release() {
    frozen = false;
}

bool Clock::IsFrozen() {
    return frozen;
}

} // namespace quillory
