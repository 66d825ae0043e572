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

bool OptionsValues::ParseUpdateTime(const std::string& text, int& minutes, std::string& error) {
    const char* begin = text.c_str();
    while (*begin == ' ' || *begin == '\t')
        ++begin;
    char* end = nullptr;
    errno = 0;
    long value = std::strtol(begin, &end, 10);
    while (end != nullptr && (*end == ' ' || *end == '\t'))
        ++end;
    if (end == begin || *end != '\0' || errno == ERANGE || value < INT_MIN || value > INT_MAX) {
        error = "Enter an integer.";
        return false;
    }
    if (value < kMinUpdateTime || value > kMaxUpdateTime) {
        error = "Enter an integer between " + std::to_string(kMinUpdateTime) + " and " +
                std::to_string(kMaxUpdateTime) + ".";
        return false;
    }
    minutes = static_cast<int>(value);
    return true;
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
