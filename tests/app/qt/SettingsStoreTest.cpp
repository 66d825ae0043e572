#include <gtest/gtest.h>

#include <QFile>
#include <filesystem>

#include "QtTestApp.h"
#include "TestSupport.h"
#include "app/core/QuilloryApp.h"
#include "app/qt/QtSettingsStore.h"
#include "app/qt/XdgAutostart.h"

namespace quillory {
namespace {

class QtSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { test::EnsureApp(); }
    test::TempDir dir;
    test::ScopedEnv config{"XDG_CONFIG_HOME", dir.Path()};
};

TEST_F(QtSettingsTest, FreshProfileReadsDefaultsAndWritesIniSections) {
    QtSettingsStore store;
    EXPECT_EQ(store.Path().toStdString(), dir.Path() + "/Korvant/Quillory.conf");
    XdgAutostart autostart;
    QuilloryApp app(store, autostart);
    EXPECT_EQ(app.GetUpdateTime(), 10);
    EXPECT_EQ(app.GetAutoStart(), 0);
    EXPECT_EQ(app.GetWeekendUpdateFlag(), 0);
    EXPECT_FALSE(QFile::exists(store.Path())) << "reading must not create the file";

    app.SetUpdateTime(15);
    app.WriteProfileInt("Window", "Column0", 64);
    std::string ini = test::ReadFile(dir.Path() + "/Korvant/Quillory.conf");
    EXPECT_NE(ini.find("[Options]\nUpdateTime=15\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("[Window]\nColumn0=64\n"), std::string::npos) << ini;
}

TEST_F(QtSettingsTest, ValueEditedOnDiskIsReadAgainAndNonIntegersGiveTheDefault) {
    QtSettingsStore store;
    EXPECT_EQ(store.GetProfileInt("Options", "UpdateTime", 10), 10);
    std::filesystem::create_directories(dir.Path() + "/Korvant");
    test::WriteFile(store.Path().toStdString(), "[Options]\nUpdateTime=30\nAutoStart=yes\n");
    EXPECT_EQ(store.GetProfileInt("Options", "UpdateTime", 10), 30);
    EXPECT_EQ(store.GetProfileInt("Options", "AutoStart", 0), 0);
    test::WriteFile(store.Path().toStdString(), "[Options]\nUpdateTime=45\n");
    EXPECT_EQ(store.GetProfileInt("Options", "UpdateTime", 10), 45);
}

TEST_F(QtSettingsTest, AutostartEntryIsWrittenAndDeleted) {
    QtSettingsStore store;
    XdgAutostart autostart(XdgAutostart::DefaultEntryPath(), "/opt/My Apps/quillory");
    QuilloryApp app(store, autostart);
    const std::string entry = dir.Path() + "/autostart/Quillory.desktop";
    EXPECT_EQ(autostart.EntryPath().toStdString(), entry);

    app.SetAutoStart(1);
    EXPECT_EQ(test::ReadFile(entry),
              "[Desktop Entry]\nType=Application\nName=Quillory\nExec=\"/opt/My Apps/quillory\"\n");
    app.SetAutoStart(0);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(entry)));
    app.SetAutoStart(0); // no entry: nothing happens
    EXPECT_FALSE(QFile::exists(QString::fromStdString(entry)));
    EXPECT_EQ(app.GetAutoStart(), 0);
}

TEST(XdgAutostartTest, ExecQuotingEscapesReservedCharacters) {
    EXPECT_EQ(XdgAutostart::QuoteExec("/usr/bin/quillory").toStdString(), "\"/usr/bin/quillory\"");
    EXPECT_EQ(XdgAutostart::QuoteExec("/a \"b\"/$c`d").toStdString(), "\"/a \\\\\"b\\\\\"/\\\\$c\\\\`d\"");
    EXPECT_EQ(XdgAutostart::QuoteExec("/x\\y").toStdString(), "\"/x\\\\\\\\y\"");
}

TEST(XdgAutostartTest, RunningProgramPathIsTheTestExecutable) {
    QString path = XdgAutostart::RunningProgramPath();
    EXPECT_TRUE(path.endsWith("app_qt_tests")) << path.toStdString();
}

} // namespace
} // namespace quillory
