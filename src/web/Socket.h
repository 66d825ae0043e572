#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include <openssl/types.h>

struct sockaddr_in;

namespace quillory {

// An IPv4 TCP client connection with an optional, verified TLS layer. Calls block, but every wait
// (name lookup, connect, TLS handshake, send, receive) is a poll() that also ends on the calling
// thread's CancelToken, on the time-out of one wait and on the deadline, and that a signal never
// breaks. Every failure is thrown as a SocketException: either a text, or a Windows Sockets code.
class Socket {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    // The texts of a wait that ended by the CancelToken, and by the deadline.
    static constexpr const char* kCancelledText = "Cancelled";
    static constexpr const char* kDeadlineText = "Deadline passed";

    Socket();
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    Socket(Socket&& other) noexcept;
    // Closes this socket first (a close failure is swallowed: the handle is gone either way).
    Socket& operator=(Socket&& other) noexcept;
    virtual ~Socket();

    // A new TCP handle; each wait on it lasts at most 10 seconds. An earlier handle is not closed.
    void Create();
    // Resolves `host` (name or dotted address) and connects, each step within the time-out. With
    // `useTls` the server must present a certificate for `host` that the system trust store accepts.
    void Connect(const std::string& host, uint16_t port, bool useTls);
    // Sends the whole range; the result always equals `count`.
    size_t Send(const char* data, size_t count);
    // Receives at most `capacity` bytes; 0 means the peer closed the connection.
    size_t Receive(char* buffer, size_t capacity);
    // Sets the time-out of one wait (0: none) and checks that the system took it.
    void SetTimeout(uint32_t milliseconds);
    // Every wait from now on, including those after a Close and a new Create, ends at `moment`.
    void SetDeadline(TimePoint moment) { deadline = moment; }
    uint32_t GetReceiveTimeout() const;
    uint32_t GetSendTimeout() const;
    // Ends TLS, closes the handle and frees the TLS objects; throws a failing close's code afterwards.
    void Close();
    bool IsValid() const { return handle != -1; }
    // The Windows Sockets code of the last failed system call of this thread.
    static int32_t LastError();

private:
    void TakeOver(Socket& other);
    void ConnectWithTimeout(const sockaddr_in& address);
    sockaddr_in Resolve(const std::string& host);
    // Waits until the handle is ready for `events` (POLLIN, POLLOUT); throws on the time-out, the
    // deadline and cancellation.
    void Wait(short events);
    // The moment the next wait must end, and whether that is the deadline rather than the time-out.
    TimePoint WaitEnd(bool& isDeadline) const;
    void StartTls(const std::string& host);
    uint32_t GetTimeout(int option) const;
    // The send and receive primitives: plain or TLS. They return the count, or -1 with `error` set
    // to a Windows Sockets code.
    template <typename Plain, typename Tls> long Transfer(short plainEvents, Plain plain, Tls secure, int32_t& error);
    long SendSome(const char* data, size_t count, int32_t& error);
    long ReceiveSome(char* buffer, size_t capacity, int32_t& error);

    int handle = -1;
    uint32_t timeoutMs = 10000;
    TimePoint deadline = TimePoint::max();
    bool useTls = false;
    SSL_CTX* tlsContext = nullptr;
    SSL* tls = nullptr;
};

} // namespace quillory
