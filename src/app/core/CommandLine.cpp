#include "app/core/CommandLine.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace quillory {

namespace {

// Qt's command-line options (QGuiApplication, QApplication and the X11 platform), without dashes.
constexpr std::array<std::string_view, 14> kQtOptionsWithValue = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
    "geometry", "qwindowicon",        "qwindowtitle",  "title",  "session",
    "style",    "stylesheet",         "display",       "name"};
constexpr std::array<std::string_view, 6> kQtFlags = {"reverse", "widgetcount", "nograb",
                                                      "dograb",  "sync",        "qmljsdebugger"};

template <size_t N> bool Contains(const std::array<std::string_view, N>& names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

CommandLine Refuse(std::string error) {
    CommandLine result;
    result.action = CommandLine::Action::Usage;
    result.error = std::move(error);
    return result;
}

} // namespace

CommandLine CommandLine::Parse(const std::vector<std::string>& args) {
    CommandLine result;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h")
            return CommandLine{Action::Help, {}};
        if (arg == "--version")
            return CommandLine{Action::Version, {}};
        if (arg == "--quit") {
            result.action = Action::Quit;
            continue;
        }
        if (arg.size() < 2 || arg[0] != '-')
            return Refuse("unexpected argument " + arg);
        std::string_view name(arg);
        name.remove_prefix(name.starts_with("--") ? 2 : 1);
        const size_t equals = name.find('=');
        const std::string_view bare = name.substr(0, equals);
        if (Contains(kQtFlags, bare))
            continue;
        if (!Contains(kQtOptionsWithValue, bare))
            return Refuse("unknown option " + arg);
        if (equals == std::string_view::npos && ++i >= args.size())
            return Refuse(arg + " needs a value");
    }
    return result;
}

CommandLine CommandLine::Parse(int argc, const char* const* argv) {
    return Parse(std::vector<std::string>(argv + std::min(argc, 1), argv + argc));
}

const char* CommandLine::UsageText() {
    return "Usage: quillory [--quit | --help | --version]\n"
           "\n"
           "Watches stock quotes and price alerts from the notification area. One Quillory runs per\n"
           "user session: starting it again shows the window of the one already running.\n"
           "\n"
           "  --quit     ask the running Quillory to save and end, as Exit does\n"
           "  --help     show this text\n"
           "  --version  show the version\n"
           "\n"
           "Qt's own options (-platform, -style, -session, ...) are accepted as well.\n"
           "Exit status: 0 success, 1 no Quillory running to quit or no answer from it, 2 usage error.\n";
}

std::string CommandLine::VersionText() {
    return std::string("Quillory ") + QUILLORY_VERSION + "\n";
}

} // namespace quillory
