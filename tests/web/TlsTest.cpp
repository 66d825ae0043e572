#include <gtest/gtest.h>

#include "TestCertificates.h"
#include "TestServer.h"
#include "TestSupport.h"
#include "foundation/Exception.h"
#include "web/HttpCache.h"
#include "web/HttpConnection.h"
#include "web/HttpHelper.h"
#include "web/Socket.h"

namespace quillory {
namespace {

using test::ScopedEnv;
using test::TestCertificates;
using test::TestServer;
using Kind = test::TestCertificates::Kind;

class TlsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { certificates = new TestCertificates; }
    static void TearDownTestSuite() {
        delete certificates;
        certificates = nullptr;
    }

    // The text of the failed handshake with `host`, or "" when it succeeded.
    static std::string HandshakeError(const std::string& host, uint16_t port) {
        Socket socket;
        socket.Create();
        try {
            socket.Connect(host, port, true);
        } catch (const SocketException& e) {
            EXPECT_EQ(e.ErrorCode(), 0);
            return e.Message();
        }
        return "";
    }

    static std::string GetPage(const std::string& path, uint16_t port) {
        HttpConnection connection("127.0.0.1", port, true);
        std::string page;
        try {
            connection.Connect();
            connection.GetPage(path, page);
        } catch (const HttpException& e) {
            ADD_FAILURE() << path << ": " << e.Message();
        }
        return page;
    }

    static inline TestCertificates* certificates = nullptr;
    ScopedEnv trust{"SSL_CERT_FILE", certificates->CaFile()};
    ScopedEnv noDirectory{"SSL_CERT_DIR", "/nonexistent"};
    test::LogCapture log;
};

TEST_F(TlsTest, CertificateOfTheTrustedAuthorityIsAccepted) {
    TestServer server("web_server.py", certificates->ServerArguments(Kind::Trusted));
    EXPECT_EQ(HandshakeError("127.0.0.1", server.Port()), "");
    EXPECT_EQ(HandshakeError("localhost", server.Port()), "");
}

TEST_F(TlsTest, WrongNameAndUnknownAuthorityAreRefused) {
    TestServer wrongName("web_server.py", certificates->ServerArguments(Kind::WrongName));
    EXPECT_EQ(HandshakeError("localhost", wrongName.Port()),
              "Can't establish SSL/TLS connection with localhost: hostname mismatch");
    EXPECT_EQ(HandshakeError("127.0.0.1", wrongName.Port()),
              "Can't establish SSL/TLS connection with 127.0.0.1: IP address mismatch");

    TestServer untrusted("web_server.py", certificates->ServerArguments(Kind::Untrusted));
    EXPECT_EQ(HandshakeError("127.0.0.1", untrusted.Port()),
              "Can't establish SSL/TLS connection with 127.0.0.1: unable to get local issuer certificate");
}

// A short TLS record is no end of the response: only the server's close is.
TEST_F(TlsTest, ResponseIsReadUntilTheServerCloses) {
    TestServer server("web_server.py", certificates->ServerArguments(Kind::Trusted));
    EXPECT_EQ(GetPage("/pieces", server.Port()), "first piece|second piece");
    EXPECT_EQ(GetPage("/pieces?abrupt", server.Port()), "first piece|second piece");
    EXPECT_EQ(GetPage("/bytes/100000", server.Port()).size(), 100000u);
}

TEST_F(TlsTest, RedirectsSwitchBetweenTlsAndPlainByScheme) {
    TestServer secure("web_server.py", certificates->ServerArguments(Kind::Trusted));
    TestServer plain("web_server.py");

    HttpConnection toSecure("127.0.0.1", plain.Port(), false);
    toSecure.Connect();
    std::string page;
    toSecure.GetPage("/redirect?to=" + secure.Url("/hit/secure", "https"), page);
    EXPECT_EQ(page, "hit 1");

    EXPECT_EQ(GetPage("/redirect?to=" + plain.Url("/hit/plain"), secure.Port()), "hit 1");
}

// OpenSSL's own socket layer would raise SIGPIPE here and end the process.
TEST_F(TlsTest, SendingToAClosedPeerIsAnErrorNotASignal) {
    TestServer server("web_server.py", certificates->ServerArguments(Kind::Trusted));
    Socket socket;
    socket.Create();
    socket.Connect("127.0.0.1", server.Port(), true);
    const std::string request = "GET /close HTTP/1.0\r\n\r\n";
    socket.Send(request.data(), request.size());
    // No read: TLS refuses to write once it has seen the close, before the socket is ever asked.
    const std::string block(64 * 1024, 'x');
    int failures = 0;
    for (int i = 0; i < 200 && failures < 3; ++i) {
        try {
            socket.Send(block.data(), block.size());
        } catch (const SocketException&) {
            ++failures; // the first failure reports the reset, the next ones are EPIPE
        }
    }
    EXPECT_EQ(failures, 3);
}

// Without close_notify the end of the connection looks like the end of the body; the length decides.
TEST_F(TlsTest, ShortBodyIsAFailureWithOrWithoutCloseNotify) {
    TestServer server("web_server.py", certificates->ServerArguments(Kind::Trusted));
    HttpHelper::FetchOptions options;
    options.useCache = false;
    for (std::string path : {"/short?abrupt", "/short"}) {
        HttpHelper::HttpResponse response;
        std::string error;
        EXPECT_FALSE(HttpHelper::Fetch(server.Url(path, "https"), "", 0, options, response, error)) << path;
        EXPECT_EQ(error, "127.0.0.1: Body shorter than its Content-Length: received 40 of 100 bytes!") << path;
    }
    HttpHelper::HttpResponse response;
    std::string error;
    EXPECT_TRUE(HttpHelper::Fetch(server.Url("/chunked?abrupt", "https"), "", 0, options, response, error)) << error;
    EXPECT_EQ(response.body, "LastTrade=211.64\n");
}

// The proxy carries plain http only, so an https page goes straight to its server.
TEST_F(TlsTest, HttpsUrlIsDownloadedOverTls) {
    TestServer server("web_server.py", certificates->ServerArguments(Kind::Trusted));
    theHttpCache.Clear();
    for (std::string proxy : {"", "127.0.0.1"}) {
        std::string page;
        EXPECT_TRUE(HttpHelper::DownloadPage(server.Url("/hit/" + proxy, "https"), proxy, 9, page)) << proxy;
        EXPECT_EQ(page, "hit 1");
    }
    theHttpCache.Clear();
}

} // namespace
} // namespace quillory
