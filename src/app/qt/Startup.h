#pragma once

namespace quillory {

// The whole program: settings from $XDG_CONFIG_HOME/Korvant/Quillory.conf, the investment list
// loaded, the main window and its tray icon until Exit (or SIGTERM, SIGINT or the end of the
// desktop session), and the list saved at the end. Returns the process exit code.
int RunQuillory(int argc, char** argv);

} // namespace quillory
