#pragma once

#include <string>
#include <vector>

namespace quillory {

// The arguments of `quillory`. The program has no options of its own beyond these; Qt's own
// (-platform, -style, -session and the like, with one or two leading dashes) are let through for
// QApplication, as a session manager restarts programs with them.
struct CommandLine {
    enum class Action {
        Run,     // start, or hand over to the instance already running
        Quit,    // --quit: ask the running instance to end as Exit does
        Help,    // --help, -h
        Version, // --version
        Usage,   // an argument nobody knows; `error` says which
    };

    Action action = Action::Run;
    std::string error;

    // `args` without the program name.
    static CommandLine Parse(const std::vector<std::string>& args);
    static CommandLine Parse(int argc, const char* const* argv);

    static const char* UsageText();
    // "Quillory " and the version, with its newline.
    static std::string VersionText();
};

} // namespace quillory
