#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quillory {

// Undoes "Transfer-Encoding: chunked" as the body arrives, in pieces of any size: hex size lines
// (chunk extensions after ';' ignored, CR LF or LF alone), the data, the last chunk of size 0 and
// the trailer lines, which are dropped. Bytes after the trailer's blank line are ignored.
class ChunkedDecoder {
public:
    // Appends the decoded data of `size` more bytes to `body`. False when the framing is broken;
    // Error() then says how, and further calls keep failing.
    bool Feed(const char* data, size_t size, std::string& body);
    // The last chunk and the trailer have arrived.
    bool Done() const { return state == State::Done; }
    const std::string& Error() const { return error; }

    // Longer size or trailer lines, and larger trailers, are broken framing rather than a body.
    static constexpr size_t kMaxLineLength = 4096;
    static constexpr size_t kMaxTrailerSize = 256 * 1024;

private:
    enum class State { SizeLine, Data, DataCr, DataLf, Trailer, Done, Failed };

    bool Fail(const std::string& why);
    bool EndSizeLine();

    State state = State::SizeLine;
    std::string line;
    uint64_t remaining = 0;
    size_t trailerSize = 0;
    std::string error;
};

} // namespace quillory
