#pragma once

#include <optional>

namespace quillory {

// Answers the command lines that do not start the program: --help and --version on standard
// output, an unknown argument with the usage on standard error (2), and --quit, which asks the
// running instance to end and needs no display. Returns the exit code, or nothing when the
// program is to start.
std::optional<int> AnswerCommandLine(int argc, char** argv);

} // namespace quillory
