#include <gtest/gtest.h>

#include "CoreFakes.h"
#include "TestSupport.h"
#include "app/core/QuilloryApp.h"
#include "foundation/NumericFormat.h"
#include "storage/StockList.h"

namespace quillory {
namespace {

TEST(StartupTest, LoadsTheListRunsTheWindowAndSavesWhatItChanged) {
    test::TempDir appData;
    test::ScopedEnv env("APPDATA", appData.Path());
    test::MessageBoxRecorder boxes;
    test::MemorySettingsStore store;
    test::FakeAutostart autostart;
    QuilloryApp app(store, autostart);
    NumericFormat::SetDefault(NumericFormat(',', '.', 3));

    bool ran = false;
    EXPECT_TRUE(app.InitInstance([&] {
        ran = true;
        EXPECT_EQ(NumericFormat::GetDefault().GetDecimalSeparator(), '.');
        EXPECT_EQ(NumericFormat::GetDefault().GetNumberOfDecimalDigits(), 2);
        EXPECT_TRUE(theStockList.Contains("MSFT")) << "a first start holds the default investments";
        Stock stock;
        theStockList.Get("MSFT", stock);
        stock.AddPrice(StockPrice(30.5, Date(2026, 12, 9)));
        theStockList.Update("MSFT", stock);
    }));
    EXPECT_TRUE(ran);
    std::string file = test::ReadFile(appData.Path() + "/Korvant/Quillory/Quillory.xml");
    EXPECT_NE(file.find("<StockPrice Date=\"2026-12-09\" Price=\"30.5\"/>"), std::string::npos) << file;
}

} // namespace
} // namespace quillory
