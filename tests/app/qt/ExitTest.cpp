#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "TestServer.h"
#include "TestSupport.h"

extern char** environ;

namespace quillory {
namespace {

using Clock = std::chrono::steady_clock;

const char* const kInvestments = R"(<StockList>
<Stock Symbol="IBM" Name="IBM" DataSource="Yahoo Finance">
<StockAlert UpperAlert="FALSE" UpperLimit="0" LowerAlert="FALSE" LowerLimit="0"/>
<StockPriceList>
</StockPriceList>
</Stock>
<Stock Symbol="MSFT" Name="Microsoft" DataSource="Yahoo Finance">
<StockAlert UpperAlert="FALSE" UpperLimit="0" LowerAlert="FALSE" LowerLimit="0"/>
<StockPriceList>
</StockPriceList>
</Stock>
</StockList>
)";

// Waits for `done` in short steps, for at most `limit`.
template <typename Predicate> bool WaitFor(Predicate done, std::chrono::seconds limit) {
    const auto end = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

std::string ModificationStamp(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        return "";
    return std::to_string(info.st_ino) + ":" + std::to_string(info.st_mtim.tv_sec) + "." +
           std::to_string(info.st_mtim.tv_nsec);
}

// The real program with a profile of its own (settings, data file) in `dir`, offscreen, its output
// in dir/quillory.out.
struct Program {
    test::TempDir& dir;
    std::string config = dir.File("config"), appData = dir.File("appdata");
    std::string dataFile = appData + "/Korvant/Quillory/Quillory.xml";
    pid_t pid = -1;

    Program(test::TempDir& dir, const std::string& data) : dir(dir) {
        std::filesystem::create_directories(config + "/Korvant");
        std::filesystem::create_directories(appData + "/Korvant/Quillory");
        test::WriteFile(config + "/Korvant/Quillory.conf", "[Options]\nWeekendUpdateFlag=1\n");
        test::WriteFile(dataFile, data);
    }

    void Start(const std::string& hosts) {
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e) {
            std::string entry = *e;
            for (const char* name : {"APPDATA=", "XDG_CONFIG_HOME=", "QT_QPA_PLATFORM=", "QUILLORY_HOSTS=", "DISPLAY=",
                                     "WAYLAND_DISPLAY=", "http_proxy=", "HTTP_PROXY="})
                if (entry.rfind(name, 0) == 0)
                    entry.clear();
            if (!entry.empty())
                env.push_back(entry);
        }
        env.push_back("APPDATA=" + appData);
        env.push_back("XDG_CONFIG_HOME=" + config);
        env.push_back("QT_QPA_PLATFORM=offscreen");
        env.push_back("QUILLORY_HOSTS=" + hosts);
        pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            std::vector<char*> envp;
            for (std::string& entry : env)
                envp.push_back(entry.data());
            envp.push_back(nullptr);
            const std::string output = dir.File("quillory.out");
            std::freopen(output.c_str(), "w", stdout);
            std::freopen(output.c_str(), "a", stderr);
            char* argv[] = {const_cast<char*>(QUILLORY_BINARY), nullptr};
            execve(QUILLORY_BINARY, argv, envp.data());
            _exit(127);
        }
    }

    // Sends SIGTERM and waits at most 10 s for the end (then kills); true when it ended by itself.
    bool Terminate(int& status, std::chrono::milliseconds& took) {
        const auto signalled = Clock::now();
        kill(pid, SIGTERM);
        const bool ended = WaitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }, std::chrono::seconds(10));
        took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - signalled);
        if (!ended) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
        }
        return ended;
    }
};

// Against a quote service that never answers: a SIGTERM while the first pass waits on it ends the
// program at once, with the list and the window's settings saved.
TEST(ExitTest, SigtermDuringABlockedPassEndsTheProgramWithTheListSaved) {
    test::TempDir dir;
    const std::string requests = dir.File("requests.log");
    test::TestServer server("quote_server.py", {"--stall", "--log", requests});
    Program program(dir, kInvestments);
    program.Start("Yahoo Finance=127.0.0.1:" + std::to_string(server.Port()));
    const std::string& dataFile = program.dataFile;
    const std::string& config = program.config;

    // The first pass starts two seconds after the window opens; both rows wait on the service.
    const bool asked =
        WaitFor([&] { return test::ReadFile(requests).find("MSFT") != std::string::npos; }, std::chrono::seconds(60));
    const std::string before = ModificationStamp(dataFile);
    int status = 0;
    std::chrono::milliseconds took{};
    const bool ended = program.Terminate(status, took);
    std::printf("quillory ended %lld ms after SIGTERM during a blocked pass\n", static_cast<long long>(took.count()));
    ASSERT_TRUE(asked) << "the pass never reached the service:\n" << test::ReadFile(dir.File("quillory.out"));
    ASSERT_TRUE(ended) << "quillory did not end after SIGTERM";
    ASSERT_TRUE(WIFEXITED(status)) << "quillory was killed by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);

    EXPECT_NE(ModificationStamp(dataFile), before) << "the list was not saved at the end";
    const std::string saved = test::ReadFile(dataFile);
    EXPECT_NE(saved.find("Symbol=\"IBM\""), std::string::npos);
    EXPECT_NE(saved.find("Symbol=\"MSFT\""), std::string::npos);
    EXPECT_NE(test::ReadFile(config + "/Korvant/Quillory.conf").find("[Window]"), std::string::npos)
        << "the window's settings were not saved";
}

// A data file that cannot be read opens a box before the window exists; a SIGTERM then still ends
// the program as Exit does: the box closes, the list is saved and the broken file stays kept aside.
TEST(ExitTest, SigtermWhileAStartUpBoxIsOpenEndsTheProgram) {
    test::TempDir dir;
    Program program(dir, "<StockList><Stock Symbol=\"A\"><Oops/></StockList>");
    program.Start("");
    const std::string broken = program.dataFile + ".broken";
    ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(broken); }, std::chrono::seconds(30)))
        << test::ReadFile(dir.File("quillory.out"));
    std::this_thread::sleep_for(std::chrono::milliseconds(300)); // the box is up
    int status = 0;
    std::chrono::milliseconds took{};
    ASSERT_TRUE(program.Terminate(status, took)) << "quillory kept running with its box open";
    ASSERT_TRUE(WIFEXITED(status)) << "quillory was killed by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(test::ReadFile(broken), "<StockList><Stock Symbol=\"A\"><Oops/></StockList>");
    EXPECT_NE(test::ReadFile(program.dataFile).find("<StockList>"), std::string::npos);
}

} // namespace
} // namespace quillory
