#pragma once

#include <string>

namespace quillory {

// The fixed text for a Windows Sockets error code (title, blank, explanation); empty for a code
// outside the table. The socket layer maps errno values onto these codes.
std::string WinsockErrorText(int code);

} // namespace quillory
