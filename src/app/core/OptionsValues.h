#pragma once

#include <string>

#include "app/core/QuilloryApp.h"
#include "app/core/TimerControl.h"

namespace quillory {

// The options dialog's values and the steps that read, check and store them.
struct OptionsValues {
    int updateTime = 10;
    int autoStart = 0;
    int weekendUpdate = 0;
    int fallback = 1;
    int notifications = 1;

    static constexpr int kMinUpdateTime = 10;
    static constexpr int kMaxUpdateTime = 1000;

    static OptionsValues Read(QuilloryApp& app);

    // Reads the interval edit's text into `minutes`. False with the message to show in `error`:
    // "Enter an integer." for a text that is not a whole number, the range message for one
    // outside 10..1000.
    static bool ParseUpdateTime(const std::string& text, int& minutes, std::string& error);

    // Stores the values after OK. The log-on entry and the weekend, fallback and notification switches are
    // written every time; the interval only when it changed, and then timer 1 starts a full new
    // interval.
    void Apply(QuilloryApp& app, TimerControl& timers) const;
};

} // namespace quillory
