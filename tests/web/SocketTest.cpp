#include <gtest/gtest.h>

#include <vector>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "TestServer.h"
#include "foundation/Exception.h"
#include "web/Socket.h"

namespace quillory {
namespace {

using test::TestServer;

// A port on 127.0.0.1 that is bound but not listening, so a connect to it is refused; it stays
// bound for the object's lifetime, so nobody else takes it meanwhile.
class ClosedPort {
public:
    ClosedPort() : fd(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(fd, reinterpret_cast<sockaddr*>(&address), length);
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
    }
    ~ClosedPort() { ::close(fd); }
    int fd;
    uint16_t port;
};

std::string Request(const std::string& path) {
    return "GET " + path + " HTTP/1.0\r\n\r\n";
}

std::string ReceiveAll(Socket& socket) {
    std::string all;
    char buffer[4096];
    while (size_t n = socket.Receive(buffer, sizeof buffer))
        all.append(buffer, n);
    return all;
}

SocketException ConnectError(const std::string& host, uint16_t port) {
    Socket socket;
    socket.Create();
    try {
        socket.Connect(host, port, false);
    } catch (const SocketException& e) {
        return e;
    }
    ADD_FAILURE() << "connect to " << host << " succeeded";
    return SocketException("");
}

TEST(SocketTest, RefusedConnectionCarriesWindowsSocketsCode) {
    ClosedPort closed;
    SocketException e = ConnectError("127.0.0.1", closed.port);
    EXPECT_EQ(e.ErrorCode(), 10061);
    EXPECT_EQ(e.Message().rfind("Connection refused.", 0), 0u) << e.Message();
}

TEST(SocketTest, UnresolvableHostIsATextWithCodeZero) {
    SocketException e = ConnectError("quillory-test.invalid", 80);
    EXPECT_EQ(e.ErrorCode(), 0);
    EXPECT_EQ(e.Message(), "Can't resolve address of host quillory-test.invalid");
}

// A listener whose accept queue is full drops further connection attempts on the floor, which is
// what a dead host looks like: the connect must give up after the socket's time-out.
TEST(SocketTest, ConnectGivesUpAfterTheSocketTimeout) {
    int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), length), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    uint16_t port = ntohs(address.sin_port);

    std::vector<Socket> queued(3);
    int32_t code = 0;
    for (Socket& socket : queued) {
        socket.Create();
        socket.SetTimeout(300);
        try {
            socket.Connect("127.0.0.1", port, false);
        } catch (const SocketException& e) {
            code = e.ErrorCode();
            break;
        }
    }
    ::close(listener);
    EXPECT_EQ(code, 10060);
}

TEST(SocketTest, SilentServerRunsIntoTheReceiveTimeout) {
    TestServer server("web_server.py");
    Socket socket;
    socket.Create();
    socket.Connect("127.0.0.1", server.Port(), false);
    socket.SetTimeout(200);
    std::string request = Request("/silent");
    socket.Send(request.data(), request.size());
    char buffer[16];
    try {
        socket.Receive(buffer, sizeof buffer);
        FAIL() << "silence was taken for data";
    } catch (const SocketException& e) {
        EXPECT_EQ(e.ErrorCode(), 10060);
        EXPECT_EQ(e.Message().rfind("Connection timed out.", 0), 0u) << e.Message();
    }
}

TEST(SocketTest, PeerCloseIsZeroAndResetIsAnError) {
    TestServer server("web_server.py");
    Socket closing;
    closing.Create();
    closing.Connect("127.0.0.1", server.Port(), false);
    std::string request = Request("/close");
    EXPECT_EQ(closing.Send(request.data(), request.size()), request.size());
    char buffer[16];
    EXPECT_EQ(closing.Receive(buffer, sizeof buffer), 0u);

    Socket reset;
    reset.Create();
    reset.Connect("127.0.0.1", server.Port(), false);
    request = Request("/reset");
    reset.Send(request.data(), request.size());
    try {
        ReceiveAll(reset);
        FAIL() << "a reset was taken for a close";
    } catch (const SocketException& e) {
        EXPECT_EQ(e.ErrorCode(), 10054);
    }
}

// Writing on after a peer has gone raises SIGPIPE (the first failure reports the reset, the next
// ones EPIPE) unless the socket layer prevents it; a desktop program must get error codes instead.
// Returns the codes of the first three failed sends.
std::vector<int32_t> SendAfterClose(Socket& socket) {
    const std::string block(64 * 1024, 'x');
    std::vector<int32_t> codes;
    for (int i = 0; i < 200 && codes.size() < 3; ++i) {
        try {
            socket.Send(block.data(), block.size());
        } catch (const SocketException& e) {
            codes.push_back(e.ErrorCode());
        }
    }
    return codes;
}

TEST(SocketTest, SendingToAClosedPeerIsAnErrorNotASignal) {
    TestServer server("web_server.py");
    Socket socket;
    socket.Create();
    socket.Connect("127.0.0.1", server.Port(), false);
    std::string request = Request("/close");
    socket.Send(request.data(), request.size());
    char buffer[16];
    ASSERT_EQ(socket.Receive(buffer, sizeof buffer), 0u);
    std::vector<int32_t> codes = SendAfterClose(socket);
    ASSERT_EQ(codes.size(), 3u);
    EXPECT_EQ(codes.back(), 10058);
}

TEST(SocketTest, TimeoutsReadBackAsSet) {
    Socket socket;
    socket.Create();
    EXPECT_EQ(socket.GetReceiveTimeout(), 10000u);
    EXPECT_EQ(socket.GetSendTimeout(), 10000u);
    socket.SetTimeout(30000);
    EXPECT_EQ(socket.GetReceiveTimeout(), 30000u);
    EXPECT_EQ(socket.GetSendTimeout(), 30000u);
}

TEST(SocketTest, OperationsWithoutAHandleFailCleanly) {
    Socket socket;
    EXPECT_FALSE(socket.IsValid());
    EXPECT_NO_THROW(socket.Close());
    EXPECT_THROW(socket.SetTimeout(1000), SocketException);
    char buffer[4];
    EXPECT_THROW(socket.Receive(buffer, sizeof buffer), SocketException);

    socket.Create();
    EXPECT_TRUE(socket.IsValid());
    socket.Close();
    EXPECT_FALSE(socket.IsValid());
    EXPECT_NO_THROW(socket.Close());
}

TEST(SocketTest, SizesAboveTheSigned32BitRangeAreRefused) {
    Socket socket;
    socket.Create();
    try {
        socket.Send("x", size_t{1} << 31);
        FAIL();
    } catch (const SocketException& e) {
        EXPECT_EQ(e.Message(), "Socket::Send() - Sending too many bytes!");
    }
    char buffer[1];
    try {
        socket.Receive(buffer, size_t{1} << 31);
        FAIL();
    } catch (const SocketException& e) {
        EXPECT_EQ(e.Message(), "Socket::Receive(char *, size_t) - Receiving too many bytes!");
    }
}

TEST(SocketTest, MovesHandOverTheConnection) {
    TestServer server("web_server.py");
    Socket first;
    first.Create();
    first.Connect("127.0.0.1", server.Port(), false);

    Socket second(std::move(first));
    EXPECT_FALSE(first.IsValid());
    EXPECT_TRUE(second.IsValid());

    Socket third;
    third.Create();
    third.Connect("127.0.0.1", server.Port(), false);
    third = std::move(second); // closes third's own connection, then takes over
    EXPECT_FALSE(second.IsValid());
    std::string request = Request("/echo");
    third.Send(request.data(), request.size());
    EXPECT_NE(ReceiveAll(third).find("GET /echo HTTP/1.0"), std::string::npos);
}

} // namespace
} // namespace quillory
