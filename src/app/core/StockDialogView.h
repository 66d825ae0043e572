#pragma once

#include <string>

#include "model/ListView.h"

namespace quillory {

// The investment dialog's controls as its Search needs them.
class StockDialogView {
public:
    virtual ~StockDialogView() = default;
    virtual std::string GetSymbolText() = 0;
    // Selects the first source list entry beginning with `name` (case-insensitive).
    virtual void SelectSource(const std::string& name) = 0;
    virtual void SetNameText(const std::string& name) = 0;
    virtual ListView& History() = 0;
    virtual void EnableSearch(bool enable) = 0;
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
};

} // namespace quillory
