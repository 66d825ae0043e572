#pragma once

#include <list>
#include <string>

namespace quillory {

// The alert dialog's texts, shown one after another: the button reads "Next >>" while more than
// one text is left and "Close" for the last one.
class AlertSequence {
public:
    explicit AlertSequence(std::list<std::string> texts = {});
    virtual ~AlertSequence() = default;

    // The text on show; empty when there is none.
    std::string Current() const;
    std::string ButtonText() const;
    // Goes on to the next text; true when the press closes the dialog (the last text was shown).
    bool Next();

    std::list<std::string> alertTexts;
};

} // namespace quillory
