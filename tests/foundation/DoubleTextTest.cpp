#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "foundation/StringUtils.h"

namespace quillory {
namespace {

std::string Printf(double value) {
    char text[80];
    std::snprintf(text, sizeof text, "%.16g", value);
    return text;
}

TEST(DoubleTextTest, WritesWhatPrintfWrites) {
    const double cases[] = {0.0,
                            -0.0,
                            0.1,
                            1.0 / 3,
                            30.5,
                            -0.25,
                            9.51,
                            100.01,
                            1234567890123456.5, // an exact tie: printf rounds it to even
                            1234567890123457.5,
                            9999999999999999.0,
                            1e16,
                            1e15,
                            0.0001,
                            0.00009999999999999999,
                            std::nextafter(0.0001, 0.0),
                            std::nextafter(0.0001, 1.0),
                            1e-300,
                            5e-324,
                            1e300,
                            std::numeric_limits<double>::max(),
                            std::numeric_limits<double>::infinity(),
                            -std::numeric_limits<double>::infinity(),
                            std::nan(""),
                            0.30000000000000004,
                            123456.789e3};
    for (double value : cases)
        EXPECT_EQ(StringUtils::ToString(value), Printf(value)) << Printf(value);

    // Prices in cents and the changes between them, as a save writes them, and arbitrary doubles
    // around every power of ten the plain notation covers.
    std::mt19937_64 random(20100503);
    double previous = 30.5;
    for (int i = 0; i < 300000; ++i) {
        double price = static_cast<double>(random() % 10000000) / 100.0;
        ASSERT_EQ(StringUtils::ToString(price), Printf(price));
        ASSERT_EQ(StringUtils::ToString(price - previous), Printf(price - previous));
        previous = price;
        double any = std::ldexp(static_cast<double>(random() >> 11), static_cast<int>(random() % 120) - 100);
        ASSERT_EQ(StringUtils::ToString(any), Printf(any));
        double edge = std::pow(10.0, static_cast<int>(random() % 24) - 6);
        for (int step = 0; step < 3; ++step)
            edge = random() % 2 ? std::nextafter(edge, 0.0) : std::nextafter(edge, 1e30);
        ASSERT_EQ(StringUtils::ToString(-edge), Printf(-edge));
    }
}

} // namespace
} // namespace quillory
