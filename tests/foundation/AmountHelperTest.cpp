#include <gtest/gtest.h>

#include "TestSupport.h"
#include "foundation/AmountHelper.h"
#include "foundation/Log.h"

using namespace quillory;
using namespace quillory::test;

namespace {

class AmountTest : public ::testing::Test {
protected:
    void SetUp() override { NumericFormat::SetDefault(NumericFormat()); }
    void TearDown() override { NumericFormat::SetDefault(NumericFormat()); }
};

} // namespace

TEST_F(AmountTest, InvalidFormatValuesAreReplacedAndLogged) {
    LogCapture capture;
    NumericFormat format(';', '#', 9);
    EXPECT_EQ(format.GetDecimalSeparator(), '.');
    EXPECT_EQ(format.GetThousandSeparator(), ',');
    EXPECT_EQ(format.GetNumberOfDecimalDigits(), 2);
    EXPECT_EQ(capture.Texts(),
              (std::vector<std::string>{
                  "ERROR - NumericFormat::SetDecimalSeparator() - Invalid separator, replacing with '.'!",
                  "ERROR - NumericFormat::SetThousandSeparator() - Invalid separator, replacing with ','!",
                  "ERROR - NumericFormat::SetNumberOfDecimalDigits() - Invalid number of digits, replacing with 2!"}));
    capture.Clear();
    for (char c : {'.', ',', ' ', '\'', '`', '\0'})
        NumericFormat(',', c, 6);
    EXPECT_TRUE(capture.Lines().empty());
}

TEST_F(AmountTest, FormatAmountRoundsAndGroups) {
    struct Case {
        double value;
        NumericFormat format;
        const char* text;
    } cases[] = {
        {1234567.891, NumericFormat(), "1,234,567.89"},
        {-1234.5, NumericFormat(), "-1,234.50"},
        {999.999, NumericFormat(), "1,000.00"},
        {123, NumericFormat(), "123.00"},
        {0.005, NumericFormat(), "0.01"},
        {-0.005, NumericFormat(), "-0.01"},
        {1e-8, NumericFormat(), "0.00"},
        {-1e-8, NumericFormat(), "0.00"},
        {-123456, NumericFormat(), "-123,456.00"},
        {-1234567, NumericFormat('.', ',', 0), "-1,234,567"},
        {1234.5, NumericFormat(',', '.', 2), "1.234,50"},
        {1234567.5, NumericFormat('.', '\0', 2), "1234567.50"},
        {2.5, NumericFormat('.', ',', 0), "3"},
        {-2.5, NumericFormat('.', ',', 0), "-3"},
        {1234.56789, NumericFormat('.', '\'', 4), "1'234.5679"},
        {2.155, NumericFormat('.', ',', 3), "2.155"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(AmountHelper::FormatAmount(c.value, c.format), c.text);
    }
    EXPECT_EQ(AmountHelper::FormatAmount(1234.5), "1,234.50");
    EXPECT_EQ(AmountHelper::FormatAmount(2.155, uint8_t(3)), "2.155");
    EXPECT_EQ(AmountHelper::FormatDouble(1234567.891), "1234567.89");
}

TEST_F(AmountTest, RoundReportsBadDigitCountsAsCritical) {
    MessageBoxRecorder boxes;
    LogCapture capture;
    double value = 1.23456789;
    AmountHelper::Round(value, 9);
    EXPECT_DOUBLE_EQ(value, 1.234568);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "AmountHelper::Round() - Invalid number of digits!");
    value = 1.005;
    AmountHelper::Round(value);   // default format: 2 digits
    EXPECT_DOUBLE_EQ(value, 1.0); // 1.005 is stored just below, as printf would see it too
    EXPECT_EQ(AmountHelper::RoundHalfAwayFromZero(-2.5), -3);
    EXPECT_EQ(AmountHelper::RoundHalfAwayFromZero(2.4999), 2);
    EXPECT_TRUE(AmountHelper::IsZero(9.9e-8));
    EXPECT_FALSE(AmountHelper::IsZero(1e-7));
}

TEST_F(AmountTest, ParseAmountInTheDefaultNotation) {
    struct Case {
        const char* text;
        bool ok;
        double value;
    } cases[] = {
        {" 1,234.50 \r\n", true, 1234.5},
        {"", true, 0},
        {"   ", true, 0},
        {".", true, 0},
        {"12abc", false, -1},
        {"-0.5", true, -0.5},
        {"1e999", false, -1},
        {"0.00000001", true, 0},
        {"1,2,3", true, 123},
        {"abc", false, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        double value = -1;
        EXPECT_EQ(AmountHelper::ParseAmount(c.text, value), c.ok);
        EXPECT_DOUBLE_EQ(value, c.value);
    }

    NumericFormat::SetDefault(NumericFormat(',', '.', 2));
    double value = 0;
    EXPECT_TRUE(AmountHelper::ParseAmount("1.234,56", value));
    EXPECT_DOUBLE_EQ(value, 1234.56);
}
