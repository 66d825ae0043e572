#include "app/core/OptionsValues.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "app/core/AppIds.h"

namespace quillory {

OptionsValues OptionsValues::Read(QuilloryApp& app) {
    OptionsValues values;
    values.updateTime = app.GetUpdateTime();
    values.autoStart = app.GetAutoStart();
    values.weekendUpdate = app.GetWeekendUpdateFlag();
    values.fallback = app.GetFallback();
    values.notifications = app.GetNotifications();
    return values;
}

std::optional<std::string> OptionsValues::ParseUpdateTime(const std::string& text, int& minutes) {
    const char* begin = text.c_str();
    while (*begin == ' ' || *begin == '\t')
        ++begin;
    char* end = nullptr;
    errno = 0;
    long value = std::strtol(begin, &end, 10);
    while (end != nullptr && (*end == ' ' || *end == '\t'))
        ++end;
    if (end == begin || *end != '\0' || errno == ERANGE || value < INT_MIN || value > INT_MAX)
        return std::string("Enter an integer.");
    if (value < kMinUpdateTime || value > kMaxUpdateTime)
        return "Enter an integer between " + std::to_string(kMinUpdateTime) + " and " + std::to_string(kMaxUpdateTime) +
               ".";
    minutes = static_cast<int>(value);
    return std::nullopt;
}

void OptionsValues::Apply(QuilloryApp& app, TimerControl& timers) const {
    app.SetAutoStart(autoStart);
    app.SetWeekendUpdateFlag(weekendUpdate);
    app.SetFallback(fallback);
    app.SetNotifications(notifications);
    if (updateTime != app.GetUpdateTime()) {
        app.SetUpdateTime(updateTime);
        timers.KillTimer(kUpdateTimer);
        timers.SetTimer(kUpdateTimer, updateTime * 60000);
    }
}

} // namespace quillory
