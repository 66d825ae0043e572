#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include <openssl/types.h>

struct sockaddr_in;

namespace quillory {

// A blocking IPv4 TCP client connection with an optional, verified TLS layer. Every failure is
// thrown as a SocketException: either a text, or a Windows Sockets error code.
class Socket {
public:
    Socket();
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    Socket(Socket&& other) noexcept;
    // Closes this socket first (a close failure is swallowed: the handle is gone either way).
    Socket& operator=(Socket&& other) noexcept;
    virtual ~Socket();

    // A new TCP handle with 10-second receive and send time-outs. An earlier handle is not closed.
    void Create();
    // Resolves `host` (name or dotted address) and connects, giving up after the send time-out. With
    // `useTls` the server must present a certificate for `host` that the system trust store accepts.
    void Connect(const std::string& host, uint16_t port, bool useTls);
    // Sends the whole range; the result always equals `count`.
    size_t Send(const char* data, size_t count);
    // Receives at most `capacity` bytes; 0 means the peer closed the connection.
    size_t Receive(char* buffer, size_t capacity);
    // Sets the receive and the send time-out and checks that the system took them.
    void SetTimeout(uint32_t milliseconds);
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
    void StartTls(const std::string& host);
    uint32_t GetTimeout(int option) const;
    // The send and receive primitives: plain or TLS. They return the count, or -1 with `error` set
    // to a Windows Sockets code.
    long SendSome(const char* data, size_t count, int32_t& error);
    long ReceiveSome(char* buffer, size_t capacity, int32_t& error);

    int handle = -1;
    bool useTls = false;
    SSL_CTX* tlsContext = nullptr;
    SSL* tls = nullptr;
};

} // namespace quillory
