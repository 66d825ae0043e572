#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "foundation/MessageBox.h"

namespace quillory::test {

// Freezes the program clock for a test's scope; the moment is given in local time.
class ScopedClock {
public:
    ScopedClock(int year, int month, int day, int hour = 12, int minute = 0, int second = 0);
    explicit ScopedClock(std::time_t moment);
    ~ScopedClock();
    void Advance(std::time_t seconds);
};

// Collects the log's lines in memory (and keeps them off stdout) for a test's scope.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    std::vector<std::string> Lines() const;
    // The lines without their time prefix ("hh:mm:ss - ").
    std::vector<std::string> Texts() const;
    bool Contains(const std::string& text) const;
    void Clear();
};

// Records message boxes instead of showing them, for a test's scope.
class MessageBoxRecorder {
public:
    struct Box {
        std::string text, caption;
        MessageBoxIcon icon;
    };
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    const std::vector<Box>& Boxes() const { return boxes; }

private:
    std::vector<Box> boxes;
    MessageBoxHook previous;
};

// A fresh folder under the system temporary folder, removed with its content at scope end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::string& Path() const { return path; }
    std::string File(const std::string& name) const { return path + "/" + name; }

private:
    std::string path;
};

// Sets (or, with nullopt, unsets) an environment variable for a scope and restores it afterwards.
class ScopedEnv {
public:
    ScopedEnv(std::string name, std::optional<std::string> value);
    ~ScopedEnv();

private:
    std::string name;
    std::optional<std::string> old;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);

} // namespace quillory::test
