#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <vector>

#include "TestSupport.h"
#include "foundation/FileHelper.h"

using namespace quillory;
using namespace quillory::test;

TEST(FileHelperTest, ReadsByByteOrderMark) {
    TempDir dir;
    struct Case {
        std::string bytes;
        bool ok;
        std::string text;
    } cases[] = {
        {"\xEF\xBB\xBF"
         "abc",
         true, "abc"},
        {std::string("\xFF\xFE"
                     "a\0b\0c\0",
                     8),
         true, "abc"},
        {std::string("\xFF\xFE"
                     "a\0\0\0c\0",
                     8),
         true, "a"},
        {std::string("\xFF\xFE"
                     "\xE9\0\xAC\x20",
                     6),
         true, "\xc3\xa9\xe2\x82\xac"},
        {std::string("\xFE\xFF\0a", 4), false, "untouched"},
        {std::string("ab\0cd", 5), true, "ab"},
        {"plain\r\n", true, "plain\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        WriteFile(dir.File("f"), c.bytes);
        std::string out = "untouched";
        EXPECT_EQ(FileHelper::FileToString(dir.File("f"), out), c.ok);
        EXPECT_EQ(out, c.text);
    }
}

TEST(FileHelperTest, EmptyAndMissingFiles) {
    TempDir dir;
    WriteFile(dir.File("empty"), "");
    std::string out = "kept";
    EXPECT_TRUE(FileHelper::FileToString(dir.File("empty"), out));
    EXPECT_EQ(out, "kept");
    EXPECT_FALSE(FileHelper::FileToString(dir.File("missing"), out));
    EXPECT_EQ(FileHelper::GetFileSize(dir.File("missing")), 0);
    EXPECT_FALSE(FileHelper::FileExists(dir.File("missing")));

    EXPECT_TRUE(FileHelper::StringToFile(dir.File("new"), ""));
    EXPECT_TRUE(FileHelper::FileExists(dir.File("new")));
    EXPECT_EQ(FileHelper::GetFileSize(dir.File("new")), 0);
}

TEST(FileHelperTest, StringToFileWritesBytesAndModes) {
    TempDir dir;
    std::string path = dir.File("Quillory.xml");
    std::string bytes("a\r\nb\0c", 6);
    ASSERT_TRUE(FileHelper::StringToFile(path, bytes));
    EXPECT_EQ(ReadFile(path), bytes);
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u); // a new file is private

    chmod(path.c_str(), 0644);
    ASSERT_TRUE(FileHelper::StringToFile(path, "second"));
    EXPECT_EQ(ReadFile(path), "second");
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u); // an existing file keeps its mode

    // Writing through a link keeps the link and replaces its target.
    std::string link = dir.File("link.xml");
    ASSERT_EQ(symlink(path.c_str(), link.c_str()), 0);
    ASSERT_TRUE(FileHelper::StringToFile(link, "third"));
    EXPECT_EQ(ReadFile(path), "third");
    struct stat linkInfo {};
    ASSERT_EQ(lstat(link.c_str(), &linkInfo), 0);
    EXPECT_TRUE(S_ISLNK(linkInfo.st_mode));
}

// Saves killed before their rename leave ".Quillory.xml.XXXXXX"; the next save removes exactly those.
TEST(FileHelperTest, SaveRemovesTemporariesOfKilledSaves) {
    TempDir dir;
    const std::string path = dir.File("Quillory.xml");
    const std::vector<std::string> stale = {".Quillory.xml.a1B2c3", ".Quillory.xml.ZZZZZZ"};
    const std::vector<std::string> kept = {".Quillory.xml.bak", "Quillory.xml.broken", ".Other.xml.a1B2c3",
                                           ".Quillory.xml.a1B2c", ".Quillory.xml.a1B2c3d"};
    for (const std::string& name : stale)
        WriteFile(dir.File(name), std::string(1000, 'x'));
    for (const std::string& name : kept)
        WriteFile(dir.File(name), "keep");
    ASSERT_TRUE(FileHelper::StringToFile(path, "saved"));
    for (const std::string& name : stale)
        EXPECT_FALSE(std::filesystem::exists(dir.File(name))) << name;
    for (const std::string& name : kept)
        EXPECT_TRUE(std::filesystem::exists(dir.File(name))) << name;
    EXPECT_EQ(ReadFile(path), "saved");
}

TEST(FileHelperTest, FailedWriteLeavesTheOldFileWhole) {
    TempDir dir;
    std::string path = dir.File("Quillory.xml");
    ASSERT_TRUE(FileHelper::StringToFile(path, "old content"));

    // A file-size limit makes the write fail part-way, as a full disk would.
    struct rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit small = old;
    small.rlim_cur = 4096;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool written = FileHelper::StringToFile(path, std::string(100000, 'x'));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(ReadFile(path), "old content");
    // No temporary file is left behind.
    int entries = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.Path())) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 1);

    // A folder that does not exist cannot be written either.
    EXPECT_FALSE(FileHelper::StringToFile(dir.File("no/such/folder/f"), "x"));
}
