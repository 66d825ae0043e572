#pragma once

#include <cstdint>
#include <string>

namespace quillory {

// Base of the exceptions that carry a code and a text. Thrown by value, caught by reference.
class Exception {
public:
    explicit Exception(std::string text) : message(std::move(text)) {}
    explicit Exception(int32_t errorCode) : code(errorCode) {}
    Exception(int32_t errorCode, std::string text) : code(errorCode), message(std::move(text)) {}
    Exception(const Exception&) = default;
    Exception& operator=(const Exception&) = default;
    virtual ~Exception() = default;

    virtual const std::string& Message() const { return message; }
    virtual int32_t ErrorCode() const { return code; }

protected:
    int32_t code = 0;
    mutable std::string message;
};

// Raised by the markup parser, the XML records and the date/time readers.
class XMLException : public Exception {
public:
    explicit XMLException(std::string text) : Exception(std::move(text)) {}
    ~XMLException() override = default;
};

// Raised by the socket layer: either a text, or a Windows Sockets error code whose text is looked up.
class SocketException : public Exception {
public:
    explicit SocketException(std::string text) : Exception(std::move(text)) {}
    explicit SocketException(int32_t errorCode) : Exception(errorCode) {}
    ~SocketException() override = default;

    // Fills an empty text from the error table (or "ErrorCode %d") once, then keeps it.
    const std::string& Message() const override;
};

// Raised by the HTTP connection; a plain value holding one text.
class HttpException {
public:
    explicit HttpException(std::string text) : message(std::move(text)) {}
    const std::string& Message() const { return message; }

private:
    std::string message;
};

} // namespace quillory
