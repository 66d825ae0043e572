#include <gtest/gtest.h>

#include "TestServer.h"
#include "TestSupport.h"
#include "web/HttpCache.h"
#include "web/HttpHelper.h"

namespace quillory {
namespace {

using test::LogCapture;
using test::ScopedClock;
using test::TestServer;

const std::string kExpired = "HttpCache::Retrieve() - content is expired, diff=";

class DownloadPageTest : public ::testing::Test {
protected:
    DownloadPageTest() { theHttpCache.Clear(); }
    ~DownloadPageTest() override { theHttpCache.Clear(); }

    std::string Download(const std::string& url) {
        std::string page;
        EXPECT_TRUE(HttpHelper::DownloadPage(url, "", 0, page)) << url;
        return page;
    }

    ScopedClock clock{2026, 3, 16, 10, 0, 0};
    LogCapture log;
    TestServer server{"web_server.py"};
};

TEST_F(DownloadPageTest, PageIsServedFromTheCacheForSixtySeconds) {
    const std::string url = server.Url("/hit/quote");
    EXPECT_EQ(Download(url), "hit 1");
    clock.Advance(30);
    EXPECT_EQ(Download(url), "hit 1");
    clock.Advance(30);
    EXPECT_EQ(Download(url), "hit 1");
    EXPECT_EQ(Download(server.Url("/hits/quote")), "1") << "no request may reach the server";
    EXPECT_FALSE(log.Contains(kExpired));

    clock.Advance(1);
    EXPECT_EQ(Download(url), "hit 2");
    EXPECT_TRUE(log.Contains(kExpired + "61, deleting cache item!"));
    clock.Advance(60);
    EXPECT_EQ(Download(url), "hit 2") << "the new page is kept with the new time";
}

TEST_F(DownloadPageTest, EntryStoredInTheFutureIsExpired) {
    theHttpCache.Add("http://h/x", "old page");
    clock.Advance(-5);
    std::string page = "untouched";
    EXPECT_FALSE(theHttpCache.Retrieve("http://h/x", page));
    EXPECT_EQ(page, "untouched");
    EXPECT_TRUE(log.Contains(kExpired + "-5, deleting cache item!"));
    clock.Advance(5);
    EXPECT_FALSE(theHttpCache.Retrieve("http://h/x", page)) << "the expired entry is gone";
}

TEST_F(DownloadPageTest, ReplacingAnEntryRenewsItsTime) {
    theHttpCache.Add("http://h/x", "first");
    clock.Advance(50);
    theHttpCache.Add("http://h/x", "second");
    clock.Advance(50);
    std::string page;
    EXPECT_TRUE(theHttpCache.Retrieve("http://h/x", page));
    EXPECT_EQ(page, "second");
}

TEST_F(DownloadPageTest, UrlsDifferingInCaseAreDifferentPages) {
    EXPECT_EQ(Download(server.Url("/hit/case")), "hit 1");
    EXPECT_EQ(Download(server.Url("/hit/case", "HTTP")), "hit 2");
    EXPECT_EQ(Download(server.Url("/hit/case")), "hit 1");
}

// A 404 or 500 page read as a quote page would only say "tag not found"; the status is the reason.
TEST_F(DownloadPageTest, ErrorStatusIsAFailureNamingStatusAndHost) {
    for (int status : {404, 500, 302}) {
        const std::string url = server.Url("/status/" + std::to_string(status));
        std::string page;
        EXPECT_FALSE(HttpHelper::DownloadPage(url, "", 0, page)) << status;
        EXPECT_TRUE(
            log.Contains("ERROR - HttpHelper::DownloadPage() - HTTP " + std::to_string(status) + " from 127.0.0.1"))
            << status;
        EXPECT_FALSE(theHttpCache.Retrieve(url, page)) << status;
    }
}

TEST_F(DownloadPageTest, ProxyCarriesTheRequest) {
    std::string page;
    ASSERT_TRUE(HttpHelper::DownloadPage("http://quotes.example:8080/echo", "127.0.0.1", server.Port(), page));
    EXPECT_EQ(page.rfind("GET http://quotes.example:8080/echo HTTP/1.0\r\n", 0), 0u) << page;
}

TEST_F(DownloadPageTest, FailedDownloadIsFalseAndCachesNothing) {
    const std::string cached = server.Url("/hit/kept");
    EXPECT_EQ(Download(cached), "hit 1");

    const std::string urls[] = {server.Url("/reset"), "http://quillory-test.invalid/q"};
    const std::string logged[] = {
        "ERROR - HttpHelper::DownloadPage() - Caught HttpException - HttpConnection::Receive() - Caught "
        "SocketException - Connection reset by peer.",
        "ERROR - HttpHelper::DownloadPage() - Caught HttpException - HttpConnection::Connect() - Can't resolve "
        "address of host quillory-test.invalid"};
    for (size_t i = 0; i < std::size(urls); ++i) {
        std::string page;
        EXPECT_FALSE(HttpHelper::DownloadPage(urls[i], "", 0, page)) << urls[i];
        EXPECT_TRUE(log.Contains(logged[i])) << urls[i];
        EXPECT_FALSE(theHttpCache.Retrieve(urls[i], page)) << urls[i];
    }
    EXPECT_EQ(Download(cached), "hit 1");
}

} // namespace
} // namespace quillory
