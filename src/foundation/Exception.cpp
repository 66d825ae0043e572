#include "Exception.h"

#include "WinsockErrors.h"

namespace quillory {

const std::string& SocketException::Message() const {
    if (message.empty()) {
        message = WinsockErrorText(code);
        if (message.empty())
            message = "ErrorCode " + std::to_string(code);
    }
    return message;
}

} // namespace quillory
