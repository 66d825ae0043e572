#include "Log.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <unistd.h>

#include "Clock.h"
#include "MessageBox.h"

namespace quillory {

namespace {

// Read once during static initialisation, as the prefix shows it.
const unsigned processId = static_cast<unsigned>(getpid());

// A debugger is attached when /proc/self/status names a tracer. The file is read at most once a
// second: an update pass logs several lines per investment.
bool DebuggerAttached() {
    static std::chrono::steady_clock::time_point checkedAt;
    static bool attached = false;
    const auto now = std::chrono::steady_clock::now();
    if (checkedAt != std::chrono::steady_clock::time_point() && now - checkedAt < std::chrono::seconds(1))
        return attached;
    checkedAt = now;
    attached = false;
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("TracerPid:", 0) == 0) {
            attached = std::strtol(line.c_str() + 10, nullptr, 10) != 0;
            break;
        }
    }
    return attached;
}

} // namespace

std::string Log::BuildPrefix() const {
    std::string prefix;
    char buffer[64];
    if (showProcessId) {
        std::snprintf(buffer, sizeof buffer, "%04u", processId);
        prefix += buffer;
    }
    int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    if (showDate || showTime) {
        std::tm local{};
        if (Clock::ToLocal(Clock::Now(), local)) {
            year = local.tm_year + 1900;
            month = local.tm_mon + 1;
            day = local.tm_mday;
            hour = local.tm_hour;
            minute = local.tm_min;
            second = local.tm_sec;
        } else {
            prefix += "INVALID DATE AND TIME";
        }
    }
    if (showDate) {
        if (!prefix.empty())
            prefix += ' ';
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", year, month, day);
        prefix += buffer;
    }
    if (showTime) {
        if (!prefix.empty())
            prefix += ' ';
        std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", hour, minute, second);
        prefix += buffer;
    }
    if (!prefix.empty())
        prefix += " - ";
    return prefix;
}

void Log::Output(const std::string& line) {
    static std::mutex outputMutex; // one for every Log: they share the console and the files
    std::lock_guard lock(outputMutex);
    if (toConsole) {
        std::fwrite(line.data(), 1, line.size(), console);
        std::fputc('\n', console);
        std::fflush(console);
    }
    if (toFile) {
        if (FILE* f = std::fopen(fileName.c_str(), "a")) {
            std::fwrite(line.data(), 1, line.size(), f);
            std::fputc('\n', f);
            std::fclose(f);
        }
    }
    if (toMemory)
        lines.push_back(line);
    if (toDebugger && DebuggerAttached()) {
        std::fwrite(line.data(), 1, line.size(), stderr);
        std::fputc('\n', stderr);
    }
}

void Log::Write(const std::string& text) {
    Output(BuildPrefix() + text);
}

void Log::Debug(const std::string&) {}

void Log::Error(const std::string& text) {
    if (errorMessageBox)
        ShowMessageBox(text, "Internal error", MessageBoxIcon::Error);
    Output(BuildPrefix() + "ERROR - " + text);
}

void Log::CriticalError(const std::string& text) {
    ShowMessageBox(text, "Internal error", MessageBoxIcon::Error);
    Output(BuildPrefix() + "CRITICAL ERROR - " + text);
}

void LogMessage(const std::string& text) {
    Log::Instance().Write(text);
}
void LogDebug(const std::string& text) {
    Log::Instance().Debug(text);
}
void LogError(const std::string& text) {
    Log::Instance().Error(text);
}
void LogCriticalError(const std::string& text) {
    Log::Instance().CriticalError(text);
}

} // namespace quillory
