#pragma once

#include <cstdio>
#include <list>
#include <string>

#include "Singleton.h"

namespace quillory {

// The process-wide log. Any thread may write to it; lines never interleave. One line per call: optional process id,
// date and time, " - ", a level word for errors, the text. The switches are public so that callers and tests can set
// them.
class Log {
public:
    Log() = default;
    virtual ~Log() = default;

    static Log& Instance() { return Singleton<Log>::Instance(); }

    void Write(const std::string& text);
    void Debug(const std::string& text);
    void Error(const std::string& text);
    void CriticalError(const std::string& text);

    std::string BuildPrefix() const;

    std::list<std::string> lines; // kept when toMemory is on, oldest first
    std::string fileName;

    bool showDate = false;
    bool showTime = true;
    bool showProcessId = false;
    bool toConsole = true;
    bool toFile = false;
    bool toMemory = false;
    bool toDebugger = true;
    bool errorMessageBox = false;
    // Where toConsole writes: standard output, or standard error for a command whose standard
    // output carries its results.
    std::FILE* console = stdout;

private:
    void Output(const std::string& line);
};

void LogMessage(const std::string& text);
void LogDebug(const std::string& text);
void LogError(const std::string& text);
void LogCriticalError(const std::string& text);
// Sink of the lock tracing: discards the text without touching the log.
inline void LogTrace(const std::string&) {}

} // namespace quillory
