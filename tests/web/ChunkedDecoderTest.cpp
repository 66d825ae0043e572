#include <gtest/gtest.h>

#include "web/ChunkedDecoder.h"

namespace quillory {
namespace {

struct Outcome {
    bool ok;
    bool done;
    std::string body, error;
};

// Fed in one piece and then byte by byte: a chunk line may be cut anywhere by the network.
Outcome Decode(const std::string& input, size_t piece) {
    ChunkedDecoder decoder;
    Outcome outcome{true, false, "", ""};
    for (size_t at = 0; at < input.size() && outcome.ok; at += piece)
        outcome.ok = decoder.Feed(input.data() + at, std::min(piece, input.size() - at), outcome.body);
    outcome.done = decoder.Done();
    outcome.error = decoder.Error();
    return outcome;
}

TEST(ChunkedDecoderTest, FramingsAndFaults) {
    struct Case {
        std::string input;
        bool ok, done;
        std::string body, error = "";
    };
    const std::string tooLong = std::string(ChunkedDecoder::kMaxLineLength + 1, '0');
    const Case cases[] = {
        {"6\r\n211.64\r\n0\r\n\r\n", true, true, "211.64"},
        {"3\r\n211\r\n3;ext=\"a;b\"\r\n.64\r\n0\r\nX-Trailer: t\r\n\r\ntail", true, true, "211.64"},
        {"A\n0123456789\n0\n\n", true, true, "0123456789"},
        {"a \t;x\r\n0123456789\r\n0\r\n\r\n", true, true, "0123456789"},
        {"3\r\nabc\r\n", true, false, "abc"}, // more may come
        {"3\r\nabcd\r\n0\r\n\r\n", false, false, "abc", "no line end after chunk data"},
        {"zz\r\nmore\r\n", false, false, "", "invalid chunk size line [zz]"},
        {"\r\n", false, false, "", "invalid chunk size line []"},
        {"3x\r\nabc\r\n", false, false, "", "invalid chunk size line [3x]"},
        {"10000000000000\r\n", false, false, "", "chunk size too large [10000000000000]"},
        {tooLong, false, false, "", "chunk size line too long"},
    };
    for (const Case& c : cases) {
        for (size_t piece : {c.input.size(), size_t{1}}) {
            Outcome outcome = Decode(c.input, piece);
            EXPECT_EQ(outcome.ok, c.ok) << c.input.substr(0, 40) << " in pieces of " << piece;
            EXPECT_EQ(outcome.done, c.done) << c.input.substr(0, 40);
            EXPECT_EQ(outcome.body, c.body) << c.input.substr(0, 40);
            EXPECT_EQ(outcome.error, c.error) << c.input.substr(0, 40);
        }
    }
}

} // namespace
} // namespace quillory
