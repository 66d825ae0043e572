#include <gtest/gtest.h>

#include "TestServer.h"
#include "TestSupport.h"
#include "foundation/Exception.h"
#include "web/HttpConnection.h"

namespace quillory {
namespace {

using test::LogCapture;
using test::TestServer;

class HttpConnectionTest : public ::testing::Test {
protected:
    std::string Get(const std::string& path, uint16_t port = 0) {
        HttpConnection connection("127.0.0.1", port != 0 ? port : server.Port(), false);
        connection.Connect();
        std::string page;
        connection.GetPage(path, page);
        return page;
    }

    // The HttpException text of a GetPage that must fail.
    std::string GetError(const std::string& path) {
        try {
            Get(path);
        } catch (const HttpException& e) {
            return e.Message();
        }
        ADD_FAILURE() << path << " did not fail";
        return "";
    }

    LogCapture log;
    TestServer server{"web_server.py"};
};

TEST_F(HttpConnectionTest, SendsExactlyTheRequestText) {
    HttpConnection connection("127.0.0.1", server.Port(), false);
    connection.Connect();
    std::string page;
    connection.GetPage("/echo?s=A B", page);
    EXPECT_EQ(page, connection.BuildRequest("/echo?s=A B"));
    EXPECT_EQ(page.rfind("GET /echo?s=A%20B HTTP/1.0\r\n", 0), 0u);
}

TEST_F(HttpConnectionTest, ProxyGetsTheWholeUrl) {
    HttpConnection connection("quotes.example", 8080, false);
    connection.SetProxy("127.0.0.1", server.Port());
    connection.Connect();
    std::string page;
    connection.GetPage("/echo", page);
    EXPECT_EQ(page, "GET http://quotes.example:8080/echo HTTP/1.0\r\n"
                    "User-Agent: Mozilla/4.0 (compatible; MSIE 4.01; Windows NT)\r\n"
                    "Accept: */*\r\n"
                    "Referrer: http://quotes.example\r\n"
                    "Host: quotes.example\r\n"
                    "\r\n");
}

TEST_F(HttpConnectionTest, ResponsesAndRedirects) {
    struct Case {
        std::string path;
        std::string page; // the page, or its beginning when `prefix`
        bool prefix = false;
        std::string logged = ""; // an error line the case must log
    };
    const Case cases[] = {
        {"/redirect?code=300&to=/echo", "GET /echo HTTP/1.0\r\n", true},
        {"/redirect?code=301&to=/echo", "GET /echo HTTP/1.0\r\n", true},
        {"/redirect?code=302&to=/echo", "GET /echo HTTP/1.0\r\n", true},
        {"/redirect?code=303&to=/echo", "GET /echo HTTP/1.0\r\n", true},
        {"/redirect?code=307&to=/echo", "GET /echo HTTP/1.0\r\n", true},
        {"/redirect?code=308&to=/echo", "GET /echo HTTP/1.0\r\n", true},
        {"/redirect?code=304&to=/echo", "redirect body"},
        {"/chain/10", "end of chain"},
        {"/chain/11", "redirect 1", false, "ERROR - HttpConnection::GetPage() - Reached maximum number of redirects!"},
        {"/lower-location", "GET /echo HTTP/1.0\r\n", true},
        {"/redirect?code=302&to=", "redirect body", false,
         "ERROR - HttpConnection::GetPage() - Location field not found for response code 302"},
        {"/duplicate", "GET /echo?first HTTP/1.0\r\n", true},
        {"/two-blanks", "two blanks body"},
        {"/no-blank-line", ""},
        {"/status/404", "status 404 body"},
        {"/status/500", "status 500 body"},
        {"/close", "", false, "ERROR - HttpConnection::GetPage() - Failed to parse http response header!"},
        {"/zero", std::string("before\0after", 12)},
    };
    for (const Case& c : cases) {
        log.Clear();
        std::string page = Get(c.path);
        EXPECT_EQ(c.prefix ? page.substr(0, c.page.size()) : page, c.page) << c.path;
        if (!c.logged.empty()) {
            EXPECT_TRUE(log.Contains(c.logged)) << c.path;
        }
    }
}

TEST_F(HttpConnectionTest, RedirectToAnotherServerTakesItsPort) {
    TestServer other("web_server.py");
    EXPECT_EQ(Get("/redirect?to=" + other.Url("/hit/moved")), "hit 1");
    EXPECT_EQ(Get("/hits/moved", other.Port()), "1");
    EXPECT_EQ(Get("/hits/moved"), "0");
}

TEST_F(HttpConnectionTest, SocketFailuresBecomeLoggedHttpExceptions) {
    std::string reset = GetError("/reset");
    EXPECT_EQ(reset.rfind("HttpConnection::Receive() - Caught SocketException - Connection reset by peer.", 0), 0u)
        << reset;
    EXPECT_TRUE(log.Contains("ERROR - " + reset));

    HttpConnection unresolved("quillory-test.invalid", 80, false);
    try {
        unresolved.Connect();
        FAIL();
    } catch (const HttpException& e) {
        EXPECT_EQ(e.Message(), "HttpConnection::Connect() - Can't resolve address of host quillory-test.invalid");
    }
    EXPECT_TRUE(
        log.Contains("ERROR - HttpConnection::Connect() - Can't resolve address of host quillory-test.invalid"));

    HttpConnection unconnected("127.0.0.1", server.Port(), false);
    try {
        unconnected.Send("GET / HTTP/1.0\r\n\r\n");
        FAIL();
    } catch (const HttpException& e) {
        EXPECT_EQ(e.Message().rfind("HttpConnection::Send() - Caught SocketException - ", 0), 0u) << e.Message();
    }
}

TEST_F(HttpConnectionTest, ResponsesPastThirtyTwoMebibytesAreRefused) {
    const size_t limit = HttpConnection::kMaxResponseSize;
    const size_t header = std::string("HTTP/1.0 200 OK\r\nContent-Length: 33554432\r\n\r\n").size();
    EXPECT_EQ(Get("/bytes/" + std::to_string(limit - header)).size(), limit - header);

    EXPECT_EQ(GetError("/bytes/" + std::to_string(limit)), "HttpConnection::Receive() - Response too large!");
    EXPECT_TRUE(log.Contains("ERROR - HttpConnection::Receive() - Response too large!"));
}

} // namespace
} // namespace quillory
