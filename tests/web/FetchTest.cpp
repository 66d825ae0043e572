#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <thread>
#include <vector>

#include <pthread.h>

#include "TestServer.h"
#include "TestSupport.h"
#include "foundation/CancelToken.h"
#include "foundation/Clock.h"
#include "web/HttpCache.h"
#include "web/HttpHelper.h"

namespace quillory {
namespace {

using test::LogCapture;
using test::ScopedClock;
using test::TestServer;

class FetchTest : public ::testing::Test {
protected:
    FetchTest() {
        theHttpCache.Clear();
        HttpHelper::ClearRests();
    }
    ~FetchTest() override {
        theHttpCache.Clear();
        HttpHelper::ClearRests();
    }

    // Fetch without the cache; `error` receives the reason of a failure.
    static bool Get(const std::string& url, HttpHelper::HttpResponse& response, std::string& error,
                    uint32_t deadlineMs = 20000) {
        HttpHelper::FetchOptions options;
        options.useCache = false;
        options.deadlineMs = deadlineMs;
        return HttpHelper::Fetch(url, "", 0, options, response, error);
    }

    // The count of requests the server saw for /hit/NAME, asked as "localhost": another host to the
    // rest table than "127.0.0.1".
    std::string Hits(const std::string& name) {
        HttpHelper::HttpResponse response;
        std::string error;
        EXPECT_TRUE(Get("http://localhost:" + std::to_string(server.Port()) + "/hits/" + name, response, error))
            << error;
        return response.body;
    }

    ScopedClock clock{2026, 3, 16, 10, 0, 0};
    LogCapture log;
    TestServer server{"web_server.py"};
};

// The shapes today's servers answer in; the chunk boundary of /chunked falls inside "211.64".
TEST_F(FetchTest, ResponseShapesOfTodaysServers) {
    struct Case {
        std::string path, body;
    };
    const Case cases[] = {
        {"/chunked", "LastTrade=211.64\n"},
        {"/lf-only", "lf only"},
        {"/big-header?kb=40", "big header body"},
        {"/redirect?code=307&to=/lf-only", "lf only"},
        {"/redirect?code=308&to=/chunked", "LastTrade=211.64\n"},
        {"/lower-location", "GET /echo HTTP/1.0\r\n"},
    };
    for (const Case& c : cases) {
        HttpHelper::HttpResponse response;
        std::string error;
        EXPECT_TRUE(Get(server.Url(c.path), response, error)) << c.path << ": " << error;
        EXPECT_EQ(response.status, 200) << c.path;
        EXPECT_EQ(response.body.substr(0, c.body.size()), c.body) << c.path;
        EXPECT_EQ(response.host, "127.0.0.1");
    }

    HttpHelper::HttpResponse response;
    std::string error;
    ASSERT_TRUE(Get(server.Url("/chunked"), response, error));
    EXPECT_EQ(response.headers["content-type"], "text/plain") << "names compare without regard to case";
    EXPECT_EQ(response.headers.count("X-Trailer"), 0u) << "trailer fields are dropped";

    std::string page;
    EXPECT_TRUE(HttpHelper::DownloadPage(server.Url("/chunked"), "", 0, page));
    EXPECT_EQ(page, "LastTrade=211.64\n");
}

// Each is a failure with a reason fit for the user, logged as the download's error.
TEST_F(FetchTest, BrokenAnswersAreFailures) {
    struct Case {
        std::string path, error;
    };
    const Case cases[] = {
        {"/short", "127.0.0.1: Body shorter than its Content-Length: received 40 of 100 bytes!"},
        {"/chunked-broken", "127.0.0.1: Broken chunked body: invalid chunk size line [zz]"},
        {"/chunked-cut", "127.0.0.1: Chunked body ended early, after 5 bytes!"},
        {"/encoded", "127.0.0.1: Content-Encoding gzip was not asked for!"},
        {"/big-header?kb=300", "127.0.0.1: Header block larger than 256 KiB!"},
        {"/status/404", "HTTP 404 from 127.0.0.1"},
        {"/status/500", "HTTP 500 from 127.0.0.1"},
        {"/redirect?code=302&to=", "HTTP 302 from 127.0.0.1"},
        {"/no-blank-line", "no valid HTTP answer from 127.0.0.1"},
        {"/close", "no valid HTTP answer from 127.0.0.1"},
    };
    for (const Case& c : cases) {
        log.Clear();
        HttpHelper::HttpResponse response;
        std::string error;
        EXPECT_FALSE(Get(server.Url(c.path), response, error)) << c.path;
        EXPECT_EQ(error, c.error) << c.path;
        bool logged = false;
        for (const std::string& line : log.Texts())
            logged = logged || line.rfind("ERROR - HttpHelper::Fetch() - ", 0) == 0;
        EXPECT_TRUE(logged) << c.path;
    }

    HttpHelper::HttpResponse response;
    std::string error;
    EXPECT_FALSE(Get(server.Url("/status/404"), response, error));
    EXPECT_EQ(response.status, 404) << "what arrived reaches the caller";
    EXPECT_EQ(response.body, "status 404 body");
}

// A server that sends a byte every 2 s satisfies every read; only the deadline ends it.
TEST_F(FetchTest, TrickleEndsAtTheDeadline) {
    TestServer stalling("web_server.py", {"--stall-handshake"});
    const std::string urls[] = {server.Url("/drip"), stalling.Url("/", "https")};
    for (const std::string& url : urls) {
        HttpHelper::HttpResponse response;
        std::string error;
        EXPECT_FALSE(Get(url, response, error, 1500)) << url;
        EXPECT_EQ(error, "127.0.0.1: no complete answer within 1.5 s") << url;
    }
}

TEST_F(FetchTest, ExtraHeaderLinesReplaceOrAdd) {
    HttpHelper::FetchOptions options;
    options.useCache = false;
    options.headers = {{"User-Agent", "Mozilla/5.0 (X11; Linux x86_64) Quillory/1.7"},
                       {"accept", "application/json"},
                       {"X-Extra", "1"},
                       {"X-Bad", "a\r\nInjected: yes"}};
    HttpHelper::HttpResponse response;
    std::string error;
    ASSERT_TRUE(HttpHelper::Fetch(server.Url("/echo?s=^GSPC"), "", 0, options, response, error)) << error;
    EXPECT_EQ(response.body, "GET /echo?s=^GSPC HTTP/1.0\r\n"
                             "User-Agent: Mozilla/5.0 (X11; Linux x86_64) Quillory/1.7\r\n"
                             "accept: application/json\r\n"
                             "Referrer: http://127.0.0.1\r\n"
                             "Host: 127.0.0.1\r\n"
                             "X-Extra: 1\r\n"
                             "\r\n");
    EXPECT_TRUE(log.Contains("HttpConnection::SetHeaders() - Header line [X-Bad] dropped"));
}

TEST_F(FetchTest, TooManyRequestsMakesTheHostRest) {
    HttpHelper::HttpResponse response;
    std::string error;
    const std::string busy = server.Url("/busy/quote?after=120");
    EXPECT_FALSE(Get(busy, response, error));
    EXPECT_EQ(error, "HTTP 429 from 127.0.0.1");
    EXPECT_EQ(response.body, "Edge: Too Many Requests");
    std::time_t until = 0;
    EXPECT_TRUE(HttpHelper::IsResting(server.Url("/anything"), &until));
    EXPECT_EQ(until, Clock::Now() + 120);
    EXPECT_FALSE(HttpHelper::IsResting("http://localhost:" + std::to_string(server.Port()) + "/"));

    log.Clear();
    std::string page;
    EXPECT_FALSE(HttpHelper::DownloadPage(busy, "", 0, page));
    EXPECT_FALSE(Get(server.Url("/hit/other"), response, error));
    EXPECT_EQ(error, "127.0.0.1 asked us to wait; it may be asked again at 10:02:00");
    EXPECT_TRUE(log.Contains("ERROR - HttpHelper::Fetch() - 127.0.0.1:" + std::to_string(server.Port()) +
                             " rests until 10:02:00 after it asked us to wait; nothing sent"));
    const std::string local = "http://localhost:" + std::to_string(server.Port());
    EXPECT_FALSE(Get(local + "/redirect?to=" + server.Url("/hit/redirected"), response, error));
    EXPECT_EQ(error, "127.0.0.1: Redirect to 127.0.0.1:" + std::to_string(server.Port()) +
                         " not followed: it rests until 10:02:00");
    EXPECT_EQ(Hits("quote"), "1") << "nothing reaches a resting host";
    EXPECT_EQ(Hits("other"), "0");
    EXPECT_EQ(Hits("redirected"), "0");

    clock.Advance(120);
    EXPECT_FALSE(HttpHelper::IsResting(busy));
    EXPECT_TRUE(Get(server.Url("/hit/other"), response, error)) << error;
}

TEST_F(FetchTest, RestLastsRetryAfterWithinAnHour) {
    struct Case {
        std::string query;
        std::time_t seconds;
    };
    const Case cases[] = {
        {"", 60},
        {"?after=999999", 3600},
        {"?code=503&after=5", 5},
        {"?after=Mon, 16 Mar 2026 10:02:30 GMT", 150},
        {"?after=soon", 60},
    };
    for (const Case& c : cases) {
        HttpHelper::ClearRests();
        HttpHelper::HttpResponse response;
        std::string error;
        EXPECT_FALSE(Get(server.Url("/busy/rest" + c.query), response, error)) << c.query;
        std::time_t until = 0;
        EXPECT_TRUE(HttpHelper::IsResting(server.Url("/"), &until)) << c.query;
        EXPECT_EQ(until - Clock::Now(), c.seconds) << c.query;
    }
}

// Without the cancel the download would drip on for ten minutes, far past the test's time-out.
TEST_F(FetchTest, CancelFromAnotherThreadEndsABlockedDownload) {
    TestServer stalling("web_server.py", {"--stall-handshake"});
    const std::string urls[] = {server.Url("/drip"), stalling.Url("/", "https")};
    for (const std::string& url : urls) {
        CancelToken token;
        std::atomic<bool> started{false};
        bool fetched = true;
        std::string error;
        std::thread worker([&] {
            CancelToken::Scope scope(&token);
            started = true;
            HttpHelper::HttpResponse response;
            fetched = Get(url, response, error, 600000);
        });
        while (!started)
            std::this_thread::yield();
        if (url == server.Url("/drip")) {
            while (Hits("drip") == "0")
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        token.Cancel();
        worker.join();
        EXPECT_FALSE(fetched) << url;
        EXPECT_EQ(error, "cancelled") << url;
    }
}

void Ignore(int) {}

// A signal whose handler does not ask for restarted calls interrupts the waits of the download.
TEST_F(FetchTest, SignalsDoNotBreakADownload) {
    struct sigaction action {};
    action.sa_handler = Ignore;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no SA_RESTART
    struct sigaction old {};
    ASSERT_EQ(sigaction(SIGUSR1, &action, &old), 0);

    std::atomic<bool> done{false};
    bool fetched = false;
    HttpHelper::HttpResponse response;
    std::string error;
    std::thread worker([&] {
        fetched = Get(server.Url("/slow-body"), response, error);
        done = true;
    });
    int signals = 0;
    while (!done) {
        pthread_kill(worker.native_handle(), SIGUSR1);
        ++signals;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    worker.join();
    sigaction(SIGUSR1, &old, nullptr);
    EXPECT_TRUE(fetched) << error << " after " << signals << " signals";
    EXPECT_EQ(response.body, std::string(1000, 'y'));
}

// Workers share the page cache and the rest table.
TEST_F(FetchTest, SeveralThreadsFetchAtOnce) {
    std::vector<std::thread> workers;
    std::atomic<int> fetched{0};
    for (int i = 0; i < 4; ++i) {
        workers.emplace_back([&, i] {
            for (int round = 0; round < 5; ++round) {
                HttpHelper::HttpResponse response;
                std::string error;
                HttpHelper::FetchOptions options;
                if (HttpHelper::Fetch(server.Url("/hit/shared" + std::to_string(round % 2)), "", 0, options, response,
                                      error))
                    ++fetched;
                HttpHelper::IsResting(server.Url("/"));
                if (i == 0 && round == 2)
                    theHttpCache.Clear();
            }
        });
    }
    for (std::thread& worker : workers)
        worker.join();
    EXPECT_EQ(fetched, 20);
}

} // namespace
} // namespace quillory
