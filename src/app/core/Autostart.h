#pragma once

namespace quillory {

// The per-user entry that starts the program when the user logs on.
class Autostart {
public:
    virtual ~Autostart() = default;
    // Writes (or rewrites) the entry with the full path of the running program.
    virtual void Enable() = 0;
    // Removes the entry; a missing entry is no error.
    virtual void Disable() = 0;
};

} // namespace quillory
