#include "TestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "foundation/Clock.h"
#include "foundation/Log.h"

namespace quillory::test {

ScopedClock::ScopedClock(int year, int month, int day, int hour, int minute, int second) {
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    Clock::Freeze(std::mktime(&local));
}

ScopedClock::ScopedClock(std::time_t moment) {
    Clock::Freeze(moment);
}
ScopedClock::~ScopedClock() {
    Clock::Release();
}
void ScopedClock::Advance(std::time_t seconds) {
    Clock::Advance(seconds);
}

LogCapture::LogCapture() {
    Log& log = Log::Instance();
    log.lines.clear();
    log.toMemory = true;
    log.toConsole = false;
}

LogCapture::~LogCapture() {
    Log& log = Log::Instance();
    log.lines.clear();
    log.toMemory = false;
    log.toConsole = true;
}

std::vector<std::string> LogCapture::Lines() const {
    const auto& lines = Log::Instance().lines;
    return {lines.begin(), lines.end()};
}

std::vector<std::string> LogCapture::Texts() const {
    std::vector<std::string> texts;
    for (const std::string& line : Log::Instance().lines) {
        size_t dash = line.find(" - ");
        texts.push_back(dash == std::string::npos ? line : line.substr(dash + 3));
    }
    return texts;
}

bool LogCapture::Contains(const std::string& text) const {
    for (const std::string& line : Log::Instance().lines)
        if (line.find(text) != std::string::npos)
            return true;
    return false;
}

void LogCapture::Clear() {
    Log::Instance().lines.clear();
}

MessageBoxRecorder::MessageBoxRecorder() {
    previous = SetMessageBoxHook([this](const std::string& text, const std::string& caption, MessageBoxIcon icon) {
        boxes.push_back({text, caption, icon});
    });
}

MessageBoxRecorder::~MessageBoxRecorder() {
    SetMessageBoxHook(previous);
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quillory-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    // Folders made read-only by a test must become writable again to be removed.
    for (auto& entry : std::filesystem::recursive_directory_iterator(path, ec))
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
    std::filesystem::permissions(path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path, ec);
}

ScopedEnv::ScopedEnv(std::string n, std::optional<std::string> value) : name(std::move(n)) {
    if (const char* current = std::getenv(name.c_str()))
        old = current;
    if (value)
        setenv(name.c_str(), value->c_str(), 1);
    else
        unsetenv(name.c_str());
}

ScopedEnv::~ScopedEnv() {
    if (old)
        setenv(name.c_str(), old->c_str(), 1);
    else
        unsetenv(name.c_str());
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace quillory::test
