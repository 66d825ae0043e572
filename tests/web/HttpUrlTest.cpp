#include <gtest/gtest.h>

#include "TestSupport.h"
#include "web/HttpConnection.h"
#include "web/HttpHelper.h"

namespace quillory {
namespace {

TEST(HttpUrlTest, ParseUrlSplitsIntoProtocolHostPortAndPath) {
    struct Case {
        std::string url;
        HttpProtocol protocol;
        std::string host;
        uint16_t port;
        std::string path;
    };
    const Case cases[] = {
        {"http://h/q?s=IBM", HttpProtocol::Http, "h", 80, "/q?s=IBM"},
        {"HTTPS://h:8443/x", HttpProtocol::Https, "h", 8443, "/x"},
        {"https://h/x", HttpProtocol::Https, "h", 443, "/x"},
        {"http://h:8080", HttpProtocol::Http, "h", 8080, "/"},
        {"h/a", HttpProtocol::Http, "h", 80, "/a"},
        {"h", HttpProtocol::Http, "h", 80, "/"},
        {"ftp.h/pub", HttpProtocol::Ftp, "ftp.h", 21, "/pub"},
        {"ftp://h/pub", HttpProtocol::Ftp, "h", 21, "/pub"},
        {"gopher://h/x", HttpProtocol::Http, "h", 80, "/x"},
        {"http://h/a?q=X:Y", HttpProtocol::Http, "h", 80, "/a?q=X:Y"},
        // A port text that is empty or no number gives 0, which an explicit scheme keeps...
        {"http://h:/x", HttpProtocol::Http, "h", 0, "/x"},
        {"http://h:abc/x", HttpProtocol::Http, "h", 0, "/x"},
        // ...and a URL without one replaces by the default.
        {"h:/x", HttpProtocol::Http, "h", 80, "/x"},
        {"h:8080", HttpProtocol::Http, "h", 8080, "/"},
        // A number past the last port is no port rather than some other port.
        {"http://h:65536/x", HttpProtocol::Http, "h", 0, "/x"},
        {"http://h:65535/x", HttpProtocol::Http, "h", 65535, "/x"},
    };
    for (const Case& c : cases) {
        HttpProtocol protocol = HttpProtocol::Invalid;
        std::string host = "old", path = "old";
        uint16_t port = 1;
        HttpHelper::ParseUrl(c.url, protocol, host, port, path);
        EXPECT_EQ(protocol, c.protocol) << c.url;
        EXPECT_EQ(host, c.host) << c.url;
        EXPECT_EQ(port, c.port) << c.url;
        EXPECT_EQ(path, c.path) << c.url;
    }
}

TEST(HttpUrlTest, EscapeUrlEscapesBlanksAndColonsOnly) {
    std::string text = "A B:C/%&?=";
    HttpHelper::EscapeUrl(text);
    EXPECT_EQ(text, "A%20B%3AC/%&?=");
}

constexpr const char* kHeaders = "User-Agent: Mozilla/4.0 (compatible; MSIE 4.01; Windows NT)\r\n"
                                 "Accept: */*\r\n"
                                 "Referrer: http://h\r\n"
                                 "Host: h\r\n"
                                 "\r\n";

TEST(HttpUrlTest, RequestTextIsFixed) {
    struct Case {
        uint16_t port;
        bool proxy;
        std::string path;
        std::string requestLine;
    };
    const Case cases[] = {
        {80, false, "/q?s=IBM", "GET /q?s=IBM HTTP/1.0\r\n"},
        {8080, false, "/q?s=IBM", "GET /q?s=IBM HTTP/1.0\r\n"},
        {8080, true, "/q?s=IBM", "GET http://h:8080/q?s=IBM HTTP/1.0\r\n"},
        {80, true, "/q?s=IBM", "GET http://h/q?s=IBM HTTP/1.0\r\n"},
        {80, false, "/q?s=A B:C", "GET /q?s=A%20B%3AC HTTP/1.0\r\n"},
    };
    for (const Case& c : cases) {
        HttpConnection connection("h", c.port, false);
        if (c.proxy)
            connection.SetProxy("proxy", 3128);
        EXPECT_EQ(connection.BuildRequest(c.path), c.requestLine + kHeaders) << c.path;
    }
}

TEST(HttpUrlTest, ParseHttpResponseReadsStatusAndFields) {
    HttpConnection connection("h", 80, false);
    int32_t status = -1;
    HttpHelper::HttpHeaders fields;
    ASSERT_TRUE(connection.ParseHttpResponse("HTTP/1.0 302 Found\r\n"
                                             "Location:  /first \t\r\n"
                                             "Location: /second\r\n"
                                             "location: /lower\r\n"
                                             "X-Colons: a:b:c\r\n"
                                             "no colon here\r\n"
                                             " Spaced : kept name",
                                             status, fields));
    EXPECT_EQ(status, 302);
    HttpHelper::HttpHeaders expected{{"Location", "/first"}, {"X-Colons", "a:b:c"}, {" Spaced ", "kept name"}};
    EXPECT_EQ(fields, expected) << "names compare without regard to case: the first Location wins";
    EXPECT_EQ(fields["x-colons"], "a:b:c");

    ASSERT_TRUE(connection.ParseHttpResponse("HTTP/1.0  200 OK", status, fields));
    EXPECT_EQ(status, 0) << "two blanks leave an empty second piece";
}

TEST(HttpUrlTest, ParseHttpResponseRefusesHeadersWithoutStatus) {
    test::LogCapture log;
    HttpConnection connection("h", 80, false);
    int32_t status = 0;
    HttpHelper::HttpHeaders fields;
    EXPECT_FALSE(connection.ParseHttpResponse("", status, fields));
    EXPECT_TRUE(log.Contains("ERROR - HttpConnection::ParseHttpResponse() - Empty set of headers!"));
    EXPECT_FALSE(connection.ParseHttpResponse("HTTP/1.0\r\nServer: x", status, fields));
    EXPECT_TRUE(log.Contains("ERROR - HttpConnection::ParseHttpResponse() - Response code not found in [HTTP/1.0]"));
}

} // namespace
} // namespace quillory
