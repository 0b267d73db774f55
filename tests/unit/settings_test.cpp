// The settings file: what a start reads (hand-edited, odd or broken files included) and what an exit keeps.
#include "base/settings.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/app.h"
#include "base/ini.h"
#include "base/text.h"
#include "fake_port.h"

namespace lumiseek {
namespace {

struct SettingsTest : ::testing::Test {
    FakePort port;
    App app{port};
    void Load(const std::string& bytes) {
        port.files["lumiseek.ini"] = bytes;
        SettingsFile(app, "get");
    }
};

TEST_F(SettingsTest, NoFileOrGarbageGivesTheDefaults) {
    app.settings.SearchTerm = "changed";
    SettingsFile(app, "get");
    EXPECT_EQ(app.settings, Settings{});
    EXPECT_EQ(std::make_pair(port.window.w, port.window.h), std::make_pair(1600, 800));
    EXPECT_FALSE(port.restored);  // the window stays where it was created

    std::string garbage;
    for (int i = 0; i < 5000; ++i) garbage += static_cast<char>((i * 7919) % 256);
    app.settings.FontSize = 5;
    Load(garbage);
    EXPECT_EQ(app.settings, Settings{});
    EXPECT_TRUE(port.restored);  // a file exists: its (default) place is applied
    Load("[All]\r\nFontSize=-12\r\n");  // a size edited below the smallest is read as the smallest
    EXPECT_EQ(app.settings.FontSize, 8);
}

TEST_F(SettingsTest, HandWrittenFileWithOddValues) {
    Load("; edited by hand\r\n[Other]\r\nFontSize=99\r\n"
         "[all]\r\nWidth= 1024.5 \r\nHEIGHT=+700\r\nTop=10.5\r\n  fontsize = 11.5\r\n"
         "FG=x\r\nBG=  7abc\r\nSlowRate=-2.5\r\nFastRate=\r\nvRate=1\r\nvRate=2\r\n"
         "SearchTerm=  'quoted term'  \r\nFontName=\"Courier New\"\r\nIgnoreList=" + std::string(300, 'i') +
         "\r\nUnknownKey=123\r\nUseKB\r\n");
    Settings want;  // numbers read leniently and rounded, the first of two keys, texts unquoted and cut
    want.Width = 1024; want.Height = 700; want.Top = 10; want.FontSize = 12; want.FG = 0; want.BG = 7;
    want.SlowRate = -2; want.FastRate = 0; want.vRate = 1;
    want.SearchTerm = "quoted term"; want.FontName = "Courier New"; want.IgnoreList = std::string(259, 'i');
    EXPECT_EQ(app.settings, want);
    EXPECT_EQ(port.normal, (Rect{0, 10, 1024, 700}));
}

TEST_F(SettingsTest, EncodingsAndCharacterLimits) {
    std::string e;
    for (int i = 0; i < 150; ++i) e += "\xC3\xA9";  // é
    Load(EncodeUtf16Le("[All]\r\nFontName=\xE3\x83\xA1\xE3\x82\xA4\xE3\x83\xAA\xE3\x82\xAA\r\nSearchTerm=" + e));
    EXPECT_EQ(app.settings.FontName, "\xE3\x83\xA1\xE3\x82\xA4\xE3\x83\xAA\xE3\x82\xAA");  // メイリオ
    EXPECT_EQ(app.settings.SearchTerm, e.substr(0, 198));  // 99 characters
    Load("[All]\r\nSearchTerm=caf\xE9\r\n");                // ANSI, through the port's decoder
    EXPECT_EQ(app.settings.SearchTerm, "caf\xC3\xA9");
}

TEST_F(SettingsTest, SaveKeepsTheRestoredRectangleAndShowState) {
    port.placement = {-4, 3, 796, 603, false, true};
    EXPECT_TRUE(SettingsFile(app, "save"));
    const std::string& bytes = port.files.at("lumiseek.ini");
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    const std::string head = "[All]\r\nLeft=-4\r\nTop= 3\r\nWidth= 800\r\nHeight= 600\r\n";
    EXPECT_EQ(IniDecode(bytes, Windows1252ToUtf8).substr(0, head.size()), head);
    EXPECT_EQ(std::make_pair(app.settings.Minimized, app.settings.Maximized), std::make_pair(0, 1));

    port.writesFail = true;  // a failed save says so and leaves the file as it was
    EXPECT_FALSE(SettingsFile(app, "save"));
    EXPECT_EQ(port.files.at("lumiseek.ini"), bytes);
}

TEST_F(SettingsTest, SaveThenGetKeepsEveryValue) {
    Settings& s = app.settings;
    s.SearchTerm = " \xC3\x9Cnic\xC3\xB6" "de \xF0\x9F\x98\x80 ";  // blanks at the ends
    s.FontName = "'\xE3\x83\xA1\xE3\x82\xA4'";
    s.IgnoreList = ".tmp;.bak;\"x\"";
    s.FontSize = 48; s.FG = 0; s.BG = 16777215; s.ShowToolbar = 0; s.IconSize = 128; s.SortType = 0;
    s.HideToolbarText = 1; s.MaxResults = 0; s.ExcludeSystemFolders = 0; s.EnableSpeakLetters = 3;
    s.SpeakNonLetters = 7; s.ShortPath = 0; s.EnableToolTips = 2; s.EnableTime = 0; s.vRate = -3;
    s.SlowRate = -5; s.FastRate = 6; s.UseIgnoreList = 1; s.UseMagnor = 0; s.FocusOnRE = 1; s.UseHover = 3;
    s.UseKB = 0; s.PrintFont = 1; s.MaxPrintLines = 0; s.SearchType = 6; s.ShowPreview = 1; s.LastRow = 42;
    s.TopRow = 0; s.SpeakShortcuts = 0; s.IncludeShortcutKey = 0; s.SpeakMinimalKey = 0; s.PreviewResize = 0;
    s.ImageBG = 1; s.WideToolbar = 1; s.DisableSpeech = 1; s.LastSearchType = 4;
    s.Left = -7; s.Top = 12; s.Width = 1280; s.Height = 720;
    port.placement = {-7, 12, 1273, 732, true, false};
    SettingsFile(app, "save");

    const Settings saved = s;
    app.settings = {};
    SettingsFile(app, "get");
    EXPECT_EQ(app.settings, saved);
    EXPECT_EQ(app.settings.Minimized, 1);
    EXPECT_EQ(port.normal, (Rect{-7, 12, 1280, 720}));  // the restored rectangle, in the same coordinates
}

TEST(SettingsCycles, ResultAndPrintLimitsStepThroughTheirValues) {
    Settings s;
    std::vector<int> results, lines;
    for (int i = 0; i < 7; ++i) {
        ManageMaxResults(s);
        ManageMaxPrintLines(s);
        results.push_back(s.MaxResults);
        lines.push_back(s.MaxPrintLines);
    }
    EXPECT_EQ(results, (std::vector<int>{250, 1000, 10000, 100000, 0, 50, 100}));
    EXPECT_EQ(lines, (std::vector<int>{100, 0, 10, 50, 100, 0, 10}));
    s.MaxResults = s.MaxPrintLines = 75;  // a hand-edited value starts the cycle again; a print limit stays
    ManageMaxResults(s);
    ManageMaxPrintLines(s);
    EXPECT_EQ(std::make_pair(s.MaxResults, s.MaxPrintLines), std::make_pair(50, 75));
}

}  // namespace
}  // namespace lumiseek
