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

#include <sys/eventfd.h>

#include <memory>
#include <mutex>
#include <thread>

#include "ErrnoMapping.h"
#include "foundation/CancelToken.h"
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
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
        BIO_set_retry_write(bio);
    return static_cast<int>(n);
}

int BioRead(BIO* bio, char* buffer, int capacity) {
    int fd = static_cast<int>(reinterpret_cast<intptr_t>(BIO_get_data(bio)));
    BIO_clear_retry_flags(bio);
    ssize_t n = ::recv(fd, buffer, static_cast<size_t>(capacity), 0);
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
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
    case SSL_ERROR_SYSCALL:
        if (savedErrno == 0)
            return "connection closed during the handshake";
        return SocketException(WinsockCodeFromErrno(savedErrno)).Message();
    default:
        return "handshake failed";
    }
}

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
    timeoutMs = other.timeoutMs;
    deadline = other.deadline;
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

// The handle stays non-blocking for its whole life: every wait is a poll() of our own, which can
// also watch the cancel token and the deadline. The system time-outs are set too, so that they read
// back as the time-out of one wait.
void Socket::Create() {
    handle = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (handle == -1)
        throw SocketException(LastError());
    timeoutMs = kDefaultTimeoutMs;
    timeval tv{kDefaultTimeoutMs / 1000, 0};
    if (setsockopt(handle, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv) != 0 ||
        setsockopt(handle, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv) != 0)
        throw SocketException(LastError());
}

Socket::TimePoint Socket::WaitEnd(bool& isDeadline) const {
    TimePoint end =
        timeoutMs == 0 ? TimePoint::max() : std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    isDeadline = deadline <= end;
    return isDeadline ? deadline : end;
}

namespace {

// Milliseconds from now to `end` for poll(): -1 for no end, 0 once it has passed.
int PollTimeout(Socket::TimePoint end) {
    using namespace std::chrono;
    if (end == Socket::TimePoint::max())
        return -1;
    auto left = duration_cast<milliseconds>(end - steady_clock::now()).count();
    // Rounded up, so that a wait never ends a moment before `end` and spins.
    if (end > steady_clock::now() + milliseconds(left))
        ++left;
    return static_cast<int>(std::clamp<int64_t>(left, 0, INT_MAX));
}

// Polls `fd` and, when there is one, the calling thread's cancel token until `fd` is ready, `end`
// passes (false) or the token is cancelled (throws). A signal only makes it poll again.
bool PollUntil(int fd, short events, Socket::TimePoint end) {
    const CancelToken* token = CancelToken::Current();
    for (;;) {
        if (token != nullptr && token->IsCancelled())
            throw SocketException(Socket::kCancelledText);
        // A negative descriptor is skipped by poll().
        pollfd waiting[2] = {{fd, events, 0}, {token != nullptr ? token->Fd() : -1, POLLIN, 0}};
        int ready = ::poll(waiting, 2, PollTimeout(end));
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            throw SocketException(Socket::LastError());
        }
        if (waiting[1].revents != 0)
            continue; // the flag is set before the descriptor wakes: the check above throws
        if (waiting[0].revents != 0)
            return true;
        if (ready == 0 && PollTimeout(end) == 0)
            return false;
    }
}

} // namespace

void Socket::Wait(short events) {
    bool isDeadline = false;
    TimePoint end = WaitEnd(isDeadline);
    if (!PollUntil(handle, events, end))
        throw isDeadline ? SocketException(kDeadlineText) : SocketException(kTimedOut);
}

namespace {

// One name lookup, shared with the thread that runs it: getaddrinfo() cannot be interrupted, so it
// runs aside and the caller waits for it with the time-out, the deadline and the cancel token. A
// lookup the caller gave up on finishes in the background and frees this itself.
struct Lookup {
    Lookup() : done(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
    ~Lookup() {
        if (done != -1)
            ::close(done);
    }
    Lookup(const Lookup&) = delete;
    Lookup& operator=(const Lookup&) = delete;

    std::mutex mutex;
    bool found = false;
    sockaddr_in address{};
    int done;
};

} // namespace

sockaddr_in Socket::Resolve(const std::string& host) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    if (inet_pton(AF_INET, host.c_str(), &address.sin_addr) == 1)
        return address;

    auto lookup = std::make_shared<Lookup>();
    if (lookup->done == -1)
        throw SocketException(LastError());
    std::thread([lookup, host] {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        bool ok = getaddrinfo(host.c_str(), nullptr, &hints, &found) == 0 && found != nullptr;
        {
            std::lock_guard<std::mutex> lock(lookup->mutex);
            lookup->found = ok;
            if (ok)
                std::memcpy(&lookup->address, found->ai_addr, sizeof lookup->address);
        }
        if (found != nullptr)
            freeaddrinfo(found);
        uint64_t one = 1;
        [[maybe_unused]] ssize_t n = ::write(lookup->done, &one, sizeof one);
    }).detach();

    bool isDeadline = false;
    TimePoint end = WaitEnd(isDeadline);
    if (!PollUntil(lookup->done, POLLIN, end))
        throw isDeadline ? SocketException(kDeadlineText) : SocketException("Can't resolve address of host " + host);
    std::lock_guard<std::mutex> lock(lookup->mutex);
    if (!lookup->found)
        throw SocketException("Can't resolve address of host " + host);
    return lookup->address;
}

void Socket::Connect(const std::string& host, uint16_t port, bool tlsWanted) {
    useTls = tlsWanted;
    sockaddr_in address = Resolve(host);
    address.sin_port = htons(port);
    ConnectWithTimeout(address);
    if (useTls)
        StartTls(host);
}

// A blocking connect would wait for the system's own time-out (minutes against a silent host).
void Socket::ConnectWithTimeout(const sockaddr_in& address) {
    int result = ::connect(handle, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    if (result == 0)
        return;
    // A signal during connect leaves it running on, like EINPROGRESS.
    if (errno != EINPROGRESS && errno != EINTR)
        throw SocketException(LastError());
    Wait(POLLOUT);
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
    // (A body with a Content-Length is checked for its length above this layer.)
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

    for (;;) {
        errno = 0;
        int result = SSL_connect(tls);
        int savedErrno = errno;
        if (result == 1)
            return;
        int kind = SSL_get_error(tls, result);
        if (kind == SSL_ERROR_WANT_READ || kind == SSL_ERROR_WANT_WRITE) {
            try {
                Wait(kind == SSL_ERROR_WANT_READ ? POLLIN : POLLOUT);
            } catch (const SocketException& e) {
                ERR_clear_error();
                if (e.Message() == kCancelledText || e.Message() == kDeadlineText)
                    throw;
                throw SocketException("Can't establish SSL/TLS connection with " + host + ": handshake timed out");
            }
            continue;
        }
        std::string reason = TlsFailureReason(tls, result, savedErrno);
        ERR_clear_error();
        throw SocketException("Can't establish SSL/TLS connection with " + host + ": " + reason);
    }
}

// One plain or TLS transfer, retried after EINTR and after waiting whenever the socket is not
// ready, until it moves bytes or fails; `plainEvents` says which way (POLLIN reads). Reads first and waits only when
// nothing is there: a page arriving quickly costs one system call per read.
template <typename Plain, typename Tls>
long Socket::Transfer(short plainEvents, Plain plain, Tls secure, int32_t& error) {
    if (!useTls) {
        for (;;) {
            ssize_t n = plain();
            if (n >= 0)
                return n;
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                Wait(plainEvents);
                continue;
            }
            error = LastError();
            return -1;
        }
    }
    if (tls == nullptr) {
        error = kNotConnected;
        return -1;
    }
    for (;;) {
        ERR_clear_error();
        errno = 0;
        int n = secure();
        if (n > 0)
            return n;
        int savedErrno = errno;
        int kind = SSL_get_error(tls, n);
        if (kind == SSL_ERROR_ZERO_RETURN && plainEvents == POLLIN)
            return 0; // the peer's close_notify ends a read
        if (kind == SSL_ERROR_WANT_READ || kind == SSL_ERROR_WANT_WRITE) {
            Wait(kind == SSL_ERROR_WANT_READ ? POLLIN : POLLOUT);
            continue;
        }
        error = TlsErrorCode(tls, n, savedErrno);
        ERR_clear_error();
        return -1;
    }
}

long Socket::SendSome(const char* data, size_t count, int32_t& error) {
    return Transfer(
        POLLOUT, [&] { return ::send(handle, data, count, MSG_NOSIGNAL); },
        [&] { return SSL_write(tls, data, static_cast<int>(count)); }, error);
}

long Socket::ReceiveSome(char* buffer, size_t capacity, int32_t& error) {
    return Transfer(
        POLLIN, [&] { return ::recv(handle, buffer, capacity, 0); },
        [&] { return SSL_read(tls, buffer, static_cast<int>(capacity)); }, error);
}

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
    timeoutMs = milliseconds;
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

// The handle is non-blocking, so a close_notify that does not fit is dropped rather than waited for.
void Socket::Close() {
    int closeError = 0;
    if (handle != -1) {
        if (tls != nullptr) {
            SSL_shutdown(tls);
            ERR_clear_error();
        }
        // Linux frees the handle even when close() reports EINTR, so it is never retried.
        if (::close(handle) != 0 && errno != EINTR)
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
