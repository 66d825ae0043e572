#include "MessageBox.h"

#include <cstdio>

namespace quillory {

namespace {

void DefaultMessageBox(const std::string& text, const std::string& caption, MessageBoxIcon) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
}

MessageBoxHook& CurrentHook() {
    static MessageBoxHook hook = DefaultMessageBox;
    return hook;
}

} // namespace

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook) {
    MessageBoxHook previous = CurrentHook();
    CurrentHook() = hook ? std::move(hook) : MessageBoxHook(DefaultMessageBox);
    return previous;
}

void ShowMessageBox(const std::string& text, const std::string& caption, MessageBoxIcon icon) {
    // Copy first: the hook may replace itself while it runs.
    MessageBoxHook hook = CurrentHook();
    hook(text, caption, icon);
}

} // namespace quillory
