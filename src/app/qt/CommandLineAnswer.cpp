#include "app/qt/CommandLineAnswer.h"

#include <QCoreApplication>
#include <cstdio>

#include "app/core/CommandLine.h"
#include "app/qt/SingleInstance.h"

namespace quillory {

namespace {

int Quit(int argc, char** argv) {
    QCoreApplication qapp(argc, argv);
    SingleInstance instance;
    switch (instance.Quit()) {
    case SingleInstance::Outcome::HandedOver:
        return 0;
    case SingleInstance::Outcome::NotRunning:
        std::fputs("quillory: Quillory is not running\n", stderr);
        return 1;
    default:
        std::fputs("quillory: the running Quillory does not answer\n", stderr);
        return 1;
    }
}

} // namespace

std::optional<int> AnswerCommandLine(int argc, char** argv) {
    const CommandLine command = CommandLine::Parse(argc, argv);
    switch (command.action) {
    case CommandLine::Action::Run:
        return std::nullopt;
    case CommandLine::Action::Quit:
        return Quit(argc, argv);
    case CommandLine::Action::Help:
        std::fputs(CommandLine::UsageText(), stdout);
        return 0;
    case CommandLine::Action::Version:
        std::fputs(CommandLine::VersionText().c_str(), stdout);
        return 0;
    case CommandLine::Action::Usage:
        std::fprintf(stderr, "quillory: %s\n%s", command.error.c_str(), CommandLine::UsageText());
        return 2;
    }
    return 2;
}

} // namespace quillory
