#pragma once

#include <cstdint>

namespace quillory {

// The Windows Sockets code that stands for a POSIX errno value, so that the socket texts and codes
// read as they always have ("Connection refused." is 10061). A value without a counterpart is
// returned unchanged and its text becomes "ErrorCode %d".
int32_t WinsockCodeFromErrno(int error);

} // namespace quillory
