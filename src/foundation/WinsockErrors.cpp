#include "WinsockErrors.h"

#include <algorithm>
#include <iterator>

namespace quillory {

namespace {

struct ErrorEntry {
    int code;
    const char* text;
};

const ErrorEntry kErrors[] = {
    {10004, "Interrupted function call. A blocking operation was interrupted before it completed."},
    {10013, "Permission denied. An attempt was made to access a socket in a way forbidden by its access "
            "permissions."},
    {10014, "Bad address. The system detected an invalid pointer address in a call argument."},
    {10022, "Invalid argument. An invalid argument was supplied, or the socket is in a state that does not "
            "allow the operation."},
    {10024, "Too many open files. The process has reached its limit of open sockets and files."},
    {10035, "Resource temporarily unavailable. A non-blocking operation could not be completed at once."},
    {10036, "Operation now in progress. A blocking operation is currently executing."},
    {10037, "Operation already in progress. An operation was attempted on a socket that already has one "
            "in progress."},
    {10038, "Socket operation on nonsocket. An operation was attempted on something that is not a socket."},
    {10039, "Destination address required. A required address was omitted from an operation on a socket."},
    {10040, "Message too long. A message sent on a datagram socket was larger than the internal buffer."},
    {10041, "Protocol wrong type for socket. The protocol does not support the semantics of the socket "
            "type requested."},
    {10042, "Bad protocol option. An unknown, invalid or unsupported option or level was specified."},
    {10043, "Protocol not supported. The requested protocol is not configured on this system."},
    {10044, "Socket type not supported. The socket type is not supported in this address family."},
    {10045, "Operation not supported. The attempted operation is not supported for this type of object."},
    {10046, "Protocol family not supported. The protocol family is not configured on this system."},
    {10047, "Address family not supported by protocol family. An address incompatible with the requested "
            "protocol was used."},
    {10048, "Address already in use. Only one use of each socket address is normally permitted."},
    {10049, "Cannot assign requested address. The requested address is not valid in its context."},
    {10050, "Network is down. A socket operation encountered a dead network."},
    {10051, "Network is unreachable. A socket operation was attempted to an unreachable network."},
    {10052, "Network dropped connection on reset. The connection was broken by keep-alive activity that "
            "detected a failure."},
    {10053, "Software caused connection abort. An established connection was aborted by the software in "
            "this host."},
    {10054, "Connection reset by peer. An existing connection was forcibly closed by the remote host."},
    {10055, "No buffer space available. The system lacked sufficient buffer space or a queue was full."},
    {10056, "Socket is already connected. A connect request was made on an already connected socket."},
    {10057, "Socket is not connected. Sending or receiving data was not allowed because the socket is not "
            "connected."},
    {10058, "Cannot send after socket shutdown. Data could not be sent because the socket had already been "
            "shut down in that direction."},
    {10060, "Connection timed out. The remote party did not respond within the allowed time, or an "
            "established connection stopped responding."},
    {10061, "Connection refused. No connection could be made because the target host actively refused it."},
    {10064, "Host is down. A socket operation failed because the destination host was down."},
    {10065, "No route to host. A socket operation was attempted to an unreachable host."},
    {10067, "Too many processes. Too many applications are using the sockets implementation at once."},
    {10091, "Network subsystem is unavailable. The underlying network subsystem is not ready for network "
            "communication."},
    {10092, "Winsock.dll version out of range. The requested version of the sockets implementation is not "
            "supported."},
    {10093, "Successful WSAStartup not yet performed. The sockets implementation has not been started."},
    {10101, "Graceful shutdown in progress. The remote party has initiated a graceful shutdown."},
    {10109, "Class type not found. The specified class was not found."},
    {11001, "Host not found. No such host is known."},
    {11002, "Nonauthoritative host not found. A temporary failure in name resolution; try again later."},
    {11003, "This is a nonrecoverable error. A nonrecoverable error occurred during a name lookup."},
    {11004, "Valid name, no data record of requested type. The name is valid but has no address of the "
            "requested type."},
    {6, "OS dependent. Specified event object handle is invalid. "
        "An application attempted to use an event object whose handle is not valid."},
    {87, "OS dependent. One or more parameters are invalid. "
         "An application passed invalid parameters to a function."},
    {996, "OS dependent. Overlapped I/O event object not in signaled state. "
          "An application asked for the result of an overlapped operation that has not completed yet."},
    {997, "OS dependent. Overlapped operations will complete later. "
          "An overlapped operation was started and will complete later."},
    {8, "OS dependent. Insufficient memory available. "
        "There was not enough memory to perform the operation."},
    {995, "OS dependent. Overlapped operation aborted. "
          "An overlapped operation was cancelled because the socket was closed."},
    {10107, "OS dependent. System call failure. "
            "A system call that should never fail has failed."},
};

} // namespace

std::string WinsockErrorText(int code) {
    auto it =
        std::find_if(std::begin(kErrors), std::end(kErrors), [code](const ErrorEntry& e) { return e.code == code; });
    return it == std::end(kErrors) ? std::string() : std::string(it->text);
}

} // namespace quillory
