#include <csignal>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "LegacyFileBuilder.h"
#include "TestSupport.h"
#include "foundation/FileHelper.h"
#include "storage/DataFile.h"
#include "storage/StockList.h"

namespace quillory {
namespace {

std::string Lines(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

const std::string Alert = R"(<StockAlert UpperAlert="FALSE" UpperLimit="0" LowerAlert="FALSE" LowerLimit="0"/>)";

std::string StockText(const std::string& symbol, const std::string& prices = "") {
    return Lines({"<Stock Symbol=\"" + symbol + "\" DataSource=\"Yahoo Finance\">", Alert, "<StockPriceList>"}) +
           prices + Lines({"</StockPriceList>", "</Stock>"});
}

std::vector<std::string> Symbols(const StockList& list) {
    std::vector<std::string> symbols;
    for (const Stock& stock : list)
        symbols.push_back(stock.GetSymbol());
    return symbols;
}

const std::vector<std::string> Defaults = {"^DJI", "^IXIC", "GOOG", "MSFT"};

// A data folder under a temporary APPDATA, with message boxes recorded.
class DataFileTest : public testing::Test {
protected:
    DataFileTest() { ResetDataFilePath(); }
    ~DataFileTest() override { ResetDataFilePath(); }

    std::string Folder() const { return temp.Path() + "/Korvant/Quillory/"; }
    std::string Path() const { return Folder() + "Quillory.xml"; }
    void WriteDataFile(const std::string& text) {
        ::mkdir((temp.Path() + "/Korvant").c_str(), 0700);
        ::mkdir(Folder().c_str(), 0700);
        test::WriteFile(Path(), text);
    }
    std::vector<std::string> BoxTexts() const {
        std::vector<std::string> texts;
        for (const auto& box : boxes.Boxes()) {
            EXPECT_EQ(box.caption, "Quillory");
            texts.push_back(box.text);
        }
        return texts;
    }

    test::TempDir temp;
    test::ScopedEnv appData{"APPDATA", temp.Path()};
    test::MessageBoxRecorder boxes;
};

TEST_F(DataFileTest, WritesTheWorkedExampleByteForByte) {
    StockList list;
    Stock stock("MSFT", "Microsoft Corporation");
    stock.SetQuantity(10);
    stock.GetAlert().SetUpper(true, 30);
    StockPrice price(30.5, Date(2010, 5, 3));
    price.SetChange(-0.25);
    stock.AddPrice(price);
    list.push_back(stock);
    list.Save();

    const std::string expected = Lines({
        "<StockList>",
        R"(<Stock Symbol="MSFT" Name="Microsoft Corporation" Quantity="10" DataSource="Yahoo Finance">)",
        R"(<StockAlert UpperAlert="TRUE" UpperLimit="30" LowerAlert="FALSE" LowerLimit="0"/>)",
        "<StockPriceList>",
        R"(<StockPrice Date="2010-05-03" Price="30.5" Change="-0.25"/>)",
        "</StockPriceList>",
        "</Stock>",
        "</StockList>",
    });
    EXPECT_EQ(test::ReadFile(Path()), expected);

    StockList loaded;
    loaded.Load();
    std::string text;
    loaded.CreateXMLString(text);
    EXPECT_EQ(text, expected);
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(DataFileTest, QuantityAndCurrencyRoundTripAndOlderFilesKeepTheirBytes) {
    struct Case {
        std::string firstLine;
        double quantity;
        std::string currency;
    };
    const Case cases[] = {
        {R"(<Stock Symbol="MSFT" DataSource="Yahoo Finance">)", 0, ""},
        {R"(<Stock Symbol="MSFT" Name="Microsoft" Quantity="12.5" DataSource="Automatic">)", 12.5, ""},
        {R"(<Stock Symbol="SAP.DE" Quantity="3" DataSource="Automatic" Currency="EUR">)", 3, "EUR"},
        {R"(<Stock Symbol="SBER" DataSource="Moscow Exchange" Currency="RUB">)", 0, "RUB"},
    };
    for (const Case& c : cases) {
        const std::string file = Lines({"<StockList>", c.firstLine, Alert, "<StockPriceList>",
                                        R"(<StockPrice Date="2026-12-09" Price="411.2" Change="-1.5"/>)",
                                        "</StockPriceList>", "</Stock>", "</StockList>"});
        WriteDataFile(file);
        StockList list;
        list.Load();
        ASSERT_EQ(list.size(), 1u) << c.firstLine;
        EXPECT_EQ(list.front().GetQuantity(), c.quantity) << c.firstLine;
        EXPECT_EQ(list.front().GetCurrency(), c.currency) << c.firstLine;
        list.Save();
        EXPECT_EQ(test::ReadFile(Path()), file) << c.firstLine;
        std::string recordText;
        list.CreateXMLString(recordText);
        EXPECT_EQ(recordText, file) << "both writers agree on " << c.firstLine;
    }
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(DataFileTest, NameWithMarkupCharactersSurvivesSaveAndLoad) {
    const std::string name = R"(Tom's "Best" <Fund> & Co)";
    StockList list;
    list.push_back(Stock("A&B", name));
    list.Save();
    EXPECT_NE(test::ReadFile(Path()).find(R"(Name="Tom&apos;s &quot;Best&quot; &lt;Fund&gt; &amp; Co")"),
              std::string::npos);
    StockList loaded;
    loaded.Load();
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded.front().GetSymbol(), "A&B");
    EXPECT_EQ(loaded.front().GetName(), name);
}

TEST_F(DataFileTest, FirstStartWritesTheFourDefaults) {
    StockList list;
    list.Load();
    EXPECT_EQ(Symbols(list), Defaults);
    EXPECT_TRUE(boxes.Boxes().empty());

    StockList again;
    again.Load();
    EXPECT_EQ(Symbols(again), Defaults);
    EXPECT_EQ(again.back().GetName(), "Microsoft Corporation");
    EXPECT_EQ(again.back().GetDataSource(), "Automatic") << "a fresh profile quotes from today's services";
    struct stat info {};
    ASSERT_EQ(::stat(Folder().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST_F(DataFileTest, EmptyFileGivesAnEmptyListWithoutImportOrDefaults) {
    WriteDataFile("");
    test::WriteFile(Folder() + "Quillory.dat", test::LegacyFileBuilder().Int32(1).Record("OLD", "old", 1).Data());
    StockList list;
    list.Load();
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(boxes.Boxes().empty());
    list.Save();
    EXPECT_EQ(test::ReadFile(Path()), "<StockList>\r\n</StockList>\r\n");
}

TEST_F(DataFileTest, ParseErrorsAreReportedAndKeepWhatWasReadBefore) {
    struct Case {
        std::string text;
        std::string message;
        std::vector<std::string> kept;
    };
    const Case cases[] = {
        {Lines({"<Portfolio>", "</Portfolio>"}),
         "XMLPersistableList::ParseXML - unexpected tag! Received [Portfolio], Expected [StockList]",
         {}},
        {"<StockList>\r\n" + StockText("A") + "<StockPrice Date=\"2010-05-03\" Price=\"1\"/>\r\n</StockList>\r\n",
         "XMLPersistableList::ParseXML() - unexpected child tag! Received [StockPrice], Expected [StockList]",
         {"A"}},
        {"<StockList>\r\n" + StockText("A") +
             Lines({"<Stock Symbol=\"B\">", "<StockPriceList>", "</StockPriceList>", "</Stock>", "</StockList>"}),
         "StockAlert::ParseXML() - Invalid tag: StockPriceList",
         {"A"}},
        {"<StockList>\r\n" + StockText("A") + StockText("B", "<StockPrice Price=\"1\"/>\r\n") + "</StockList>\r\n",
         "Date::CreateXMLAttrString() - Invalid date attribute!",
         {"A"}},
        {"<StockList>\r\n" + StockText("A") + StockText("B") + "<Stock Symbol=\"C\">\r\n" + Alert,
         "XMLPersistableList::ParseXML() - Index is out of range!",
         {"A", "B"}},
    };
    for (const Case& c : cases) {
        ResetDataFilePath();
        test::TempDir folder;
        test::ScopedEnv env("APPDATA", folder.Path());
        test::MessageBoxRecorder recorder;
        const std::string path = GetDataFilePath();
        test::WriteFile(path, c.text);

        StockList list;
        list.Load();
        EXPECT_EQ(Symbols(list), c.kept) << c.message;
        ASSERT_EQ(recorder.Boxes().size(), 1u) << c.message;
        EXPECT_EQ(recorder.Boxes()[0].text,
                  "Error parsing XML!\n" + c.message + "\nThe file was kept as " + path + ".broken.");
        EXPECT_EQ(test::ReadFile(path + ".broken"), c.text);
    }
}

TEST_F(DataFileTest, BrokenFileIsCopiedAsideUnderAFreeName) {
    const std::string broken = "<StockList>\r\n" + StockText("KEEP") + "<Stock Symbol=\"CUT\"";
    WriteDataFile(broken);
    test::WriteFile(Path() + ".broken", "an earlier copy");

    StockList list;
    list.Load();
    EXPECT_EQ(Symbols(list), std::vector<std::string>{"KEEP"});
    ASSERT_EQ(BoxTexts().size(), 1u);
    EXPECT_NE(BoxTexts()[0].find("\nThe file was kept as " + Path() + ".broken.1."), std::string::npos);
    EXPECT_EQ(test::ReadFile(Path() + ".broken.1"), broken);
    EXPECT_EQ(test::ReadFile(Path() + ".broken"), "an earlier copy");

    list.Save(); // writes only what was read; the user's whole file stays in the copy
    EXPECT_EQ(test::ReadFile(Path() + ".broken.1"), broken);
}

TEST_F(DataFileTest, UnreadableFileIsKeptBeforeTheDefaultsReplaceIt) {
    const std::string bigEndian = std::string("\xFE\xFF\0<\0S", 6);
    WriteDataFile(bigEndian);
    StockList list;
    list.Load();
    EXPECT_EQ(Symbols(list), Defaults);
    EXPECT_EQ(BoxTexts(),
              std::vector<std::string>{"Can't read " + Path() + "!\nThe file was kept as " + Path() + ".broken."});
    EXPECT_EQ(test::ReadFile(Path() + ".broken"), bigEndian);
}

// Ignores SIGXFSZ and caps the size of files this process writes, like a disk that is full.
class FullDisk {
public:
    explicit FullDisk(rlim_t bytes) {
        previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit limit = previous;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FullDisk() {
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, previousHandler);
    }

private:
    rlimit previous{};
    void (*previousHandler)(int) = nullptr;
};

TEST_F(DataFileTest, FailedSaveLeavesThePreviousFileWhole) {
    const std::string previous = "<StockList>\r\n" + StockText("OLD") + "</StockList>\r\n";
    WriteDataFile(previous);
    StockList list;
    list.Load();
    list.AddDefaults();
    {
        FullDisk disk(previous.size() + 10);
        list.Save();
    }
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Can't save " + Path() + "!"});
    EXPECT_EQ(test::ReadFile(Path()), previous);
}

TEST_F(DataFileTest, DefaultsStayInMemoryWhenTheNewFileCannotBeWritten) {
    StockList list;
    {
        FullDisk disk(20);
        list.Load();
    }
    EXPECT_EQ(Symbols(list), Defaults);
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"Can't save " + Path() + "!", "Can't open " + Path() + "!"}));
}

TEST_F(DataFileTest, OlderFileIsImportedOnceAndWrittenAsTheDataFile) {
    ::mkdir((temp.Path() + "/Korvant").c_str(), 0700);
    ::mkdir(Folder().c_str(), 0700);
    test::LegacyFileBuilder cut;
    cut.Int32(3).Record("ONE", "first", 1).Record("TWO", "second", 2).Text("THREE").Text("thi");
    test::WriteFile(Folder() + "Quillory.dat", cut.Data());

    StockList list;
    list.Load();
    EXPECT_EQ(Symbols(list), (std::vector<std::string>{"ONE", "TWO"}));
    StockList reread;
    reread.Load(); // from the XML file now, not from the older one
    EXPECT_EQ(Symbols(reread), (std::vector<std::string>{"ONE", "TWO"}));
    EXPECT_EQ(reread.back().GetQuantity(), 2);
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(DataFileTest, OlderFileWithoutRecordsLeadsToTheDefaults) {
    ::mkdir((temp.Path() + "/Korvant").c_str(), 0700);
    ::mkdir(Folder().c_str(), 0700);
    test::WriteFile(Folder() + "Quillory.dat", test::LegacyFileBuilder().Int32(0).Data());
    StockList list;
    EXPECT_TRUE(list.ImportLegacyFile());
    EXPECT_TRUE(list.empty());
    list.Load();
    EXPECT_EQ(Symbols(list), Defaults);
}

TEST_F(DataFileTest, DataFolderIsCreatedUnderAppData) {
    EXPECT_EQ(GetDataFilePath(), Path());
    EXPECT_EQ(GetDataFolder(), Folder());
    struct stat info {};
    EXPECT_EQ(::stat(Folder().c_str(), &info), 0);
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(GetBaseFolder(), "/");
}

TEST_F(DataFileTest, FolderThatCannotBeCreatedIsReportedAndUsedInstead) {
    struct Case {
        std::string blocker; // a plain file where a folder is needed
        std::string message;
        std::string path;
    };
    const std::string root = temp.Path();
    const Case cases[] = {
        {"/Korvant", "Can't create " + root + "!", root + "/Quillory.xml"},
        {"/Korvant/Quillory", "Can't create " + root + "/Korvant/!", root + "/Korvant/Quillory.xml"},
    };
    for (const Case& c : cases) {
        ResetDataFilePath();
        test::MessageBoxRecorder recorder;
        std::filesystem::remove_all(root + "/Korvant");
        if (c.blocker == "/Korvant/Quillory")
            ::mkdir((root + "/Korvant").c_str(), 0700);
        test::WriteFile(root + c.blocker, "not a folder");
        EXPECT_EQ(GetDataFilePath(), c.path);
        ASSERT_EQ(recorder.Boxes().size(), 1u);
        EXPECT_EQ(recorder.Boxes()[0].text, c.message);
    }
}

TEST_F(DataFileTest, WithoutAppDataTheXdgDataFolderIsUsed) {
    test::ScopedEnv emptyAppData("APPDATA", "");
    test::ScopedEnv xdg("XDG_DATA_HOME", temp.Path() + "/xdg/data");
    EXPECT_EQ(GetDataFilePath(), temp.Path() + "/xdg/data/Korvant/Quillory/Quillory.xml");
    ResetDataFilePath();
    test::ScopedEnv noAppData("APPDATA", std::nullopt);
    test::ScopedEnv noXdg("XDG_DATA_HOME", std::nullopt);
    test::ScopedEnv home("HOME", temp.Path() + "/home");
    EXPECT_EQ(GetDataFilePath(), temp.Path() + "/home/.local/share/Korvant/Quillory/Quillory.xml");
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(DataFileTest, DataRootFollowsTheSameRulesWithoutCreatingAnything) {
    test::ScopedEnv home("HOME", temp.Path() + "/home");
    struct Case {
        std::optional<std::string> appData, xdg;
        std::string root;
    } cases[] = {
        {"/srv/appdata", "/srv/xdg", "/srv/appdata"},
        {"", "/srv/xdg", "/srv/xdg"},
        {std::nullopt, "relative/xdg", temp.Path() + "/home/.local/share"},
        {std::nullopt, std::nullopt, temp.Path() + "/home/.local/share"},
    };
    for (const Case& c : cases) {
        test::ScopedEnv appData("APPDATA", c.appData);
        test::ScopedEnv xdg("XDG_DATA_HOME", c.xdg);
        EXPECT_EQ(GetDataRoot(), c.root);
    }
    EXPECT_FALSE(std::filesystem::exists(temp.Path() + "/home"));
    EXPECT_TRUE(boxes.Boxes().empty());
}

} // namespace
} // namespace quillory
