#include <gtest/gtest.h>

#include "foundation/Exception.h"
#include "foundation/WinsockErrors.h"

using namespace quillory;

TEST(SocketExceptionTest, MessageComesFromTheTableOrTheCode) {
    EXPECT_EQ(SocketException(10061).Message().rfind("Connection refused. ", 0), 0u);
    EXPECT_EQ(SocketException(10061).ErrorCode(), 10061);
    EXPECT_EQ(SocketException(12345).Message(), "ErrorCode 12345");
    EXPECT_EQ(SocketException(-3).Message(), "ErrorCode -3");
    SocketException fromText("Can't resolve address of host x.invalid");
    EXPECT_EQ(fromText.Message(), "Can't resolve address of host x.invalid");
    EXPECT_EQ(fromText.ErrorCode(), 0);
}

TEST(SocketExceptionTest, LookedUpTextSurvivesCopyAndBaseAccess) {
    SocketException original(10060);
    const Exception& base = original;
    const std::string& first = base.Message();
    EXPECT_EQ(first.rfind("Connection timed out. ", 0), 0u);
    EXPECT_EQ(&first, &base.Message()); // kept, not looked up again
    SocketException copy = original;
    EXPECT_EQ(copy.Message(), first);
}

TEST(WinsockErrorTextTest, EveryTitleIsFollowedByAnExplanation) {
    const int codes[] = {10004, 10013, 10014, 10022, 10024, 10035, 10036, 10037, 10038, 10039, 10040, 10041, 10042,
                         10043, 10044, 10045, 10046, 10047, 10048, 10049, 10050, 10051, 10052, 10053, 10054, 10055,
                         10056, 10057, 10058, 10060, 10061, 10064, 10065, 10067, 10091, 10092, 10093, 10101, 10109,
                         11001, 11002, 11003, 11004, 6,     87,    996,   997,   8,     995,   10107};
    for (int code : codes) {
        std::string text = WinsockErrorText(code);
        SCOPED_TRACE(code);
        ASSERT_FALSE(text.empty());
        // Title, a blank, then a paragraph that ends in a full stop.
        EXPECT_NE(text.find(". "), std::string::npos);
        EXPECT_EQ(text.back(), '.');
    }
    EXPECT_EQ(WinsockErrorText(10059), "");
    EXPECT_EQ(WinsockErrorText(0), "");
}

TEST(HttpExceptionTest, CarriesItsText) {
    HttpException e("HttpConnection::Receive() - Response too large!");
    EXPECT_EQ(e.Message(), "HttpConnection::Receive() - Response too large!");
}
