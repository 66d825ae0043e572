#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "TestSupport.h"
#include "foundation/Log.h"

using namespace quillory;
using namespace quillory::test;

namespace {

// Restores the log's switches after each test.
class LogTest : public ::testing::Test {
protected:
    void SetUp() override { saved = Log::Instance(); }
    void TearDown() override { Log::Instance() = saved; }
    Log saved;
    ScopedEnv tz{"TZ", "UTC"};
};

} // namespace

TEST_F(LogTest, DefaultLinesCarryTheTimeAndTheLevelWord) {
    tzset();
    ScopedClock clock(2010, 5, 7, 9, 5, 3);
    MessageBoxRecorder boxes;
    LogCapture capture;
    LogMessage("plain");
    LogError("T");
    LogDebug("never shown");
    EXPECT_EQ(capture.Lines(), (std::vector<std::string>{"09:05:03 - plain", "09:05:03 - ERROR - T"}));
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(LogTest, ConsoleGetsTheSameLine) {
    tzset();
    ScopedClock clock(2010, 5, 7, 9, 5, 3);
    Log& log = Log::Instance();
    log.toMemory = false;
    testing::internal::CaptureStdout();
    LogError("T");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "09:05:03 - ERROR - T\n");
}

TEST_F(LogTest, PrefixSwitches) {
    tzset();
    ScopedClock clock(2010, 5, 7, 9, 5, 3);
    Log& log = Log::Instance();
    char pid[32];
    std::snprintf(pid, sizeof pid, "%04u", static_cast<unsigned>(getpid()));

    log.showProcessId = log.showDate = log.showTime = true;
    EXPECT_EQ(log.BuildPrefix(), std::string(pid) + " 2010-05-07 09:05:03 - ");
    log.showProcessId = false;
    EXPECT_EQ(log.BuildPrefix(), "2010-05-07 09:05:03 - ");
    log.showTime = false;
    EXPECT_EQ(log.BuildPrefix(), "2010-05-07 - ");
    log.showDate = false;
    EXPECT_EQ(log.BuildPrefix(), "");

    LogCapture capture;
    LogError("bare");
    EXPECT_EQ(capture.Lines(), std::vector<std::string>{"ERROR - bare"});
}

TEST_F(LogTest, CriticalErrorShowsTheBoxFirstAndErrorOnlyWhenAsked) {
    ScopedClock clock(2010, 5, 7);
    MessageBoxRecorder boxes;
    LogCapture capture;
    LogCriticalError("broken");
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "broken");
    EXPECT_EQ(boxes.Boxes()[0].caption, "Internal error");
    EXPECT_EQ(boxes.Boxes()[0].icon, MessageBoxIcon::Error);
    EXPECT_TRUE(capture.Contains(" - CRITICAL ERROR - broken"));

    LogError("quiet");
    EXPECT_EQ(boxes.Boxes().size(), 1u);
    Log::Instance().errorMessageBox = true;
    LogError("loud");
    ASSERT_EQ(boxes.Boxes().size(), 2u);
    EXPECT_EQ(boxes.Boxes()[1].text, "loud");
}

TEST_F(LogTest, FileSinkAppendsAndSkipsAnUnopenableFile) {
    TempDir dir;
    Log& log = Log::Instance();
    log.toConsole = false;
    log.toFile = true;
    log.showTime = false;
    log.fileName = dir.File("q.log");
    LogMessage("one");
    LogMessage("two");
    EXPECT_EQ(ReadFile(log.fileName), "one\ntwo\n");
    log.fileName = dir.File("missing/q.log");
    log.toMemory = true;
    LogMessage("three"); // the other sinks still run
    EXPECT_EQ(log.lines.back(), "three");
}

TEST_F(LogTest, LinesFromSeveralThreadsStayWholeAndAllArrive) {
    LogCapture capture;
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t)
        writers.emplace_back([t] {
            for (int i = 0; i < 200; ++i)
                LogMessage("writer " + std::to_string(t) + " line " + std::to_string(i));
        });
    for (std::thread& writer : writers)
        writer.join();
    std::vector<std::string> texts = capture.Texts();
    ASSERT_EQ(texts.size(), 800u);
    for (const std::string& text : texts)
        EXPECT_EQ(text.rfind("writer ", 0), 0u) << text;
}
