#include "app/core/AlertSequence.h"

#include <utility>

namespace quillory {

AlertSequence::AlertSequence(std::list<std::string> texts) : alertTexts(std::move(texts)) {}

std::string AlertSequence::Current() const {
    return alertTexts.empty() ? std::string() : alertTexts.front();
}

std::string AlertSequence::ButtonText() const {
    return alertTexts.size() < 2 ? "Close" : "Next >>";
}

bool AlertSequence::Next() {
    if (alertTexts.size() > 1) {
        alertTexts.pop_front();
        return false;
    }
    return alertTexts.size() == 1;
}

} // namespace quillory
