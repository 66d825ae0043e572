// Response headers and chunked bodies as a hostile server may send them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "foundation/Log.h"
#include "web/ChunkedDecoder.h"
#include "web/HttpConnection.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    quillory::Log::Instance().toConsole = false; // every broken header logs a line
    return 0;
}

namespace {

void CheckHeader(const std::string& header) {
    static quillory::HttpConnection connection("h", 80, false);
    int32_t status = 0;
    quillory::HttpHelper::HttpHeaders fields;
    if (connection.ParseHttpResponse(header, status, fields)) {
        for (const auto& [name, value] : fields) {
            // Values come trimmed, and every name came from the header text.
            if (!value.empty() && (value.front() == ' ' || value.back() == ' '))
                std::abort();
            if (header.find(name) == std::string::npos)
                std::abort();
        }
    }
}

// The same bytes in one piece and cut at a point the input chooses decode alike, and the data
// never outgrows its framing.
void CheckChunks(const std::string& body) {
    quillory::ChunkedDecoder whole;
    std::string wholeOut;
    bool wholeOk = whole.Feed(body.data(), body.size(), wholeOut);

    size_t cut = body.empty() ? 0 : static_cast<unsigned char>(body[0]) % (body.size() + 1);
    quillory::ChunkedDecoder split;
    std::string splitOut;
    bool splitOk = split.Feed(body.data(), cut, splitOut) && split.Feed(body.data() + cut, body.size() - cut, splitOut);

    if (wholeOk != splitOk || whole.Done() != split.Done() || (wholeOk && wholeOut != splitOut))
        std::abort();
    if (wholeOut.size() > body.size() || (!wholeOk && whole.Error().empty()))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    CheckHeader(text);
    CheckChunks(text);
    return 0;
}
