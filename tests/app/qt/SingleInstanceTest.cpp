// The real program, started several times with one throw-away profile and runtime folder.

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <memory>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "TestSupport.h"

namespace quillory {
namespace {

namespace fs = std::filesystem;

// Polls `done` until it holds or a minute has passed; only a hung program takes that long.
bool Eventually(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// One run of quillory with its output in a file; killed at the end of the test if still running.
class ProgramRun {
public:
    ProgramRun(std::vector<std::string> args, std::string logPath) : log(std::move(logPath)) {
        args.insert(args.begin(), QUILLORY_PROGRAM);
        pid = fork();
        if (pid == 0) {
            int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(fd, 1);
            ::dup2(fd, 2);
            std::vector<char*> argv;
            for (std::string& arg : args)
                argv.push_back(arg.data());
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            _exit(127);
        }
    }
    ~ProgramRun() {
        if (status == kRunning) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    }
    bool Ended() {
        int raw = 0;
        if (status == kRunning && ::waitpid(pid, &raw, WNOHANG) == pid)
            status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        return status != kRunning;
    }
    // The exit status once the run has ended, or -1 when it does not end within a minute.
    int Status() {
        return Eventually([this] { return Ended(); }) ? status : -1;
    }
    void Signal(int number) { ::kill(pid, number); }
    std::string Output() const { return test::ReadFile(log); }
    bool Logged(const std::string& text) const { return Output().find(text) != std::string::npos; }

private:
    static constexpr int kRunning = -1;
    std::string log;
    pid_t pid = -1;
    int status = kRunning;
};

class SingleInstanceTest : public ::testing::Test {
protected:
    test::TempDir dir;
    test::ScopedEnv platform{"QT_QPA_PLATFORM", "offscreen"};
    test::ScopedEnv runtime{"XDG_RUNTIME_DIR", dir.File("run")};
    test::ScopedEnv data{"APPDATA", dir.File("appdata")};
    test::ScopedEnv config{"XDG_CONFIG_HOME", dir.File("config")};
    // The update pass due two seconds after start must not reach out: every request is refused here.
    test::ScopedEnv proxy{"http_proxy", "http://127.0.0.1:1"};
    int runs = 0;

    void SetUp() override {
        fs::create_directory(dir.File("run"));
        fs::permissions(dir.File("run"), fs::perms::owner_all, fs::perm_options::replace);
        fs::create_directories(dir.File("appdata"));
        fs::create_directories(dir.File("config") + "/Korvant");
    }

    std::unique_ptr<ProgramRun> Start(std::vector<std::string> args = {}) {
        return std::make_unique<ProgramRun>(std::move(args), dir.File("run-" + std::to_string(++runs) + ".log"));
    }
    int Quit() { return Start({"--quit"})->Status(); }

    std::vector<fs::path> Sockets() const {
        std::vector<fs::path> found;
        for (const auto& entry : fs::directory_iterator(dir.File("run")))
            if (entry.path().extension() == ".socket")
                found.push_back(entry.path());
        return found;
    }
    // An instance owns the lock and answers on its socket (one left by a killed run refuses connections).
    bool Listening() const {
        std::vector<fs::path> sockets = Sockets();
        if (sockets.size() != 1)
            return false;
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, sockets[0].c_str(), sizeof address.sun_path - 1);
        int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        bool answered = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        ::close(fd);
        return answered;
    }
    std::string Settings() const { return test::ReadFile(dir.File("config") + "/Korvant/Quillory.conf"); }
};

TEST_F(SingleInstanceTest, SecondStartShowsTheFirstsWindowAndQuitSavesAndEndsIt) {
    auto first = Start();
    ASSERT_TRUE(Eventually([&] { return Listening() || first->Ended(); })) << first->Output();
    ASSERT_FALSE(first->Ended()) << first->Output();

    auto second = Start();
    EXPECT_EQ(second->Status(), 0) << second->Output();
    EXPECT_TRUE(Eventually([&] { return first->Logged("SingleInstance - Another start asked to show the window"); }))
        << first->Output();
    EXPECT_FALSE(first->Ended()) << first->Output();
    EXPECT_EQ(Settings().find("[Window]"), std::string::npos) << "nothing saved before the end";

    // --quit returns once the instance has saved the window settings and the list as Exit saves them.
    EXPECT_EQ(Quit(), 0);
    EXPECT_NE(Settings().find("[Window]"), std::string::npos) << Settings();
    EXPECT_TRUE(fs::exists(dir.File("appdata") + "/Korvant/Quillory/Quillory.xml"));
    EXPECT_EQ(first->Status(), 0) << first->Output();
    EXPECT_TRUE(Sockets().empty());

    auto none = Start({"--quit"});
    EXPECT_EQ(none->Status(), 1);
    EXPECT_TRUE(none->Logged("Quillory is not running")) << none->Output();
}

TEST_F(SingleInstanceTest, SocketLeftByAKilledInstanceDoesNotBlockTheNextStart) {
    auto killed = Start();
    ASSERT_TRUE(Eventually([&] { return Listening(); })) << killed->Output();
    killed->Signal(SIGKILL);
    ASSERT_EQ(killed->Status(), 128 + SIGKILL);
    ASSERT_EQ(Sockets().size(), 1u) << "the killed run's socket stays behind";
    ASSERT_FALSE(Listening());

    auto next = Start();
    ASSERT_TRUE(Eventually([&] { return Listening() || next->Ended(); })) << next->Output();
    EXPECT_EQ(Quit(), 0) << next->Output();
    EXPECT_EQ(next->Status(), 0) << next->Output();
    EXPECT_TRUE(next->Logged("SingleInstance - Asked to quit")) << next->Output();
}

TEST_F(SingleInstanceTest, StartsAtTheSameMomentLeaveExactlyOneRunning) {
    std::vector<std::unique_ptr<ProgramRun>> starts;
    for (int i = 0; i < 3; ++i)
        starts.push_back(Start());
    auto ended = [&] {
        int count = 0;
        for (auto& run : starts)
            count += run->Ended();
        return count;
    };
    ASSERT_TRUE(Eventually([&] { return ended() == 2; }));
    ProgramRun* survivor = nullptr;
    for (auto& run : starts) {
        if (!run->Ended())
            survivor = run.get();
        else
            EXPECT_EQ(run->Status(), 0) << run->Output();
    }
    ASSERT_NE(survivor, nullptr);
    EXPECT_EQ(Quit(), 0);
    EXPECT_EQ(survivor->Status(), 0) << survivor->Output();
    EXPECT_TRUE(survivor->Logged("SingleInstance - Another start asked to show the window")) << survivor->Output();
}

} // namespace
} // namespace quillory
