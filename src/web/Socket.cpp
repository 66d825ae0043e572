#include "Socket.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstring>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include "ErrnoMapping.h"
#include "foundation/Exception.h"
#include "foundation/Mutex.h"

namespace quillory {

namespace {

constexpr size_t kMaxTransfer = 2147483647;
constexpr uint32_t kDefaultTimeoutMs = 10000;
// Linux keeps socket time-outs in clock ticks, so a read-back may exceed the request by up to one
// tick (10 ms at the coarsest tick rate); anything beyond that means the setting did not take.
constexpr uint32_t kTimeoutTolerance = 10;
constexpr int32_t kTimedOut = 10060;     // WSAETIMEDOUT
constexpr int32_t kConnAborted = 10053;  // WSAECONNABORTED
constexpr int32_t kConnReset = 10054;    // WSAECONNRESET
constexpr int32_t kNotConnected = 10057; // WSAENOTCONN

bool started = false;

Mutex& StartupMutex() {
    static Mutex startupMutex;
    return startupMutex;
}

// OpenSSL's own socket BIO writes with write(), which raises SIGPIPE when the peer has gone. This one
// sends with MSG_NOSIGNAL so that a closed peer is an error code, never the end of the process.
int BioWrite(BIO* bio, const char* data, int length) {
    int fd = static_cast<int>(reinterpret_cast<intptr_t>(BIO_get_data(bio)));
    BIO_clear_retry_flags(bio);
    ssize_t n = ::send(fd, data, static_cast<size_t>(length), MSG_NOSIGNAL);
    if (n < 0 && errno == EAGAIN)
        BIO_set_retry_write(bio);
    return static_cast<int>(n);
}

int BioRead(BIO* bio, char* buffer, int capacity) {
    int fd = static_cast<int>(reinterpret_cast<intptr_t>(BIO_get_data(bio)));
    BIO_clear_retry_flags(bio);
    ssize_t n = ::recv(fd, buffer, static_cast<size_t>(capacity), 0);
    if (n < 0 && errno == EAGAIN)
        BIO_set_retry_read(bio);
    if (n == 0)
        BIO_set_flags(bio, BIO_FLAGS_IN_EOF); // lets the TLS layer tell a close from a failure
    return static_cast<int>(n);
}

long BioCtrl(BIO* bio, int command, long, void*) {
    switch (command) {
    case BIO_CTRL_FLUSH:
        return 1;
    case BIO_CTRL_EOF:
        return BIO_test_flags(bio, BIO_FLAGS_IN_EOF) != 0 ? 1 : 0;
    default:
        return 0;
    }
}

BIO_METHOD* SocketBioMethod() {
    static BIO_METHOD* method = [] {
        BIO_METHOD* m = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "quillory socket");
        if (m != nullptr) {
            BIO_meth_set_write(m, BioWrite);
            BIO_meth_set_read(m, BioRead);
            BIO_meth_set_ctrl(m, BioCtrl);
        }
        return m;
    }();
    return method;
}

// The Windows Sockets code for a failed TLS read or write; `savedErrno` is errno right after it.
int32_t TlsErrorCode(SSL* tls, int result, int savedErrno) {
    switch (SSL_get_error(tls, result)) {
    case SSL_ERROR_WANT_READ:
    case SSL_ERROR_WANT_WRITE:
        // Only a time-out makes a blocking socket ask to be retried.
        return kTimedOut;
    case SSL_ERROR_SYSCALL:
        return savedErrno != 0 ? WinsockCodeFromErrno(savedErrno) : kConnReset;
    default:
        return kConnAborted;
    }
}

// Why a handshake failed, in OpenSSL's words: the verify result first, as it is the usual cause.
std::string TlsFailureReason(SSL* tls, int result, int savedErrno) {
    long verify = SSL_get_verify_result(tls);
    if (verify != X509_V_OK)
        return X509_verify_cert_error_string(verify);
    if (unsigned long error = ERR_peek_last_error(); error != 0) {
        if (const char* reason = ERR_reason_error_string(error))
            return reason;
        char text[256];
        ERR_error_string_n(error, text, sizeof text);
        return text;
    }
    switch (SSL_get_error(tls, result)) {
    case SSL_ERROR_WANT_READ:
    case SSL_ERROR_WANT_WRITE:
        return "handshake timed out";
    case SSL_ERROR_SYSCALL:
        return savedErrno != 0 ? std::strerror(savedErrno) : "connection closed during the handshake";
    default:
        return "handshake failed";
    }
}

// Restores blocking mode when a connect attempt ends, however it ends.
class BlockingRestorer {
public:
    BlockingRestorer(int fd, int flags) : fd(fd), flags(flags) {}
    ~BlockingRestorer() {
        int saved = errno;
        fcntl(fd, F_SETFL, flags);
        errno = saved;
    }

private:
    int fd;
    int flags;
};

} // namespace

Socket::Socket() {
    Lock lock(StartupMutex(), "");
    if (!started) {
        if (OPENSSL_init_ssl(OPENSSL_INIT_LOAD_SSL_STRINGS | OPENSSL_INIT_LOAD_CRYPTO_STRINGS, nullptr) != 1 ||
            SocketBioMethod() == nullptr)
            throw SocketException("Socket::Socket() - OpenSSL could not be initialised!");
        started = true;
    }
}

Socket::Socket(Socket&& other) noexcept {
    TakeOver(other);
}

Socket& Socket::operator=(Socket&& other) noexcept {
    if (this != &other) {
        try {
            Close();
        } catch (const SocketException&) {
        }
        TakeOver(other);
    }
    return *this;
}

Socket::~Socket() {
    try {
        Close();
    } catch (const SocketException&) {
    }
}

void Socket::TakeOver(Socket& other) {
    handle = other.handle;
    useTls = other.useTls;
    tlsContext = other.tlsContext;
    tls = other.tls;
    other.handle = -1;
    other.useTls = false;
    other.tlsContext = nullptr;
    other.tls = nullptr;
}

int32_t Socket::LastError() {
    return WinsockCodeFromErrno(errno);
}

void Socket::Create() {
    handle = ::socket(AF_INET, SOCK_STREAM, 0);
    if (handle == -1)
        throw SocketException(LastError());
    timeval tv{kDefaultTimeoutMs / 1000, 0};
    if (setsockopt(handle, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv) != 0 ||
        setsockopt(handle, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv) != 0)
        throw SocketException(LastError());
}

void Socket::Connect(const std::string& host, uint16_t port, bool tlsWanted) {
    useTls = tlsWanted;

    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr)
        throw SocketException("Can't resolve address of host " + host);
    sockaddr_in address{};
    std::memcpy(&address, found->ai_addr, sizeof address);
    freeaddrinfo(found);
    address.sin_port = htons(port);

    ConnectWithTimeout(address);
    if (useTls)
        StartTls(host);
}

// A blocking connect would wait for the system's own time-out (minutes against a silent host), so
// the connect runs non-blocking and waits at most the send time-out.
void Socket::ConnectWithTimeout(const sockaddr_in& address) {
    uint32_t timeout = GetTimeout(SO_SNDTIMEO);
    int flags = fcntl(handle, F_GETFL);
    if (flags == -1 || fcntl(handle, F_SETFL, flags | O_NONBLOCK) == -1)
        throw SocketException(LastError());
    BlockingRestorer restorer(handle, flags);

    if (::connect(handle, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
        return;
    if (errno != EINPROGRESS)
        throw SocketException(LastError());

    using namespace std::chrono;
    auto deadline = steady_clock::now() + milliseconds(timeout);
    for (;;) {
        int wait = -1;
        if (timeout != 0)
            wait = static_cast<int>(
                std::max<int64_t>(0, duration_cast<milliseconds>(deadline - steady_clock::now()).count()));
        pollfd waiting{handle, POLLOUT, 0};
        int ready = ::poll(&waiting, 1, wait);
        if (ready > 0)
            break;
        if (ready == 0)
            throw SocketException(kTimedOut);
        if (errno != EINTR)
            throw SocketException(LastError());
    }
    int error = 0;
    socklen_t length = sizeof error;
    if (getsockopt(handle, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
        throw SocketException(LastError());
    if (error != 0)
        throw SocketException(WinsockCodeFromErrno(error));
}

void Socket::StartTls(const std::string& host) {
    ERR_clear_error();
    tlsContext = SSL_CTX_new(TLS_client_method());
    if (tlsContext == nullptr)
        throw SocketException("SSL Error: failed to create SSL context for connection with " + host);
    SSL_CTX_set_verify(tlsContext, SSL_VERIFY_PEER, nullptr);
    SSL_CTX_set_min_proto_version(tlsContext, TLS1_2_VERSION);
    // An HTTP/1.0 body ends where the connection ends, and many servers close without close_notify.
    SSL_CTX_set_options(tlsContext, SSL_OP_IGNORE_UNEXPECTED_EOF);
    // The system trust store; SSL_CERT_FILE and SSL_CERT_DIR replace it when set.
    SSL_CTX_set_default_verify_paths(tlsContext);

    tls = SSL_new(tlsContext);
    if (tls == nullptr)
        throw SocketException("SSL Error: failed to create SSL handle for connection with " + host);
    in_addr ip{};
    bool named = inet_pton(AF_INET, host.c_str(), &ip) != 1;
    // Server name indication is for names only; an address is checked against the certificate's IP
    // entries instead.
    bool checkSet = named ? SSL_set_tlsext_host_name(tls, host.c_str()) == 1 && SSL_set1_host(tls, host.c_str()) == 1
                          : X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(tls), host.c_str()) == 1;
    if (!checkSet)
        throw SocketException("SSL Error: failed to create SSL handle for connection with " + host);

    BIO* bio = BIO_new(SocketBioMethod());
    if (bio == nullptr)
        throw SocketException("SSL Error: failed to connect SSL object with a socket for connection with " + host);
    BIO_set_data(bio, reinterpret_cast<void*>(static_cast<intptr_t>(handle)));
    BIO_set_init(bio, 1);
    SSL_set_bio(tls, bio, bio);

    errno = 0;
    int result = SSL_connect(tls);
    int savedErrno = errno;
    if (result != 1) {
        std::string reason = TlsFailureReason(tls, result, savedErrno);
        ERR_clear_error();
        throw SocketException("Can't establish SSL/TLS connection with " + host + ": " + reason);
    }
}

long Socket::SendSome(const char* data, size_t count, int32_t& error) {
    if (!useTls) {
        ssize_t n = ::send(handle, data, count, MSG_NOSIGNAL);
        if (n < 0)
            error = LastError();
        return n;
    }
    if (tls == nullptr) {
        error = kNotConnected;
        return -1;
    }
    ERR_clear_error();
    errno = 0;
    int n = SSL_write(tls, data, static_cast<int>(count));
    if (n > 0)
        return n;
    error = TlsErrorCode(tls, n, errno);
    ERR_clear_error();
    return -1;
}

long Socket::ReceiveSome(char* buffer, size_t capacity, int32_t& error) {
    if (!useTls) {
        ssize_t n = ::recv(handle, buffer, capacity, 0);
        if (n < 0)
            error = LastError();
        return n;
    }
    if (tls == nullptr) {
        error = kNotConnected;
        return -1;
    }
    ERR_clear_error();
    errno = 0;
    int n = SSL_read(tls, buffer, static_cast<int>(capacity));
    if (n > 0)
        return n;
    int savedErrno = errno;
    if (SSL_get_error(tls, n) == SSL_ERROR_ZERO_RETURN)
        return 0;
    error = TlsErrorCode(tls, n, savedErrno);
    ERR_clear_error();
    return -1;
}

// A blocking send may still stop short (a signal, the send time-out after part of the data); the
// rest is sent on, and only a failure of the system call is an error.
size_t Socket::Send(const char* data, size_t count) {
    if (count > kMaxTransfer)
        throw SocketException("Socket::Send() - Sending too many bytes!");
    size_t sent = 0;
    while (sent < count) {
        int32_t error = 0;
        long n = SendSome(data + sent, count - sent, error);
        if (n < 0)
            throw SocketException(error);
        sent += static_cast<size_t>(n);
    }
    return sent;
}

size_t Socket::Receive(char* buffer, size_t capacity) {
    if (capacity > kMaxTransfer)
        throw SocketException("Socket::Receive(char *, size_t) - Receiving too many bytes!");
    if (capacity == 0)
        return 0;
    int32_t error = 0;
    long n = ReceiveSome(buffer, capacity, error);
    if (n < 0)
        throw SocketException(error);
    return static_cast<size_t>(n);
}

void Socket::SetTimeout(uint32_t milliseconds) {
    timeval tv{static_cast<time_t>(milliseconds / 1000), static_cast<suseconds_t>(milliseconds % 1000) * 1000};
    if (setsockopt(handle, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv) != 0 ||
        setsockopt(handle, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv) != 0)
        throw SocketException(LastError());
    for (uint32_t readBack : {GetReceiveTimeout(), GetSendTimeout()})
        if (readBack < milliseconds || readBack - milliseconds >= kTimeoutTolerance)
            throw SocketException("Socket::SetTimeout() - Timeout verification failed!");
}

uint32_t Socket::GetTimeout(int option) const {
    timeval tv{};
    socklen_t length = sizeof tv;
    if (getsockopt(handle, SOL_SOCKET, option, &tv, &length) != 0)
        throw SocketException(LastError());
    return static_cast<uint32_t>(tv.tv_sec * 1000 + tv.tv_usec / 1000);
}

uint32_t Socket::GetReceiveTimeout() const {
    return GetTimeout(SO_RCVTIMEO);
}
uint32_t Socket::GetSendTimeout() const {
    return GetTimeout(SO_SNDTIMEO);
}

void Socket::Close() {
    int closeError = 0;
    if (handle != -1) {
        if (tls != nullptr) {
            SSL_shutdown(tls);
            ERR_clear_error();
        }
        if (::close(handle) != 0)
            closeError = errno;
        handle = -1;
    }
    if (tls != nullptr) {
        SSL_free(tls);
        tls = nullptr;
    }
    if (tlsContext != nullptr) {
        SSL_CTX_free(tlsContext);
        tlsContext = nullptr;
    }
    if (closeError != 0)
        throw SocketException(WinsockCodeFromErrno(closeError));
}

} // namespace quillory
