#include <ctime>
#include <string>

#include <gtest/gtest.h>

#include "AllocationTracker.h"
#include "LegacyFileBuilder.h"
#include "TestSupport.h"
#include "storage/StockList.h"

namespace quillory {
namespace {

using test::LegacyFileBuilder;

// Sets a fixed local zone five hours behind UTC for a test's scope.
class ZoneFiveHoursWest {
public:
    ZoneFiveHoursWest() { tzset(); }
    ~ZoneFiveHoursWest() { tzset(); }

private:
    test::ScopedEnv zone{"TZ", "XST5"};
};

constexpr int32_t May7th2010Noon = 1273233600; // 2010-05-07 12:00 UTC

TEST(LegacyImportTest, ReadsEveryFieldOfARecord) {
    ZoneFiveHoursWest zone;
    LegacyFileBuilder file;
    file.Int32(1).Text("MSFT").Text("Microsoft Corporation").Double(12.5).Int32(2);
    file.Double(30.5).Double(-0.25).Stamp32(May7th2010Noon);
    file.Double(31).Double(0.5).Stamp32(May7th2010Noon + 86400);
    file.Int32(1).Double(25).Int32(7).Double(40);

    StockList list;
    list.push_back(Stock("KEPT", "already there"));
    EXPECT_TRUE(list.ImportLegacyData(file.Data()));
    ASSERT_EQ(list.size(), 2u);
    const Stock& stock = list.back();
    EXPECT_EQ(stock.GetSymbol(), "MSFT");
    EXPECT_EQ(stock.GetName(), "Microsoft Corporation");
    EXPECT_EQ(stock.GetQuantity(), 12.5);
    EXPECT_EQ(stock.GetDataSource(), "Yahoo Finance");
    EXPECT_TRUE(stock.GetAlert().IsLowerAlert());
    EXPECT_EQ(stock.GetAlert().GetLowerLimit(), 25);
    EXPECT_TRUE(stock.GetAlert().IsUpperAlert());
    EXPECT_EQ(stock.GetAlert().GetUpperLimit(), 40);
    ASSERT_EQ(stock.GetPrices().size(), 2u);
    EXPECT_EQ(stock.GetPrices().front().GetPrice(), 30.5);
    EXPECT_EQ(stock.GetPrices().front().GetChange(), -0.25);
    EXPECT_EQ(stock.GetPrices().front().GetDate(), Date(2010, 5, 7));
    EXPECT_EQ(stock.GetPrices().back().GetDate(), Date(2010, 5, 8));
}

TEST(LegacyImportTest, EveryLengthFormReadsTheSameText) {
    struct Case {
        const char* what;
        std::string prefix;
        std::string symbol;
    };
    auto bytes = [](const LegacyFileBuilder& b) { return b.Data(); };
    const Case cases[] = {
        {"one byte", bytes(LegacyFileBuilder().Byte(3).Bytes("ABC")), "ABC"},
        {"word", bytes(LegacyFileBuilder().Byte(0xFF).UInt16(3).Bytes("ABC")), "ABC"},
        {"double word", bytes(LegacyFileBuilder().Byte(0xFF).UInt16(0xFFFF).UInt32(3).Bytes("ABC")), "ABC"},
        {"quad word", bytes(LegacyFileBuilder().Byte(0xFF).UInt16(0xFFFF).UInt32(0xFFFFFFFF).UInt64(3).Bytes("ABC")),
         "ABC"},
        {"wide, byte", bytes(LegacyFileBuilder().WideText("ABC")), "ABC"},
        {"wide, word",
         bytes(LegacyFileBuilder().Byte(0xFF).UInt16(0xFFFE).Byte(0xFF).UInt16(3).UInt16('A').UInt16('B').UInt16('C')),
         "ABC"},
        {"wide, not ASCII", bytes(LegacyFileBuilder().Byte(0xFF).UInt16(0xFFFE).Byte(2).UInt16('A').UInt16(0xE9)),
         "A\xC3\xA9"},
        {"ends at NUL", bytes(LegacyFileBuilder().Byte(4).Bytes(std::string("AB\0C", 4))), "AB"},
        {"wide, ends at NUL", bytes(LegacyFileBuilder().Byte(0xFF).UInt16(0xFFFE).Byte(2).UInt16('A').UInt16(0)), "A"},
    };
    for (const Case& c : cases) {
        std::string data = LegacyFileBuilder().Int32(1).Data() + c.prefix;
        data += LegacyFileBuilder().Text("name").Double(0).Int32(0).Int32(0).Double(0).Int32(0).Double(0).Data();
        StockList list;
        EXPECT_TRUE(list.ImportLegacyData(data)) << c.what;
        ASSERT_EQ(list.size(), 1u) << c.what;
        EXPECT_EQ(list.front().GetSymbol(), c.symbol) << c.what;
        EXPECT_EQ(list.front().GetName(), "name") << c.what;
    }
}

TEST(LegacyImportTest, ShortOrInvalidDataStopsTheImportKeepingEarlierRecords) {
    const std::string two = LegacyFileBuilder().Record("ONE", "1", 1).Record("TWO", "2", 2).Data();
    struct Case {
        const char* what;
        std::string tail;
    };
    const Case cases[] = {
        {"cut inside the third record", LegacyFileBuilder().Text("THREE").Text("th").Double(1).Data().substr(0, 12)},
        {"string longer than the file", LegacyFileBuilder().Byte(200).Bytes("short").Data()},
        {"quad word length of 2^31",
         LegacyFileBuilder().Byte(0xFF).UInt16(0xFFFF).UInt32(0xFFFFFFFF).UInt64(0x80000000).Data()},
        {"quad word with upper bits",
         LegacyFileBuilder().Byte(0xFF).UInt16(0xFFFF).UInt32(0xFFFFFFFF).UInt64(1ull << 32).Data()},
        {"absurd double word length", LegacyFileBuilder().Byte(0xFF).UInt16(0xFFFF).UInt32(0xFFFFFFFE).Data()},
        {"absurd wide length", LegacyFileBuilder()
                                   .Byte(0xFF)
                                   .UInt16(0xFFFE)
                                   .Byte(0xFF)
                                   .UInt16(0xFFFF)
                                   .UInt32(0xFFFFFFFF)
                                   .UInt64(0x7FFFFFFF)
                                   .Data()},
        {"absurd price count", LegacyFileBuilder().Text("S").Text("N").Double(0).Int32(0x7FFFFFFF).Data()},
    };
    for (const Case& c : cases) {
        StockList list;
        test::largestAllocation = 0;
        EXPECT_FALSE(list.ImportLegacyData(LegacyFileBuilder().Int32(3).Data() + two + c.tail)) << c.what;
        EXPECT_LT(test::largestAllocation, 4096u) << c.what;
        ASSERT_EQ(list.size(), 2u) << c.what;
        EXPECT_EQ(list.back().GetSymbol(), "TWO") << c.what;
    }
}

TEST(LegacyImportTest, CountsBelowOneImportNothing) {
    for (int32_t count : {0, -5}) {
        StockList list;
        EXPECT_TRUE(list.ImportLegacyData(LegacyFileBuilder().Int32(count).Data()));
        EXPECT_TRUE(list.empty());
    }
    StockList list;
    EXPECT_FALSE(list.ImportLegacyData("\x01\x00"));
}

TEST(LegacyImportTest, StampsGiveTheLocalCalendarDay) {
    ZoneFiveHoursWest zone;
    const int32_t earlyMorningUtc = May7th2010Noon - 10 * 3600; // 02:00 UTC, the evening before here
    LegacyFileBuilder file;
    file.Int32(1).Text("S").Text("N").Double(0).Int32(6);
    file.Double(1).Double(0).Stamp32(May7th2010Noon);
    file.Double(2).Double(0).Stamp64(May7th2010Noon);
    file.Double(3).Double(0).Stamp32(May7th2010Noon + 3600);
    file.Double(4).Double(0).Stamp32(earlyMorningUtc);
    file.Double(5).Double(0).Stamp32(-1);
    file.Double(6).Double(0).Stamp64(40000000000ll); // past the year 3000
    file.Int32(0).Double(0).Int32(0).Double(0);

    StockList list;
    ASSERT_TRUE(list.ImportLegacyData(file.Data()));
    std::vector<Date> dates;
    for (const StockPrice& entry : list.front().GetPrices())
        dates.push_back(entry.GetDate());
    // Two entries of one day are both kept: the older file is taken as it is.
    EXPECT_EQ(dates, (std::vector<Date>{Date(2010, 5, 7), Date(2010, 5, 7), Date(2010, 5, 7), Date(2010, 5, 6),
                                        Date(1971, 1, 1), Date(1971, 1, 1)}));
}

} // namespace
} // namespace quillory
