#include "ChunkedDecoder.h"

#include <algorithm>

namespace quillory {

namespace {

// 2^48 bytes: far above any response we keep, far below an overflow.
constexpr uint64_t kMaxChunkSize = uint64_t{1} << 48;

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

bool ChunkedDecoder::Fail(const std::string& why) {
    state = State::Failed;
    error = why;
    return false;
}

// "1a3;name=value" with optional blanks before the ';'.
bool ChunkedDecoder::EndSizeLine() {
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    size_t i = 0;
    uint64_t size = 0;
    for (; i < line.size() && HexValue(line[i]) >= 0; ++i) {
        size = size * 16 + static_cast<uint64_t>(HexValue(line[i]));
        if (size > kMaxChunkSize)
            return Fail("chunk size too large [" + line + "]");
    }
    size_t digits = i;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    if (digits == 0 || (i < line.size() && line[i] != ';'))
        return Fail("invalid chunk size line [" + line.substr(0, 64) + "]");
    line.clear();
    remaining = size;
    state = size == 0 ? State::Trailer : State::Data;
    return true;
}

bool ChunkedDecoder::Feed(const char* data, size_t size, std::string& body) {
    const char* end = data + size;
    while (data < end) {
        switch (state) {
        case State::SizeLine:
        case State::Trailer: {
            const char* newline = std::find(data, end, '\n');
            size_t take = static_cast<size_t>(newline - data);
            if (line.size() + take > kMaxLineLength)
                return Fail(state == State::SizeLine ? "chunk size line too long" : "trailer line too long");
            line.append(data, take);
            if (state == State::Trailer) {
                trailerSize += take + (newline == end ? 0 : 1);
                if (trailerSize > kMaxTrailerSize)
                    return Fail("trailer too large");
            }
            if (newline == end)
                return true;
            data = newline + 1;
            if (state == State::SizeLine) {
                if (!EndSizeLine())
                    return false;
            } else {
                bool blank = line.empty() || line == "\r";
                line.clear();
                if (blank)
                    state = State::Done;
            }
            break;
        }
        case State::Data: {
            size_t take = static_cast<size_t>(std::min<uint64_t>(remaining, static_cast<uint64_t>(end - data)));
            body.append(data, take);
            data += take;
            remaining -= take;
            if (remaining == 0)
                state = State::DataCr;
            break;
        }
        case State::DataCr:
            if (*data == '\r')
                state = State::DataLf;
            else if (*data == '\n')
                state = State::SizeLine;
            else
                return Fail("no line end after chunk data");
            ++data;
            break;
        case State::DataLf:
            if (*data != '\n')
                return Fail("no line end after chunk data");
            state = State::SizeLine;
            ++data;
            break;
        case State::Done:
            return true;
        case State::Failed:
            return false;
        }
    }
    return state != State::Failed;
}

} // namespace quillory
