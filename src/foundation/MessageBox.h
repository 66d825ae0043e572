#pragma once

#include <functional>
#include <string>

namespace quillory {

enum class MessageBoxIcon { None, Information, Warning, Error };

// Every message box shown below the GUI layer (the log, the data-file code) goes through this hook.
// By default it writes "caption: text" to stderr; the GUI installs a real box, tests a recorder.
using MessageBoxHook = std::function<void(const std::string& text, const std::string& caption, MessageBoxIcon icon)>;

// Installs a hook (an empty one restores the default) and returns the previous one.
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);
void ShowMessageBox(const std::string& text, const std::string& caption, MessageBoxIcon icon);

} // namespace quillory
