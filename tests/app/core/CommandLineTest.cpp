#include <gtest/gtest.h>

#include "app/core/CommandLine.h"

namespace quillory {
namespace {

using Action = CommandLine::Action;

TEST(CommandLineTest, OwnOptionsAndQtsOwnAreTakenTheRestRefused) {
    struct Case {
        std::vector<std::string> args;
        Action action;
        const char* error;
    } cases[] = {
        {{}, Action::Run, ""},
        {{"--quit"}, Action::Quit, ""},
        {{"--help"}, Action::Help, ""},
        {{"-h"}, Action::Help, ""},
        {{"--version"}, Action::Version, ""},
        {{"--quit", "--version"}, Action::Version, ""},
        // Qt's options, with their values, in the forms Qt reads (a session manager restarts with -session).
        {{"-platform", "offscreen", "--style", "fusion", "-session", "1a2b"}, Action::Run, ""},
        {{"-style=fusion", "-reverse", "--quit"}, Action::Quit, ""},
        {{"--bogus"}, Action::Usage, "unknown option --bogus"},
        {{"-q"}, Action::Usage, "unknown option -q"},
        {{"MSFT"}, Action::Usage, "unexpected argument MSFT"},
        {{"-"}, Action::Usage, "unexpected argument -"},
        {{"-platform"}, Action::Usage, "-platform needs a value"},
        // A value is never read as an option of ours.
        {{"-name", "--quit"}, Action::Run, ""},
    };
    for (const Case& c : cases) {
        CommandLine parsed = CommandLine::Parse(c.args);
        std::string shown = c.args.empty() ? "(none)" : c.args.front();
        EXPECT_EQ(parsed.action, c.action) << shown;
        EXPECT_EQ(parsed.error, c.error) << shown;
    }
}

TEST(CommandLineTest, VersionIsTheProgramsAndArgvSkipsTheProgramName) {
    EXPECT_EQ(CommandLine::VersionText(), "Quillory 1.7\n");
    const char* argv[] = {"quillory", "--quit"};
    EXPECT_EQ(CommandLine::Parse(2, argv).action, Action::Quit);
    EXPECT_EQ(CommandLine::Parse(0, argv).action, Action::Run);
}

} // namespace
} // namespace quillory
