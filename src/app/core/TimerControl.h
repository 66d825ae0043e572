#pragma once

namespace quillory {

// Numbered window timers. Starting a running timer replaces it, so its next tick is one full
// interval away.
class TimerControl {
public:
    virtual ~TimerControl() = default;
    virtual void SetTimer(int id, int milliseconds) = 0;
    virtual void KillTimer(int id) = 0;
};

} // namespace quillory
